#include "products/DisplayFormat.h"

#include "products/Product.h"

#include <QLocale>

#include <cmath>
#include <cstdint>

namespace ztk::display {

namespace {

// The doubles that convert to a 64-bit integer without leaving its range.
constexpr double IntegerLimit = 9223372036854775808.0; // 2^63

bool emptyValue(const QVariant &value)
{
    return value.isNull() || (value.typeId() == QMetaType::QString && value.toString().isEmpty());
}

// A double as stored, for the values no pattern can show.
QString asStored(const QVariant &value)
{
    return value.typeId() == QMetaType::Double ? QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest) : value.toString();
}

} // namespace

QString zeroPadded(const QVariant &value, int digits)
{
    if (emptyValue(value))
        return QString();
    qlonglong n = 0;
    if (value.typeId() == QMetaType::Double) {
        const double d = std::round(value.toDouble());
        if (!std::isfinite(d) || d >= IntegerLimit || d < -IntegerLimit)
            return asStored(value);
        n = qlonglong(d);
    } else {
        bool ok = false;
        n = value.toLongLong(&ok);
        if (!ok)
            return value.toString();
    }
    // The magnitude in unsigned arithmetic: -2^63 has no positive counterpart.
    const qulonglong magnitude = n < 0 ? qulonglong(0) - qulonglong(n) : qulonglong(n);
    const QString body = QStringLiteral("%1").arg(magnitude, digits, 10, QLatin1Char('0'));
    return n < 0 ? QLatin1Char('-') + body : body;
}

QString price(const QVariant &value)
{
    if (emptyValue(value))
        return QString();
    const PriceField field = priceFieldOf(value);
    if (!field.value)
        return asStored(value);
    const qint64 tenThousandths = field.value->tenThousandths();
    const qulonglong magnitude = tenThousandths < 0 ? qulonglong(0) - qulonglong(tenThousandths) : qulonglong(tenThousandths);
    const qulonglong hundredths = (magnitude + 50) / 100; // half away from zero
    const qulonglong whole = hundredths / 100;
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
