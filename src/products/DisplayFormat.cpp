#include "products/DisplayFormat.h"

#include <cmath>
#include <cstdlib>

namespace ztk::display {

QString zeroPadded(const QVariant &value, int digits)
{
    if (value.isNull() || (value.typeId() == QMetaType::QString && value.toString().isEmpty()))
        return QString();
    bool ok = false;
    const qlonglong n = value.typeId() == QMetaType::Double ? qlonglong(std::llround(value.toDouble()))
                                                            : value.toLongLong(&ok);
    if (value.typeId() != QMetaType::Double && !ok)
        return value.toString();
    const QString body = QStringLiteral("%1").arg(qulonglong(n < 0 ? -n : n), digits, 10, QLatin1Char('0'));
    return n < 0 ? QLatin1Char('-') + body : body;
}

QString price(const QVariant &value)
{
    if (value.isNull() || (value.typeId() == QMetaType::QString && value.toString().isEmpty()))
        return QString();
    bool ok = false;
    const double v = value.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return value.toString();
    // Ten-thousandths first, so that a price kept to four places rounds once.
    const qlonglong tenThousandths = std::llround(v * 10000.0);
    const qlonglong magnitude = std::llabs(tenThousandths);
    const qlonglong hundredths = (magnitude + 50) / 100; // half away from zero
    const qlonglong whole = hundredths / 100;
    const int cents = int(hundredths % 100);
    QString out;
    if (tenThousandths < 0 && hundredths != 0)
        out += QLatin1Char('-');
    if (whole != 0)
        out += QString::number(whole);
    out += QLatin1Char('.') + QStringLiteral("%1").arg(cents, 2, 10, QLatin1Char('0'));
    return out;
}

} // namespace ztk::display
