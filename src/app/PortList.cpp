#include "app/PortList.h"

#include "shared/PortConfig.h"

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

} // namespace ztk
