#include "products/ProductReport.h"

#include "products/CalculatedFields.h"
#include "products/ProductFields.h"

namespace ztk {

namespace {

QString right(const QString &s, int width)
{
    return s.rightJustified(width, QLatin1Char(' '), false);
}

// "%8.2f" of an exact price: half a hundredth rounds away from zero, a point always.
QString priceText(const PriceField &price)
{
    const qint64 t = price.value ? price.value->tenThousandths() : 0;
    const qint64 magnitude = t < 0 ? -t : t;
    const qint64 hundredths = (magnitude + 50) / 100;
    QString s = QStringLiteral("%1.%2").arg(hundredths / 100).arg(hundredths % 100, 2, 10, QLatin1Char('0'));
    if (t < 0 && hundredths != 0)
        s.prepend(QLatin1Char('-'));
    return s;
}

// "%1d" of the prefix text; a text that is no whole number reports as 0.
qint64 prefixNumber(const QString &prefix)
{
    bool ok = false;
    const int v = prefix.trimmed().toInt(&ok);
    return ok ? v : 0;
}

} // namespace

QString reportLines(const Product &p, const QDateTime &now)
{
    const CalculatedFields calc = calculateFields(p, now);
    const qint64 sk5 = p.barcode.value.value_or(0);
    QString line = QString(10, QLatin1Char(' '));
    line += right(QString::number(p.number.value.value_or(0)), 4) + QLatin1Char(' ');
    line += right(p.names[0], 28) + QLatin1Char(' ');
    line += (sk5 < 0 ? QLatin1Char('-') + QStringLiteral("%1").arg(-sk5, 4, 10, QLatin1Char('0'))
                     : QStringLiteral("%1").arg(sk5, 5, 10, QLatin1Char('0')))
        + QLatin1Char(' ');
    line += QString::number(prefixNumber(p.prefix)) + QLatin1Char(' ');
    line += right(priceText(p.price), 8) + QLatin1Char(' ');
    line += right(calc.goden, 8) + QLatin1Char(' ');
    line += QString(17, QLatin1Char(' ')) + QLatin1Char(' ');
    line += right(calc.dcorr, 17);
    line += QLatin1Char('\n');
    for (int k = 1; k < Product::NameLines; ++k)
        line += QString(15, QLatin1Char(' ')) + right(p.names[std::size_t(k)], 28) + QLatin1Char('\n');
    return line;
}

QString buildReport(const std::vector<Product> &rows, const std::optional<QSet<int>> &list, const QDateTime &now)
{
    QString text;
    text.reserve(qsizetype(rows.size()) * 300);
    for (const Product &p : rows) {
        // Every product 1..5000; a number outside (0, negative, none) is passed over
        // instead of stopping the walk.
        if (!p.number.value || *p.number.value < 1 || *p.number.value > fld::MaxProductNumber)
            continue;
        if (list && !list->contains(int(*p.number.value)))
            continue;
        text += reportLines(p, now);
    }
    return text;
}

} // namespace ztk
