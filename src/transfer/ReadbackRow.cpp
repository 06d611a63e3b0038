#include "transfer/ReadbackRow.h"

#include "shared/DateText.h"
#include "shared/Messages.h"

#include <algorithm>

namespace ztk::readback {

namespace {

constexpr const char EmptyStamp[] = "00.00.00 00:00:00";
constexpr std::array<int, ProductRecord::NameLines> NameColumns = {ColName, ColName2, ColName3, ColName4, ColName5};

bool allUnset(const ProductRecord &r, std::initializer_list<int> offsets)
{
    return std::all_of(offsets.begin(), offsets.end(), [&](int at) { return r.bytes[std::size_t(at)] == ProductRecord::Unset; });
}

// Each BCD byte as two hexadecimal digits, so a byte that is no BCD still shows what came.
QString stampText(const ProductRecord &r)
{
    const std::initializer_list<int> order = {
        ProductRecord::CorrectionDayOffset,  ProductRecord::CorrectionMonthOffset,  ProductRecord::CorrectionYearOffset,
        ProductRecord::CorrectionHourOffset, ProductRecord::CorrectionMinuteOffset, ProductRecord::CorrectionSecondOffset};
    if (allUnset(r, order))
        return QString::fromLatin1(EmptyStamp);
    const auto b = [&](int at) { return unsigned(r.bytes[std::size_t(at)]); };
    return QString::asprintf("%02x.%02x.%02x %02x:%02x:%02x", b(ProductRecord::CorrectionDayOffset),
                             b(ProductRecord::CorrectionMonthOffset), b(ProductRecord::CorrectionYearOffset),
                             b(ProductRecord::CorrectionHourOffset), b(ProductRecord::CorrectionMinuteOffset),
                             b(ProductRecord::CorrectionSecondOffset));
}

QString typeText(std::uint8_t type)
{
    if (type == ProductRecord::Unset)
        return QStringLiteral("0");
    return msg::text(type == 1 ? msg::CellPiece : msg::CellWeight);
}

// Whole hundredths as an integer, so no price loses a digit on the way.
QString priceText(std::uint32_t hundredths, const QLocale &locale)
{
    return QString::number(hundredths / 100) + locale.decimalPoint()
           + QStringLiteral("%1").arg(hundredths % 100, 2, 10, QLatin1Char('0'));
}

// The scale keeps names space-filled to 28 characters; the store keeps the name.
QString withoutFill(QString text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == QLatin1Char(' '))
        --end;
    text.truncate(end);
    return text;
}

} // namespace

const QStringList &columnHeaders()
{
    static const QStringList headers = {
        QStringLiteral("N"),     QStringLiteral("Дата коррекции"), QStringLiteral("Наименование"), QStringLiteral("ШК5"),
        QStringLiteral("ТипТ"),  QStringLiteral("Цена"),           QStringLiteral("Name2"),        QStringLiteral("Name3"),
        QStringLiteral("Name4"), QStringLiteral("Name5"),          QStringLiteral("Годен до"),     QStringLiteral("Префикс"),
    };
    return headers;
}

QStringList cellsOf(int number, const ProductRecord &record, const QLocale &locale)
{
    QStringList cells;
    cells.resize(ColumnCount);
    cells[ColNumber] = QString::number(number);
    const bool noBarcode = record.unset(ProductRecord::BarcodeOffset, ProductRecord::BarcodeSize);
    cells[ColSK5] = QString::asprintf("%05d", noBarcode ? 0 : int(record.barcode()));
    const bool noPrice = record.unset(ProductRecord::PriceOffset, ProductRecord::PriceSize);
    cells[ColPrice] = priceText(noPrice ? 0 : record.priceHundredths(), locale);
    cells[ColPrefix] = record.bytes[ProductRecord::PrefixOffset] == ProductRecord::Unset
                           ? QStringLiteral("0")
                           : QString::number(int(record.prefix()));
    for (int line = 1; line <= ProductRecord::NameLines; ++line)
        cells[NameColumns[std::size_t(line - 1)]] = record.name(line);
    cells[ColBestBefore] = record.bestBeforeText();
    cells[ColStamp] = stampText(record);
    cells[ColType] = typeText(record.type());
    return cells;
}

Decoded<QStringList> decodeRow(int number, std::span<const std::uint8_t> bytes, const QLocale &locale)
{
    const Decoded<ProductRecord> record = ProductRecord::decode(bytes);
    if (!record)
        return Decoded<QStringList>::truncated(record.have, record.need);
    Decoded<QStringList> d;
    d.value = cellsOf(number, record.value, locale);
    return d;
}

QString clearedCell(int column, const QLocale &locale)
{
    switch (column) {
    case ColStamp: return QString::fromLatin1(EmptyStamp);
    case ColSK5: return QStringLiteral("00000");
    case ColType: return QStringLiteral("0");
    case ColPrice: return priceText(0, locale);
    case ColPrefix: return QStringLiteral("0");
    default: return QString();
    }
}

bool skippedBySave(const QStringList &cells)
{
    const QString stamp = cells.value(ColStamp);
    return stamp == QLatin1String("ff.ff.ff ff:ff:ff") || stamp == QLatin1String(EmptyStamp)
           || stamp == QLatin1String("0");
}

namespace {

// The scale's text carries a time only when it is not midnight; keep it then.
std::optional<QString> bestBeforeOf(const QString &shown, const QDate &today)
{
    const auto bestBefore = datetext::parseDayFirst(shown.trimmed(), today);
    if (!bestBefore)
        return std::nullopt;
    QString text = datetext::yearFirst(bestBefore->date());
    if (bestBefore->time() != QTime(0, 0))
        text += QLatin1Char(' ') + datetext::longTime(bestBefore->time());
    return text;
}

} // namespace

bool skippedBySave(const ProductRecord &record)
{
    return stampText(record) == QLatin1String(EmptyStamp);
}

RowConversion fieldsOf(const QStringList &cells, const QDate &today, const QLocale &locale)
{
    RowConversion c;
    bool ok = false;
    const QString numberText = cells.value(ColNumber);
    const qint64 number = numberText.trimmed().toLongLong(&ok);
    if (!ok) {
        c.error = msg::text(msg::NotAnInteger).arg(numberText);
        return c;
    }
    RowFields f;
    f.number = number;
    f.type = cells.value(ColType) == msg::text(msg::CellWeight) ? QStringLiteral("0") : QStringLiteral("1");
    if (const auto price = Price::fromText(cells.value(ColPrice), locale))
        f.price = Price::fromTenThousandths(price->hundredthsTowardZero() * 100);
    for (int line = 0; line < Product::NameLines; ++line)
        f.names[std::size_t(line)] = withoutFill(cells.value(NameColumns[std::size_t(line)]));
    f.bestBefore = bestBeforeOf(cells.value(ColBestBefore), today);
    const qint64 sk5 = cells.value(ColSK5).trimmed().toLongLong(&ok);
    if (ok)
        f.sk5 = sk5;
    f.prefix = cells.value(ColPrefix);
    c.fields = f;
    return c;
}

RowFields fieldsOf(int number, const ProductRecord &record, const QDate &today)
{
    RowFields f;
    f.number = number;
    // Only a weighed product shows "ВЕС"; a piece product and an unset byte do not.
    const std::uint8_t type = record.type();
    f.type = type == 1 || type == ProductRecord::Unset ? QStringLiteral("1") : QStringLiteral("0");
    const bool noPrice = record.unset(ProductRecord::PriceOffset, ProductRecord::PriceSize);
    f.price = Price::fromTenThousandths(qint64(noPrice ? 0 : record.priceHundredths()) * 100);
    for (int line = 1; line <= ProductRecord::NameLines; ++line)
        f.names[std::size_t(line - 1)] = withoutFill(record.name(line));
    f.bestBefore = bestBeforeOf(record.bestBeforeText(), today);
    const bool noBarcode = record.unset(ProductRecord::BarcodeOffset, ProductRecord::BarcodeSize);
    f.sk5 = noBarcode ? 0 : qint64(record.barcode());
    f.prefix = record.bytes[ProductRecord::PrefixOffset] == ProductRecord::Unset ? QStringLiteral("0")
                                                                                  : QString::number(int(record.prefix()));
    return f;
}

GridRows fieldsOfRows(const std::vector<QStringList> &cells, const QDate &today, const QLocale &locale)
{
    GridRows out;
    out.rows.reserve(cells.size());
    for (const QStringList &row : cells) {
        if (skippedBySave(row))
            continue;
        RowConversion c = fieldsOf(row, today, locale);
        if (!c.fields) {
            out.error = c.error;
            break;
        }
        out.rows.push_back(std::move(*c.fields));
    }
    return out;
}

} // namespace ztk::readback
