#include "app/Startup.h"

#include "app/SingleInstance.h"
#include "app/Version.h"
#include "shared/Files.h"
#include "shared/Messages.h"

namespace ztk {

StartupSettings settleStartup(const AppContext &context)
{
    StartupSettings s;
    const QString ownName = context.programFileName.isEmpty() ? ownProgramFileName() : context.programFileName;
    if (context.checkSingleInstance && countProcessesNamed(ownName) > 1) {
        // Nothing more: a refused instance must not touch the first one's files.
        s.alreadyRunning = true;
        return s;
    }
    s.versionText = versionText();
    s.port = PortConfig::loadOrDefault(context.path(files::PortConfig), &s.portConfigMissing);
    return s;
}

QString versionSuffix(const QString &versionText)
{
    return versionText.isEmpty() ? QString() : msg::text(msg::VersionSuffix) + versionText;
}

} // namespace ztk
