#include "products/Product.h"

#include "shared/Files.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace ztk {

QString typeText(ProductType type)
{
    return QString::number(int(type));
}

std::optional<ProductType> selectorType(const QString &typeText)
{
    bool ok = false;
    const int value = typeText.toInt(&ok);
    if (!ok || value == 0)
        return ProductType::Weight;
    if (value == 1)
        return ProductType::Piece;
    return std::nullopt;
}

namespace {

const std::array<ColumnInfo, ProductColumnCount> kColumns{{
    {fld::N, ColumnKind::Whole, "INTEGER UNIQUE"},
    {fld::CorrStamp, ColumnKind::Text, "TEXT"},
    {fld::Name, ColumnKind::Text, "TEXT"},
    {fld::SK5, ColumnKind::Whole, "INTEGER"},
    {fld::Prefix, ColumnKind::Text, "TEXT"},
    {fld::Price, ColumnKind::Decimal, "NUMERIC"},
    {fld::BestBefore, ColumnKind::Text, "TEXT"},
    {fld::Name2, ColumnKind::Text, "TEXT"},
    {fld::Name3, ColumnKind::Text, "TEXT"},
    {fld::Name4, ColumnKind::Text, "TEXT"},
    {fld::Name5, ColumnKind::Text, "TEXT"},
    {fld::Type, ColumnKind::Text, "TEXT"},
    {fld::Date, ColumnKind::Text, "TEXT"},
    {fld::Time, ColumnKind::Text, "TEXT"},
}};

bool isNullish(const QVariant &v)
{
    return v.isNull() || (v.typeId() == QMetaType::QString && v.toString().isEmpty());
}

QLocale numberLocale(const QLocale &base)
{
    QLocale loc = base;
    loc.setNumberOptions(QLocale::OmitGroupSeparator);
    return loc;
}

template <class T>
QVariant numberValue(const NumberField<T> &f, QVariant (*of)(const T &))
{
    if (f.value)
        return of(*f.value);
    return f.other;
}

} // namespace

// --- Price

std::optional<Price> Price::fromDouble(double v)
{
    if (!std::isfinite(v) || std::fabs(v) > MaxUnits)
        return std::nullopt;
    return fromTenThousandths(std::llround(v * 10000.0));
}

std::optional<Price> Price::fromText(const QString &text, const QLocale &locale)
{
    const QString t = text.trimmed();
    bool ok = false;
    double v = numberLocale(locale).toDouble(t, &ok);
    if (!ok)
        v = QLocale::c().toDouble(t, &ok);
    if (!ok) // a decimal comma where the locale has a point
        v = QLocale::c().toDouble(QString(t).replace(QLatin1Char(','), QLatin1Char('.')), &ok);
    if (!ok)
        return std::nullopt;
    return fromDouble(v);
}

QString Price::text(const QLocale &locale) const
{
    const qint64 magnitude = m_tenThousandths < 0 ? -m_tenThousandths : m_tenThousandths;
    QString s = QString::number(magnitude / 10000);
    qint64 fraction = magnitude % 10000;
    if (fraction != 0) {
        QString digits = QStringLiteral("%1").arg(fraction, 4, 10, QLatin1Char('0'));
        while (digits.endsWith(QLatin1Char('0')))
            digits.chop(1);
        s += locale.decimalPoint() + digits;
    }
    return m_tenThousandths < 0 ? QLatin1Char('-') + s : s;
}

// --- columns

const std::array<ColumnInfo, ProductColumnCount> &productColumns()
{
    return kColumns;
}

std::optional<ProductColumn> columnOf(const char *field)
{
    for (int i = 0; i < ProductColumnCount; ++i)
        if (std::strcmp(kColumns[std::size_t(i)].name, field) == 0)
            return ProductColumn(i);
    return std::nullopt;
}

QString productSchemaSql()
{
    QStringList cols;
    for (const ColumnInfo &c : kColumns)
        cols << QString::fromUtf8(c.name) + QLatin1Char(' ') + QLatin1String(c.sqlType);
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(QLatin1String(files::TableName), cols.join(QStringLiteral(", ")));
}

QString productServerSchemaSql()
{
    // The server's types are strict: whole numbers as 64 bits (a barcode does not
    // fit 32), prices as exact decimals; an identity column in place of the rowid and
    // a version that every update raises.
    QStringList cols{QLatin1String(ServerRowIdColumn) + QStringLiteral(" BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY")};
    for (const ColumnInfo &c : kColumns) {
        const char *type = c.kind == ColumnKind::Whole ? "BIGINT" : c.kind == ColumnKind::Decimal ? "NUMERIC" : "TEXT";
        const bool unique = std::strstr(c.sqlType, "UNIQUE") != nullptr;
        cols << QString::fromUtf8(c.name) + QLatin1Char(' ') + QLatin1String(type) + (unique ? QStringLiteral(" UNIQUE") : QString());
    }
    cols << QLatin1String(ServerVersionColumn) + QStringLiteral(" BIGINT NOT NULL DEFAULT 0");
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(QLatin1String(files::TableName), cols.join(QStringLiteral(", ")));
}

bool Product::operator==(const Product &o) const
{
    return rowid == o.rowid && number == o.number && correctionStamp == o.correctionStamp && names == o.names
        && barcode == o.barcode && prefix == o.prefix && price == o.price && bestBefore == o.bestBefore
        && type == o.type && date == o.date && time == o.time;
}

// --- value conversions

WholeField wholeFieldOf(const QVariant &v)
{
    WholeField f;
    if (isNullish(v))
        return f;
    switch (v.typeId()) {
    case QMetaType::QString: {
        bool ok = false;
        const qlonglong n = v.toString().trimmed().toLongLong(&ok);
        if (ok)
            f.value = n;
        else
            f.other = v;
        return f;
    }
    case QMetaType::Double:
    case QMetaType::Float: {
        // A REAL rounds to the nearest whole number while it fits 64 bits.
        const double d = v.toDouble();
        if (std::isfinite(d) && std::fabs(d) < 9.2e18)
            f.value = qint64(std::llround(d));
        else
            f.other = v;
        return f;
    }
    case QMetaType::ULongLong:
        if (v.toULongLong() > quint64(std::numeric_limits<qint64>::max())) {
            f.other = v;
            return f;
        }
        break;
    default:
        break;
    }
    bool ok = false;
    const qlonglong n = v.toLongLong(&ok);
    if (ok)
        f.value = n;
    else
        f.other = v;
    return f;
}

PriceField priceFieldOf(const QVariant &v)
{
    PriceField f;
    if (isNullish(v))
        return f;
    std::optional<Price> p;
    if (v.typeId() == QMetaType::QString) {
        p = Price::fromText(v.toString());
    } else if (v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Int) {
        const qlonglong n = v.toLongLong();
        if (n >= -qlonglong(Price::MaxUnits) && n <= qlonglong(Price::MaxUnits))
            p = Price::fromTenThousandths(n * 10000);
    } else {
        bool ok = false;
        const double d = v.toDouble(&ok);
        if (ok)
            p = Price::fromDouble(d);
    }
    if (p)
        f.value = p;
    else
        f.other = v;
    return f;
}

QString textFieldOf(const QVariant &v)
{
    if (isNullish(v))
        return QString();
    return v.toString();
}

// --- Product

namespace {
QVariant wholeVariant(const qint64 &n) { return QVariant(qlonglong(n)); }
QVariant priceVariant(const Price &p) { return QVariant(p.toDouble()); }
QVariant textVariant(const QString &s) { return s.isNull() ? QVariant() : QVariant(s); }
} // namespace

QVariant Product::value(ProductColumn c) const
{
    switch (c) {
    case ProductColumn::N:
        return numberValue(number, wholeVariant);
    case ProductColumn::CorrStamp:
        return textVariant(correctionStamp);
    case ProductColumn::Name:
        return textVariant(names[0]);
    case ProductColumn::SK5:
        return numberValue(barcode, wholeVariant);
    case ProductColumn::Prefix:
        return textVariant(prefix);
    case ProductColumn::Price:
        return numberValue(price, priceVariant);
    case ProductColumn::BestBefore:
        return textVariant(bestBefore);
    case ProductColumn::Name2:
        return textVariant(names[1]);
    case ProductColumn::Name3:
        return textVariant(names[2]);
    case ProductColumn::Name4:
        return textVariant(names[3]);
    case ProductColumn::Name5:
        return textVariant(names[4]);
    case ProductColumn::Type:
        return textVariant(type);
    case ProductColumn::Date:
        return textVariant(date);
    case ProductColumn::Time:
        return textVariant(time);
    }
    return QVariant();
}

void Product::setValue(ProductColumn c, const QVariant &v)
{
    switch (c) {
    case ProductColumn::N:
        number = wholeFieldOf(v);
        return;
    case ProductColumn::CorrStamp:
        correctionStamp = textFieldOf(v);
        return;
    case ProductColumn::Name:
        names[0] = textFieldOf(v);
        return;
    case ProductColumn::SK5:
        barcode = wholeFieldOf(v);
        return;
    case ProductColumn::Prefix:
        prefix = textFieldOf(v);
        return;
    case ProductColumn::Price:
        price = priceFieldOf(v);
        return;
    case ProductColumn::BestBefore:
        bestBefore = textFieldOf(v);
        return;
    case ProductColumn::Name2:
        names[1] = textFieldOf(v);
        return;
    case ProductColumn::Name3:
        names[2] = textFieldOf(v);
        return;
    case ProductColumn::Name4:
        names[3] = textFieldOf(v);
        return;
    case ProductColumn::Name5:
        names[4] = textFieldOf(v);
        return;
    case ProductColumn::Type:
        type = textFieldOf(v);
        return;
    case ProductColumn::Date:
        date = textFieldOf(v);
        return;
    case ProductColumn::Time:
        time = textFieldOf(v);
        return;
    }
}

} // namespace ztk
