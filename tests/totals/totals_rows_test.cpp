// Totals rows from an image and the selection's products: what is listed, how each
// counter is shown, the sum row, and the lookup.
#include "totals/TotalsRows.h"

#include <QString>
#include <gtest/gtest.h>

#include <cstring>

using namespace ztk;

namespace {

const QString Comma = QStringLiteral(",");

TotalsLookup milkAndSausage()
{
    return TotalsLookup({{12, QStringLiteral("Молоко"), QStringLiteral("0")},
                         {40, QStringLiteral("Колбаса"), QStringLiteral("21")}});
}

// The cells of the only listed row; fails the test when there is not exactly one.
TotalsCells onlyRow(const TotalsImage &image, const TotalsLookup &lookup)
{
    const TotalsTable t = buildTotalsRows(image, lookup, Comma);
    EXPECT_EQ(t.rows.size(), 1u);
    return t.rows.empty() ? TotalsCells{} : t.rows.front().cells;
}

TEST(TotalsImage, CountersAtTheirOffsets)
{
    struct Case { int product; std::size_t offsets[3]; } cases[] = {
        {1, {0, 51200, 102400}},
        {33, {256, 51456, 102656}},
        {5000, {39964, 91164, 142364}},
    };
    for (const Case &c : cases) {
        std::vector<std::uint8_t> bytes(TotalsImage::Size, 0);
        for (int s = 0; s < 3; ++s) {
            // A distinct value with all four bytes significant in each section.
            const std::uint8_t v[4] = {std::uint8_t(0x11 * (s + 1)), 0x00, 0x00, std::uint8_t(0x01 + s)};
            std::memcpy(bytes.data() + c.offsets[s], v, 4);
        }
        const Decoded<TotalsImage> d = TotalsImage::decode(bytes);
        ASSERT_TRUE(d.ok());
        const TotalsCounters got = d.value.counters(c.product);
        EXPECT_EQ(got, (TotalsCounters{0x01000011u, 0x02000022u, 0x03000033u})) << c.product;
        // Nothing else reads those bytes.
        for (int other : {c.product - 1, c.product + 1})
            EXPECT_EQ(d.value.counters(other), TotalsCounters{}) << other;
        TotalsImage written;
        written.setCounters(c.product, got);
        EXPECT_EQ(written, d.value);
    }
}

TEST(TotalsImage, EveryShortInputIsTruncated)
{
    std::vector<std::uint8_t> bytes(TotalsImage::Size + 7, 0xA5);
    for (std::size_t n = 0; n < TotalsImage::Size; ++n) {
        const Decoded<TotalsImage> d = TotalsImage::decode(std::span(bytes.data(), n));
        ASSERT_EQ(d.error, DecodeError::Truncated) << n;
        ASSERT_EQ(d.have, n);
        ASSERT_EQ(d.need, TotalsImage::Size);
    }
    const Decoded<TotalsImage> whole = TotalsImage::decode(bytes); // bytes beyond the image are not taken
    ASSERT_TRUE(whole.ok());
    EXPECT_EQ(whole.value.bytes().size(), TotalsImage::Size);
    EXPECT_EQ(whole.value.counters(5000).weighings, 0xA5A5A5A5u);
}

TEST(TotalsRows, WhichProductsAreListed)
{
    struct Case { std::uint32_t weighings; bool listed; } cases[] = {
        {0, false}, {1, true}, {100000, true}, {100001, false}, {0xFFFFFFFFu, false}, {0x80000000u, false},
    };
    for (const Case &c : cases) {
        TotalsImage image;
        image.setCounters(12, {1500, 4530, c.weighings});
        const TotalsTable t = buildTotalsRows(image, milkAndSausage(), Comma);
        EXPECT_EQ(t.rows.size(), c.listed ? 1u : 0u) << c.weighings;
        EXPECT_EQ(t.moneyTotal, c.listed ? 4530 : 0) << c.weighings;
    }
}

TEST(TotalsRows, CountersShownByTheRules)
{
    struct Case {
        int product; // 12 has "Префикс" 0, 40 has 21, 7 is not in the selection
        TotalsCounters counters;
        TotalsCells cells;
    } cases[] = {
        {12, {123456, 4530, 3}, {"12", "123,456", "45,30", "3", "Молоко"}},   // bytes 40 E2 01 00
        {40, {123456, 4530, 3}, {"40", "123456", "45,30", "3", "Колбаса"}},
        {40, {16777217, 1, 1}, {"40", "16777217", "0,01", "1", "Колбаса"}},   // bytes 01 00 00 01
        {12, {1234567891, 0, 2}, {"12", "1234567,891", "0,00", "2", "Молоко"}},
        {12, {0xFFFFFFFFu, 0xFFFFFFFFu, 100000}, {"12", "4294967,295", "42949672,95", "100000", "Молоко"}},
        {40, {0xFFFFFFFFu, 0x80000000u, 5}, {"40", "-1", "21474836,48", "5", "Колбаса"}},
        {7, {1500, 99, 1}, {"7*", "1,500", "0,99", "1", ""}}, // not in the selection: weighed, no name
    };
    for (const Case &c : cases) {
        TotalsImage image;
        image.setCounters(c.product, c.counters);
        const TotalsCells got = onlyRow(image, milkAndSausage());
        for (int col = 0; col < TotalsColumns; ++col)
            EXPECT_EQ(got[std::size_t(col)], c.cells[std::size_t(col)]) << c.product << " column " << col;
    }
}

TEST(TotalsRows, SumRowHoldsTheExactMoneyTotalOnly)
{
    // 5000 products at the largest money counter: far beyond 32 bits and single precision.
    TotalsImage image;
    for (int n = 1; n <= 5000; ++n)
        image.setCounters(n, {1, 0xFFFFFFFFu, 1});
    image.setCounters(17, {1, 0xFFFFFFFFu, 0}); // not listed: not summed
    const TotalsTable t = buildTotalsRows(image, TotalsLookup(), QStringLiteral("."));
    EXPECT_EQ(t.rows.size(), 4999u);
    EXPECT_EQ(t.moneyTotal, std::int64_t(4999) * 0xFFFFFFFFLL);
    EXPECT_EQ(t.sumRow[2], QStringLiteral("214705415077.05"));
    for (int col : {0, 1, 3, 4})
        EXPECT_TRUE(t.sumRow[std::size_t(col)].isEmpty()) << col;
    // Rows in ascending number.
    EXPECT_EQ(t.rows.front().number, 1);
    EXPECT_EQ(t.rows[16].number, 18);
    EXPECT_EQ(t.rows.back().number, 5000);
}

TEST(TotalsRows, LookupTakesTheFirstRowOfANumber)
{
    const TotalsLookup lookup({{5, QStringLiteral("Первый"), QStringLiteral("21")},
                               {0, QStringLiteral("Без номера"), QStringLiteral("0")},
                               {5, QStringLiteral("Второй"), QStringLiteral("0")}});
    ASSERT_NE(lookup.find(5), nullptr);
    EXPECT_EQ(lookup.find(5)->name, QStringLiteral("Первый"));
    EXPECT_EQ(lookup.find(6), nullptr);
    TotalsImage image;
    image.setCounters(5, {2500, 100, 1});
    EXPECT_EQ(onlyRow(image, lookup)[1], QStringLiteral("2500")); // the first row's "Префикс" 21
}

TEST(TotalsRows, NumberOfACell)
{
    struct Case { const char *text; int number; } cases[] = {
        {"12", 12}, {"5*", 5}, {"4999", 4999}, {"0", 0}, {"", 0}, {"*", 0}, {"5**", 0}, {"x1", 0}, {"12,5", 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(productNumberOfCell(QString::fromUtf8(c.text)), c.number) << c.text;
}

TEST(TotalsRows, SummaryForTheChart)
{
    TotalsImage image;
    image.setCounters(12, {1000, 500, 1});  // weighed
    image.setCounters(40, {3, 900, 1});     // pieces
    image.setCounters(7, {1, 900, 1});      // not in the selection: weighed
    image.setCounters(41, {1, 100, 1});
    const TotalsTable t = buildTotalsRows(image, milkAndSausage(), Comma);
    const TotalsSummary s = summarizeTotals(t, 2);
    ASSERT_EQ(s.top.size(), 2u);
    EXPECT_EQ(s.top[0].number, 7); // equal sums: the lower number first
    EXPECT_EQ(s.top[0].label, QStringLiteral("7*"));
    EXPECT_EQ(s.top[1].label, QStringLiteral("Колбаса"));
    EXPECT_EQ(s.top[1].money, 900);
    EXPECT_EQ(s.weighedMoney, 500 + 900 + 100);
    EXPECT_EQ(s.pieceMoney, 900);
}

// A product cleared in the scale after the reception: shown as such, left out of the
// sum and the chart, its received counters kept for the file.
TEST(TotalsRows, ClearedRowsLeaveTheSumButNotTheFile)
{
    TotalsImage image;
    image.setCounters(12, {1500, 4530, 3}); // weighed
    image.setCounters(40, {7, 900, 2});     // pieces
    image.setCounters(7, {250, 100, 1});    // not in the selection: weighed
    TotalsTable t = buildTotalsRows(image, milkAndSausage(), Comma);
    const std::vector<TotalsCells> received = t.cells();
    EXPECT_EQ(shownTotalsCells(t.rows[0]), (TotalsCells{"7*", "0,250 кг", "1,00", "1", ""}));
    EXPECT_EQ(shownTotalsCells(t.rows[2]), (TotalsCells{"40", "7 шт", "9,00", "2", "Колбаса"}));

    EXPECT_TRUE(t.markCleared(12, Comma));
    EXPECT_FALSE(t.markCleared(12, Comma)); // once only
    EXPECT_FALSE(t.markCleared(99, Comma)); // not listed
    EXPECT_EQ(t.rowOf(12), 1);
    EXPECT_EQ(t.rowOf(99), -1);
    EXPECT_EQ(shownTotalsCells(t.rows[1]), (TotalsCells{"12", "очищено", "", "", "Молоко"}));
    EXPECT_EQ(t.moneyTotal, 100 + 900);
    EXPECT_EQ(t.sumRow[2], QStringLiteral("10,00"));
    EXPECT_EQ(t.cells(), received);

    const TotalsSummary s = summarizeTotals(t, 10);
    ASSERT_EQ(s.top.size(), 2u);
    EXPECT_EQ(s.top[0].number, 40);
    EXPECT_EQ(s.top[1].number, 7);
    EXPECT_EQ(s.weighedMoney, 100);
    EXPECT_EQ(s.pieceMoney, 900);

    EXPECT_TRUE(t.markCleared(7, Comma));
    EXPECT_TRUE(t.markCleared(40, Comma));
    EXPECT_EQ(t.sumRow[2], QStringLiteral("0,00"));
    EXPECT_TRUE(summarizeTotals(t, 10).top.empty());
}

} // namespace
