#include "common/CommonData.h"

#include "shared/Bcd.h"
#include "shared/CodePage.h"
#include "shared/Messages.h"

#include <limits>

namespace ztk::common {

namespace {

void putKeys(Block &b, int offset, const Keys &keys)
{
    for (int k = 0; k < KeyCount; ++k)
        le::put4(b, std::size_t(offset + 4 * k), std::uint32_t(keys[std::size_t(k)]));
}

Keys getKeys(std::span<const std::uint8_t> b, int offset)
{
    Keys keys{};
    for (int k = 0; k < KeyCount; ++k)
        keys[std::size_t(k)] = std::int32_t(le::get4(b, std::size_t(offset + 4 * k)));
    return keys;
}

QString signedByte(std::uint8_t byte) { return QString::number(int(std::int8_t(byte))); }

QString twoHex(std::uint8_t byte) { return QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')); }

} // namespace

QStringList scaleTypes()
{
    return {QStringLiteral("6/12"), QStringLiteral("6/2"), QStringLiteral("15/125"),
            QStringLiteral("15/25"), QStringLiteral("15/5"), QStringLiteral("30/510")};
}

QStringList pointPositions()
{
    return {QStringLiteral("xxxxxxx"), QStringLiteral("xxxxx.x"), QStringLiteral("xxxx.xx"), QStringLiteral("xxx.xxx")};
}

std::int32_t dateNumber(const QDate &date)
{
    return date.day() * 10000 + date.month() * 100 + date.year() % 100;
}

std::array<std::uint8_t, 8> stampBytes(const QDateTime &moment, std::uint8_t gap)
{
    const QDate d = moment.date();
    const QTime t = moment.time();
    return {bcd::encode(t.second()), bcd::encode(t.minute()), bcd::encode(t.hour()), gap,
            bcd::encode(d.day()),    bcd::encode(d.month()),  bcd::encode(d.year() % 100), gap};
}

Block buildBlock(const BlockInput &in, const QDateTime &moment)
{
    Block b;
    b.fill(0xFF);

    const std::uint32_t dateAndScale =
        (std::uint32_t(std::uint8_t(in.scaleNumber)) << 24) | (std::uint32_t(dateNumber(moment.date())) & 0xFFFFFF);
    le::put4(b, at::DateAndScale, dateAndScale);

    le::put4(b, at::LabelNumber, std::uint32_t(in.labelNumber));
    b[at::ReportLabelNumber] = std::uint8_t(in.reportLabelNumber);

    putKeys(b, at::WeightKeys, in.weightKeys);

    // 28 spaces, the name and a zero byte over them, the first 28 bytes kept.
    QByteArray name = codepage::toCp866(in.companyName);
    name.append('\0');
    for (int i = 0; i < NameSize; ++i)
        b[std::size_t(at::CompanyName + i)] = i < name.size() ? std::uint8_t(name[i]) : std::uint8_t(' ');

    putKeys(b, at::PieceKeys, in.pieceKeys);
    for (int i = 0; i < NameSize; ++i)
        b[std::size_t(at::Spaces + i)] = ' ';
    b[at::AutoLabel] = in.autoLabel ? 1 : 0;

    const auto stamp = stampBytes(moment, 0xFF);
    std::copy(stamp.begin(), stamp.end(), b.begin() + at::Stamp);
    return b;
}

Decoded<BlockView> decodeBlock(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < std::size_t(BlockSize))
        return Decoded<BlockView>::truncated(bytes.size(), BlockSize);
    const auto b = bytes.first(std::size_t(BlockSize));
    Decoded<BlockView> d;
    BlockView &v = d.value;

    QByteArray name;
    for (int i = 0; i < NameSize && b[std::size_t(at::CompanyName + i)] != 0; ++i)
        name.append(char(b[std::size_t(at::CompanyName + i)]));
    v.companyName = codepage::fromCp866(name);

    const int type = b[at::ScaleType] & 0x0F;
    const int point = b[at::ScaleType] >> 4;
    v.scaleTypeIndex = type < scaleTypes().size() ? type : -1;
    v.pointIndex = point < pointPositions().size() ? point : -1;

    v.labelVariant = signedByte(b[at::LabelNumber]);
    v.reportLabelVariant = signedByte(b[at::ReportLabelNumber]);
    v.scaleNumber = signedByte(b[at::ScaleNumber]);

    // Day, month, year, hours, minutes, seconds: BCD reads as its hex digits.
    const int order[] = {4, 5, 6, 2, 1, 0};
    QStringList parts;
    for (int i : order)
        parts << twoHex(b[std::size_t(at::Stamp + i)]);
    v.stamp = QStringLiteral("%1.%2.%3 %4:%5:%6").arg(parts[0], parts[1], parts[2], parts[3], parts[4], parts[5]);

    v.autoLabel = b[at::AutoLabel] != 0;
    v.weightKeys = keyListText(getKeys(b, at::WeightKeys));
    v.pieceKeys = keyListText(getKeys(b, at::PieceKeys));
    v.readBackWord = le::get2(b, at::ReadBackWord);
    v.readBackLong = le::get4(b, at::ReadBackLong);
    return d;
}

QStringList viewerLines(const BlockView &v)
{
    const auto line = [](const char *label, const QString &text) {
        return msg::text(label).trimmed() + QLatin1String(": ") + text;
    };
    const auto item = [](const QStringList &items, int index) { return index >= 0 ? items.at(index) : QString(); };
    return {line(msg::ViewerName, v.companyName),
            line(msg::ViewerScaleType, item(scaleTypes(), v.scaleTypeIndex)),
            line(msg::ViewerPoint, item(pointPositions(), v.pointIndex)),
            line(msg::ViewerLabel, v.labelVariant),
            line(msg::ViewerReportLabel, v.reportLabelVariant),
            line(msg::ViewerScaleNumber, v.scaleNumber),
            line(msg::ViewerStamp, v.stamp),
            line(msg::AutoLabel, msg::text(v.autoLabel ? msg::Yes : msg::No)),
            line(msg::ViewerWeightKeys, v.weightKeys),
            line(msg::ViewerPieceKeys, v.pieceKeys)};
}

QString keyListText(const Keys &keys)
{
    QString text;
    for (const std::int32_t k : keys)
        text += QString::number(k) + QLatin1String("  ");
    return text;
}

QList<std::int32_t> readKeyList(const QString &text)
{
    QList<std::int32_t> values;
    // Spaces and line ends both end a token; the last token of a line counts too.
    QString flat = text;
    flat.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QStringList tokens = flat.split(QLatin1Char(' '));
    for (const QString &token : tokens) {
        if (values.size() >= KeyCount)
            break;
        // As far as it reads: an optional sign, then digits; beyond 32 bits it stays at the limit.
        qsizetype i = 0;
        bool negative = false;
        if (i < token.size() && (token[i] == QLatin1Char('-') || token[i] == QLatin1Char('+')))
            negative = token[i++] == QLatin1Char('-');
        qint64 v = 0;
        for (; i < token.size() && token[i] >= QLatin1Char('0') && token[i] <= QLatin1Char('9'); ++i)
            v = std::min<qint64>(v * 10 + (token[i].unicode() - '0'), qint64(std::numeric_limits<std::int32_t>::max()) + 1);
        if (negative)
            v = -v;
        v = std::clamp<qint64>(v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max());
        if (v != 0)
            values.append(std::int32_t(v));
    }
    return values;
}

} // namespace ztk::common
