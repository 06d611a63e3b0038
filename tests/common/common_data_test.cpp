// The 512-byte block: building it (against bytes written down by hand from its
// layout), decoding it as the viewer shows it, and the key-list texts.

#include "common/CommonData.h"
#include "shared/CodePage.h"

#include <gtest/gtest.h>

#include <QByteArray>

using namespace ztk;
using namespace ztk::common;

namespace {

QByteArray bytes(const Block &b) { return QByteArray(reinterpret_cast<const char *>(b.data()), int(b.size())); }

Block blockOf(const QByteArray &raw)
{
    Block b{};
    std::copy_n(raw.begin(), std::min<qsizetype>(raw.size(), BlockSize), b.begin());
    return b;
}

const QDateTime Moment(QDate(2027, 3, 1), QTime(9, 5, 7));

BlockInput sampleInput()
{
    BlockInput in;
    in.scaleNumber = 3;
    in.labelNumber = 300;
    in.reportLabelNumber = 7;
    for (int k = 0; k < KeyCount; ++k) {
        in.weightKeys[std::size_t(k)] = 100 + k;
        in.pieceKeys[std::size_t(k)] = -1 - k;
    }
    in.companyName = QStringLiteral("Магазин");
    in.autoLabel = true;
    return in;
}

} // namespace

// Every byte of a built block, from the layout written down by hand.
TEST(CommonDataBlock, BuiltBlockByteForByte)
{
    QByteArray expected(BlockSize, char(0xFF));
    expected.replace(60, 4, QByteArray::fromHex("2c070000"));        // 300, byte 61 the report label 7
    expected.replace(64, 8, QByteArray::fromHex("070509ff010327ff")); // 09:05:07 on 01.03.27
    expected.replace(112, 4, QByteArray::fromHex("57280003"));       // DateNumber 10327, scale 3
    for (int k = 0; k < KeyCount; ++k) {
        expected.replace(116 + 4 * k, 4, QByteArray::fromHex(QByteArray::number(100 + k, 16).rightJustified(2, '0') + "000000"));
        const std::uint32_t minus = std::uint32_t(-1 - k);
        QByteArray le(4, '\0');
        for (int i = 0; i < 4; ++i)
            le[i] = char(minus >> (8 * i));
        expected.replace(292 + 4 * k, 4, le);
    }
    // "Магазин" in 866, its zero byte, spaces to 28.
    const QByteArray name = QByteArray::fromHex("8ca0a3a0a7a8ad") + '\0' + QByteArray(20, ' ');
    expected.replace(256, 28, name);
    expected.replace(404, 28, QByteArray(28, ' '));
    expected[432] = 1;

    EXPECT_EQ(bytes(buildBlock(sampleInput(), Moment)).toHex(), expected.toHex());
}

struct NameCase {
    const char *name;
    QByteArray field; // bytes 256..283
};

class CommonDataBlockName : public ::testing::TestWithParam<NameCase> {};

TEST_P(CommonDataBlockName, TwentyEightBytesAtOffset256)
{
    BlockInput in = sampleInput();
    in.companyName = QString::fromUtf8(GetParam().name);
    EXPECT_EQ(bytes(buildBlock(in, Moment)).mid(256, 28), GetParam().field);
}

INSTANTIATE_TEST_SUITE_P(
    Names, CommonDataBlockName,
    ::testing::Values(NameCase{"1234567890123456789012345678", "1234567890123456789012345678"},       // no zero byte
                      NameCase{"123456789012345678901234567890", "1234567890123456789012345678"},     // first 28
                      NameCase{"", QByteArray(1, '\0') + QByteArray(27, ' ')},                       // empty
                      NameCase{"АБВ", QByteArray::fromHex("808182") + '\0' + QByteArray(24, ' ')}));  // 866

TEST(CommonDataBlock, ClockBytesOfTheSetClockCommand)
{
    const auto b = stampBytes(QDateTime(QDate(1999, 12, 31), QTime(23, 59, 58)), 0x00);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(b.data()), 8).toHex(), QByteArray("5859230031129900"));
    EXPECT_EQ(dateNumber(QDate(2026, 12, 8)), 81226);
}

// --- decoding

TEST(CommonDataView, FieldsAsTheViewerShowsThem)
{
    QByteArray raw = bytes(buildBlock(sampleInput(), Moment));
    raw[56] = char(0x23);
    raw[60] = char(0xC8);
    raw[115] = char(0xFE);
    raw.replace(116, 8, QByteArray::fromHex("0a000000ffffffff"));
    raw.replace(76, 2, QByteArray::fromHex("3412"));
    raw.replace(80, 4, QByteArray::fromHex("78563412"));
    const Decoded<BlockView> d = decodeBlock(blockOf(raw));
    ASSERT_TRUE(d.ok());
    const BlockView &v = d.value;
    EXPECT_EQ(v.companyName, QStringLiteral("Магазин"));
    EXPECT_EQ(scaleTypes().at(v.scaleTypeIndex), QStringLiteral("15/25"));
    EXPECT_EQ(pointPositions().at(v.pointIndex), QStringLiteral("xxxx.xx"));
    EXPECT_EQ(v.labelVariant, QStringLiteral("-56"));
    EXPECT_EQ(v.reportLabelVariant, QStringLiteral("7"));
    EXPECT_EQ(v.scaleNumber, QStringLiteral("-2"));
    EXPECT_EQ(v.stamp, QStringLiteral("01.03.27 09:05:07"));
    EXPECT_TRUE(v.autoLabel);
    EXPECT_TRUE(v.weightKeys.startsWith(QStringLiteral("10  -1  102  103  ")));
    EXPECT_EQ(v.readBackWord, 0x1234);
    EXPECT_EQ(v.readBackLong, 0x12345678u);

    const QStringList lines = viewerLines(v);
    EXPECT_EQ(lines.mid(0, 8), (QStringList{
                                   QStringLiteral("Наименование предприятия: Магазин"),
                                   QStringLiteral("Тип весов: 15/25"),
                                   QStringLiteral("Позиция дес точки: xxxx.xx"),
                                   QStringLiteral("Вариант этикетки: -56"),
                                   QStringLiteral("Вариант суммарной этикетки: 7"),
                                   QStringLiteral("Номер весов: -2"),
                                   QStringLiteral("Дата и время посл коррекции: 01.03.27 09:05:07"),
                                   QStringLiteral("Автовывод этикетки: да"),
                               }));
    EXPECT_EQ(lines.at(8), QStringLiteral("Список индексов ВР: ") + v.weightKeys);
}

// Bytes the program never writes still decode: type nibble 9, a stamp that is not
// BCD, a name without a zero byte, 0xFF everywhere.
TEST(CommonDataView, AnyBytesDecode)
{
    QByteArray raw(BlockSize, char(0xFF));
    Decoded<BlockView> d = decodeBlock(blockOf(raw));
    ASSERT_TRUE(d.ok());
    EXPECT_EQ(d.value.scaleTypeIndex, -1);
    EXPECT_EQ(d.value.pointIndex, -1);
    EXPECT_EQ(d.value.stamp, QStringLiteral("ff.ff.ff ff:ff:ff"));
    EXPECT_EQ(d.value.weightKeys, QString(QStringLiteral("-1  ")).repeated(KeyCount));
    EXPECT_EQ(d.value.companyName.size(), NameSize);
    EXPECT_FALSE(d.value.companyName.contains(QChar(0)));

    raw[56] = char(0x49);
    raw.replace(64, 8, QByteArray::fromHex("7a5b3c00ab1c9d00"));
    raw.replace(256, 28, QByteArray(28, 'A'));
    d = decodeBlock(blockOf(raw));
    EXPECT_EQ(d.value.scaleTypeIndex, -1);
    EXPECT_EQ(d.value.pointIndex, -1);
    EXPECT_EQ(d.value.stamp, QStringLiteral("ab.1c.9d 3c:5b:7a"));
    EXPECT_EQ(d.value.companyName, QString(28, QLatin1Char('A')));
}

TEST(CommonDataView, EveryTruncatedPrefixIsACleanError)
{
    const Block full = buildBlock(sampleInput(), Moment);
    for (std::size_t n = 0; n < full.size(); ++n) {
        const Decoded<BlockView> d = decodeBlock(std::span<const std::uint8_t>(full.data(), n));
        ASSERT_EQ(d.error, DecodeError::Truncated) << n;
        EXPECT_EQ(d.have, n);
        EXPECT_EQ(d.need, std::size_t(BlockSize));
    }
    EXPECT_TRUE(decodeBlock(full).ok());
}

// --- the key lists

TEST(CommonDataKeys, ViewerTextOfKeyGroups)
{
    Keys keys{};
    keys.fill(-1);
    keys[0] = 10;
    EXPECT_TRUE(keyListText(keys).startsWith(QStringLiteral("10  -1  -1  ")));
    EXPECT_EQ(keyListText(keys).size(), 4 + 27 * 4);
}

struct ListCase {
    const char *text;
    QList<std::int32_t> values;
};

class CommonDataKeyList : public ::testing::TestWithParam<ListCase> {};

TEST_P(CommonDataKeyList, ReadsAsTheListRule)
{
    EXPECT_EQ(readKeyList(QString::fromUtf8(GetParam().text)), GetParam().values);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CommonDataKeyList,
    ::testing::Values(ListCase{"10  20  30  ", {10, 20, 30}},      // as the viewer writes it
                      ListCase{"10 20 30", {10, 20, 30}},          // the last number without a space after it counts
                      ListCase{"5  0  7  ", {5, 7}},               // 0 is skipped
                      ListCase{"10\n20 30\n\n-4x 7", {10, 20, 30, -4, 7}},
                      ListCase{"abc  +12  9999999999  ", {12, 2147483647}},
                      ListCase{"", {}}));

TEST(CommonDataKeys, AtMostTwentyEightValues)
{
    Keys keys{};
    for (int k = 0; k < KeyCount; ++k)
        keys[std::size_t(k)] = k + 1;
    const QString text = keyListText(keys) + QStringLiteral("29 30");
    const QList<std::int32_t> values = readKeyList(text);
    ASSERT_EQ(values.size(), KeyCount);
    EXPECT_EQ(values.last(), 28);
}
