#include "app/PortList.h"

#include "shared/PortConfig.h"

#include <QDir>

namespace ztk {

QStringList makePortList(const QStringList &deviceNames)
{
    QStringList list;
    for (const QString &name : deviceNames) {
        if (list.size() >= PortListSlots)
            break;
        if (name.isEmpty() || name.toLocal8Bit().size() > PortConfig::MaxNameLength)
            continue;
        list << name;
    }
    return list;
}

QStringList stableSerialPaths(const QString &folder)
{
    QStringList paths;
    const QDir dir(folder);
    // Links to devices that are gone are left out: they cannot be opened.
    for (const QFileInfo &entry : dir.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name)) {
        if (entry.exists())
            paths << entry.absoluteFilePath();
    }
    return paths;
}

} // namespace ztk
