#include "ProductFixture.h"
#include "products/DisplayFormat.h"

#include <gtest/gtest.h>

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
    };
    for (const Case &c : cases)
        EXPECT_EQ(display::price(c.value), QLatin1String(c.shown)) << c.shown;
}
