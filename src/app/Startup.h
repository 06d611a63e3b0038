#pragma once
// What the program settles before its main window works, without any window: may
// it run at all (one instance per program file), the version shown in the captions,
// and the port settings from "fbdves.cfg".

#include "app/AppContext.h"
#include "shared/PortConfig.h"

#include <QString>

namespace ztk {

struct StartupSettings {
    bool alreadyRunning = false;    // another instance runs: show the message and stop
    QString versionText;            // "1.3.1.14"; empty when the build carries none
    PortConfig port;                // COM1 and scale 1 when the file is missing
    bool portConfigMissing = false; // show "CFG-файл отсутствует, назначен порт COM1"
};

StartupSettings settleStartup(const AppContext &context);

// " Версия 1.3.1.14" after a caption; empty without a version.
QString versionSuffix(const QString &versionText);

} // namespace ztk
