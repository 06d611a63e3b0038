#include "ProductFixture.h"
#include "products/DisplayFormat.h"

#include <gtest/gtest.h>

#include <limits>

using namespace ztk;

TEST(DisplayFormat, NumbersKeepTheirLeadingZeros)
{
    struct Case {
        QVariant value;
        int digits;
        const char *shown;
    };
    const Case cases[] = {
        {qlonglong(7), 4, "0007"},
        {qlonglong(0), 4, "0000"},
        {qlonglong(5000), 4, "5000"},
        {qlonglong(12345), 4, "12345"},
        {qlonglong(-7), 4, "-0007"},
        {qlonglong(123), 5, "00123"},
        {QVariant(), 4, ""},
        // Beyond 64 bits nothing wraps: the extreme whole number in full, a REAL as stored.
        {qlonglong(std::numeric_limits<qint64>::min()), 4, "-9223372036854775808"},
        {qlonglong(std::numeric_limits<qint64>::max()), 5, "9223372036854775807"},
        {1.23e19, 5, "1.23e+19"},
        {-1e300, 4, "-1e+300"},
        {7.6, 4, "0008"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(display::zeroPadded(c.value, c.digits), QLatin1String(c.shown)) << c.shown;
    EXPECT_EQ(display::productNumber(qlonglong(13)), QLatin1String("0013"));
    EXPECT_EQ(display::sk5(qlonglong(42)), QLatin1String("00042"));
}

TEST(DisplayFormat, PriceHasTwoDecimalsAndNoZeroBeforeThePoint)
{
    struct Case {
        QVariant value;
        const char *shown;
    };
    const Case cases[] = {
        {0.5, ".50"},
        {qlonglong(12), "12.00"},
        {0.0, ".00"},
        {12.34, "12.34"},
        {0.29, ".29"},
        {12.345, "12.35"},
        {1234.5678, "1234.57"},
        {-0.5, "-.50"},
        {-0.001, ".00"},
        {QVariant(), ""},
        {1e308, "1e+308"},
        {9e18, "9e+18"},
        {-9e18, "-9e+18"},
        {123456789012.5, "123456789012.50"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(display::price(c.value), QLatin1String(c.shown)) << c.shown;
}
