// ScaleText and the product record read back from the scale.
#include "shared/ProductRecord.h"
#include "shared/ScaleText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

using namespace ztk;

namespace {

const std::uint8_t *raw(const QByteArray &b) { return reinterpret_cast<const std::uint8_t *>(b.constData()); }

TEST(ScaleText, SwapOnlyTheFourCodes)
{
    for (int b = 0; b < 256; ++b) {
        const int expected = b == 0x9A ? 0x9C : b == 0x9C ? 0x9A : b == 0xEA ? 0xEC : b == 0xEC ? 0xEA : b;
        EXPECT_EQ(scaletext::swapLetters(std::uint8_t(b)), expected) << b;
    }
}

TEST(ScaleText, DecodesWhatTheScaleSends)
{
    struct Row { QByteArray bytes; QString text; } rows[] = {
        {QByteArray::fromHex("8E819C9F828B858D8885") + QByteArray(18, ' '), QStringLiteral("ОБЪЯВЛЕНИЕ") + QString(18, ' ')},
        {QByteArray::fromHex("8AAEADEA") + QByteArray(24, ' '), QStringLiteral("Конь") + QString(24, ' ')},
        {QByteArray(28, char(0xFF)), QString(28, QChar(0xA0))},                  // empty slot: hard spaces
        {QByteArray("AB") + QByteArray(1, '\0') + QByteArray(25, 'C'), QStringLiteral("AB")}, // ends at a 0 byte
        {QByteArray(28, 'x'), QString(28, 'x')},
    };
    for (const Row &r : rows)
        EXPECT_EQ(scaletext::decode(raw(r.bytes)), r.text) << r.bytes.toHex().constData();
    // Writing and reading back gives the text and its fill.
    const QString name = QStringLiteral("Съешь ещё этих мягких булок");
    EXPECT_EQ(scaletext::decode(raw(scaletext::encode(name))), name + QString(28 - name.size(), ' '));
}

TEST(ScaleText, DateTextHasNoSwap)
{
    const QByteArray t = scaletext::encodeDate(QDateTime(QDate(2010, 2, 15), QTime(0, 0)));
    EXPECT_EQ(t, QByteArray("15.02.10") + QByteArray(20, ' '));
    const QByteArray withTime = scaletext::encodeDate(QDateTime(QDate(2010, 2, 15), QTime(8, 0, 1)));
    EXPECT_EQ(withTime, QByteArray("15.02.10 08:00:01") + QByteArray(11, ' '));
    QByteArray bytes = QByteArray::fromHex("9AEA") + QByteArray(26, ' ');
    EXPECT_EQ(scaletext::decodeDate(raw(bytes)), QStringLiteral("Ъъ") + QString(26, ' '));
}

TEST(ProductRecord, ReadBack)
{
    ProductRecord r;
    EXPECT_TRUE(r.isEmpty());
    EXPECT_EQ(r.barcode(), -1);
    EXPECT_EQ(r.priceHundredths(), 0xFFFFFFFFu);
    EXPECT_FALSE(r.correctionStamp(QDate(2026, 1, 1)).has_value());

    r.setBarcode(65535);
    EXPECT_FALSE(r.isEmpty()); // only the first two bytes are FF FF
    r.setPriceHundredths(1234);
    r.setName(1, QStringLiteral("Конь"));
    r.setName(5, QStringLiteral("ъ"));
    r.setType(1);
    r.setPrefix(0x80);
    r.setBestBefore(QDateTime(QDate(2010, 2, 15), QTime(0, 0)));
    r.setCorrectionStamp(QDateTime(QDate(2010, 2, 15), QTime(14, 5, 9)));

    const ProductRecord back = ProductRecord::decode(r.bytes).value;
    EXPECT_EQ(back.barcode(), 65535);
    EXPECT_EQ(back.priceHundredths(), 1234u);
    EXPECT_EQ(back.name(1).trimmed(), QStringLiteral("Конь"));
    EXPECT_EQ(back.name(2), QString(28, QChar(0xA0))); // never set: 0xFF
    EXPECT_EQ(back.name(5).trimmed(), QStringLiteral("ъ"));
    EXPECT_EQ(back.name(0), QString());
    EXPECT_EQ(back.type(), 1);
    EXPECT_EQ(back.prefix(), -128);
    EXPECT_EQ(back.bestBeforeText().trimmed(), QStringLiteral("15.02.10"));
    EXPECT_EQ(back.bestBefore(QDate(2026, 1, 1)), QDateTime(QDate(2010, 2, 15), QTime(0, 0)));
    EXPECT_EQ(back.correctionStamp(QDate(2026, 1, 1)), QDateTime(QDate(2010, 2, 15), QTime(14, 5, 9)));
    EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(&back.bytes[210]), 7), QByteArray::fromHex("090514FF150210"));
}

TEST(ProductRecord, StampBytesThatAreNoDate)
{
    // Each of the six stamp bytes corrupted on its own gives no moment.
    ProductRecord good;
    good.setCorrectionStamp(QDateTime(QDate(2010, 2, 15), QTime(14, 5, 9)));
    const int offsets[] = {ProductRecord::CorrectionSecondOffset, ProductRecord::CorrectionMinuteOffset,
                           ProductRecord::CorrectionHourOffset,   ProductRecord::CorrectionDayOffset,
                           ProductRecord::CorrectionMonthOffset,  ProductRecord::CorrectionYearOffset};
    for (int at : offsets) {
        for (std::uint8_t bad : {std::uint8_t(0xFF), std::uint8_t(0x1A), std::uint8_t(0x99)}) {
            if (at == ProductRecord::CorrectionYearOffset && bad == 0x99)
                continue; // 99 is a year
            ProductRecord r = good;
            r.bytes[std::size_t(at)] = bad;
            EXPECT_FALSE(r.correctionStamp(QDate(2026, 1, 1)).has_value()) << at << " " << int(bad);
        }
    }
    EXPECT_TRUE(good.correctionStamp(QDate(2026, 1, 1)).has_value());
}

} // namespace

// Every prefix shorter than a record is refused with its length, never read past;
// a longer input gives the first 256 bytes.
TEST(ProductRecord, DecodeChecksTheLength)
{
    std::vector<std::uint8_t> bytes(300);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = std::uint8_t(i * 7 + 1);
    for (std::size_t n = 0; n < std::size_t(ProductRecord::Size); ++n) {
        // A copy of exactly n bytes, so that AddressSanitizer sees any read past it.
        const std::vector<std::uint8_t> prefix(bytes.begin(), bytes.begin() + std::ptrdiff_t(n));
        const Decoded<ProductRecord> d = ProductRecord::decode(prefix);
        EXPECT_EQ(d.error, DecodeError::Truncated) << n;
        EXPECT_EQ(d.have, n);
        EXPECT_EQ(d.need, std::size_t(ProductRecord::Size));
    }
    for (std::size_t n : {std::size_t(ProductRecord::Size), bytes.size()}) {
        const std::vector<std::uint8_t> input(bytes.begin(), bytes.begin() + std::ptrdiff_t(n));
        const Decoded<ProductRecord> d = ProductRecord::decode(input);
        ASSERT_TRUE(d.ok()) << n;
        EXPECT_TRUE(std::equal(d.value.bytes.begin(), d.value.bytes.end(), bytes.begin())) << n;
    }
}

TEST(LittleEndian, KnownBytes)
{
    std::array<std::uint8_t, 6> b{};
    le::put2(b, 0, 0x012C); // 300
    le::put4(b, 2, 0x87654321u);
    EXPECT_EQ(b, (std::array<std::uint8_t, 6>{0x2C, 0x01, 0x21, 0x43, 0x65, 0x87}));
    EXPECT_EQ(le::get2(b, 0), 300);
    EXPECT_EQ(le::get4(b, 2), 0x87654321u);
}
