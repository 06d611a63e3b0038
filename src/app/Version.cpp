#include "app/Version.h"

#include <QStringList>

#ifndef ZTK_VERSION_TEXT
#define ZTK_VERSION_TEXT ""
#endif

namespace ztk {

QString versionText()
{
    const QString text = QStringLiteral(ZTK_VERSION_TEXT);
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return QString();
    for (const QString &p : parts) {
        bool ok = false;
        const int v = p.toInt(&ok);
        if (!ok || v < 0 || v > 0xFFFF)
            return QString();
    }
    return text;
}

} // namespace ztk
