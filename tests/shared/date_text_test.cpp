// BCD bytes and the date text forms.
#include "shared/Bcd.h"
#include "shared/DateText.h"

#include <gtest/gtest.h>

using namespace ztk;

namespace {

const QDate Today2026(2026, 12, 8);

TEST(Bcd, EncodeAndDecode)
{
    struct Row { int value; std::uint8_t byte; } rows[] = {
        {0, 0x00}, {9, 0x09}, {10, 0x10}, {23, 0x23}, {59, 0x59}, {99, 0x99}, {2010, 0x10}, {100, 0x00}, {-1, 0x99},
    };
    for (const Row &r : rows)
        EXPECT_EQ(bcd::encode(r.value), r.byte) << r.value;
    for (int v = 0; v < 100; ++v)
        EXPECT_EQ(bcd::decode(bcd::encode(v)), v);
    for (std::uint8_t bad : {0x0A, 0xA0, 0x1F, 0xFF, 0x9A})
        EXPECT_FALSE(bcd::decode(bad).has_value()) << int(bad);
}

TEST(DateText, TwoDigitYearsFallInTheHundredYearsStartingFiftyYearsBack)
{
    struct Row { int yy; QDate today; int year; } rows[] = {
        {76, Today2026, 1976}, {99, Today2026, 1999}, {0, Today2026, 2000}, {75, Today2026, 2075},
        {10, Today2026, 2010}, {50, QDate(2000, 1, 1), 1950}, {49, QDate(2000, 1, 1), 2049},
        {99, QDate(2049, 6, 1), 1999}, {98, QDate(2049, 6, 1), 2098}, {99, QDate(2050, 1, 1), 2099},
    };
    for (const Row &r : rows)
        EXPECT_EQ(datetext::fullYear(r.yy, r.today), r.year) << r.yy << " in " << r.today.year();
}

TEST(DateText, Formats)
{
    const QDateTime moment(QDate(2010, 5, 17), QTime(14, 5, 33));
    EXPECT_EQ(datetext::yearFirst(moment.date()), QStringLiteral("10.05.17"));
    EXPECT_EQ(datetext::dayFirst(moment.date()), QStringLiteral("17.05.10"));
    EXPECT_EQ(datetext::longTime(moment.time()), QStringLiteral("14:05:33"));
    EXPECT_EQ(datetext::storeStamp(moment), QStringLiteral("2010-05-17 14:05:33"));
    EXPECT_EQ(datetext::dayFirstWithTime(moment), QStringLiteral("17.05.10 14:05:33"));
    EXPECT_EQ(datetext::dayFirstWithTime(QDateTime(QDate(2010, 5, 17), QTime(0, 0))), QStringLiteral("17.05.10"));
    EXPECT_EQ(datetext::dayFirstWithTime(QDateTime(QDate(2010, 5, 17), QTime(0, 0, 1))), QStringLiteral("17.05.10 00:00:01"));
    EXPECT_EQ(datetext::yearFirst(QDate(2000, 1, 2)), QStringLiteral("00.01.02"));
}

TEST(DateText, Parsing)
{
    using P = std::optional<QDateTime> (*)(const QString &, const QDate &);
    struct Row { P parse; const char *text; QDateTime expected; } rows[] = {
        {datetext::parseYearFirst, "10.02.15", QDateTime(QDate(2010, 2, 15), QTime(0, 0))},
        {datetext::parseYearFirst, "99.12.31", QDateTime(QDate(1999, 12, 31), QTime(0, 0))},
        {datetext::parseYearFirst, "75.01.01 08:30", QDateTime(QDate(2075, 1, 1), QTime(8, 30))},
        {datetext::parseYearFirst, "10.02.15 14:05:09", QDateTime(QDate(2010, 2, 15), QTime(14, 5, 9))},
        {datetext::parseYearFirst, " 10.02.15 ", QDateTime(QDate(2010, 2, 15), QTime(0, 0))},
        {datetext::parseYearFirst, "00.02.29", QDateTime(QDate(2000, 2, 29), QTime(0, 0))},
        {datetext::parseDayFirst, "15.02.10", QDateTime(QDate(2010, 2, 15), QTime(0, 0))},
        {datetext::parseDayFirst, "17.05.10 14:05:33", QDateTime(QDate(2010, 5, 17), QTime(14, 5, 33))},
        {datetext::parseStoreStamp, "2010-02-15 14:05:09", QDateTime(QDate(2010, 2, 15), QTime(14, 5, 9))},
        {datetext::parseStoreStamp, "2010-02-15T14:05:09", QDateTime(QDate(2010, 2, 15), QTime(14, 5, 9))},
        {datetext::parseStoreStamp, "1999-12-31", QDateTime(QDate(1999, 12, 31), QTime(0, 0))},
        {datetext::parseStoreStamp, "10.02.15 14:05:09", QDateTime(QDate(2010, 2, 15), QTime(14, 5, 9))},
    };
    for (const Row &r : rows) {
        const auto got = r.parse(QString::fromUtf8(r.text), Today2026);
        ASSERT_TRUE(got.has_value()) << r.text;
        EXPECT_EQ(*got, r.expected) << r.text;
    }
}

TEST(DateText, RejectsAnythingButStrictFields)
{
    const char *yearFirstBad[] = {
        "", "1.02.15", "10.2.15", "10.02.5", "10/02/15", "10.13.01", "10.02.30", "01.02.29", "10.02.15x",
        "10.02.15 25:00", "10.02.15 14:5", "10.02.15 14:05:60", "10.02.15  14:05", "1a.02.15", "10.02.15 14:05:09:00",
        "١٠.02.15",
    };
    for (const char *t : yearFirstBad)
        EXPECT_FALSE(datetext::parseYearFirst(QString::fromUtf8(t), Today2026).has_value()) << t;
    const char *stampBad[] = {"2010-2-15", "2010-02-15 14", "2010-02-15X14:05:09", "2010-13-01 00:00:00", "20a0-01-01"};
    for (const char *t : stampBad)
        EXPECT_FALSE(datetext::parseStoreStamp(QString::fromUtf8(t), Today2026).has_value()) << t;

    // Every truncated prefix of a good text fails cleanly, except where the prefix is a whole
    // date (a trailing space is trimmed) or date and HH:mm.
    const QString full = QStringLiteral("10.02.15 14:05:09");
    for (int n = 0; n < full.size(); ++n) {
        const auto got = datetext::parseYearFirst(full.left(n), Today2026);
        EXPECT_EQ(got.has_value(), n == 8 || n == 9 || n == 14) << n;
    }
    const QString stamp = QStringLiteral("2010-02-15 14:05:09");
    for (int n = 0; n < stamp.size(); ++n)
        EXPECT_EQ(datetext::parseStoreStamp(stamp.left(n), Today2026).has_value(), n == 10 || n == 11 || n == 16) << n;
}

TEST(DateText, YearFirstRoundTrip)
{
    for (QDate d(1976, 1, 1); d <= QDate(2075, 12, 31); d = d.addDays(37)) {
        const auto back = datetext::parseYearFirst(datetext::yearFirst(d), Today2026);
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(back->date(), d);
    }
}

} // namespace
