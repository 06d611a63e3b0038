// The index window's picking: ticking order, the memo, the 28-tick limit and
// "Выполнить".

#include "common/KeyLayout.h"

#include <gtest/gtest.h>

using ztk::common::KeyLayout;

namespace {

QStringList entries(int count)
{
    QStringList out;
    for (int i = 1; i <= count; ++i)
        out << QStringLiteral("%1 Товар %1").arg(i * 10);
    return out;
}

QStringList repeated(const QStringList &head, const QString &fill)
{
    QStringList out = head;
    while (out.size() < KeyLayout::MaxTicked)
        out << fill;
    return out;
}

} // namespace

TEST(KeyLayout, TickedInOrderThenExecuted)
{
    KeyLayout l;
    l.open(entries(5));
    EXPECT_EQ(l.cells(), std::nullopt); // nothing ticked: nothing happens
    ASSERT_TRUE(l.tick(0));
    ASSERT_TRUE(l.tick(1));
    ASSERT_TRUE(l.tick(2));
    EXPECT_EQ(l.memoLines(), (QStringList{QStringLiteral("10"), QStringLiteral("20"), QStringLiteral("30")}));
    EXPECT_EQ(l.cells(), repeated({QStringLiteral("10"), QStringLiteral("20"), QStringLiteral("30")}, QStringLiteral("10")));

    l.untick(1);
    EXPECT_EQ(l.memoLines(), (QStringList{QStringLiteral("10"), QStringLiteral("30")}));
    EXPECT_EQ(l.tickedCount(), 2);
    EXPECT_EQ(l.cells(), repeated({QStringLiteral("10"), QStringLiteral("30")}, QStringLiteral("10")));
}

// An item that is not in the ticking order removes nothing (not the first product).
TEST(KeyLayout, UntickingAnItemNotTickedRemovesNothing)
{
    KeyLayout l;
    l.open(entries(5));
    l.tick(0);
    l.tick(2);
    l.untick(4);
    EXPECT_EQ(l.tickedEntries(), (QList<int>{0, 2}));
    EXPECT_EQ(l.memoLines(), (QStringList{QStringLiteral("10"), QStringLiteral("30")}));
}

TEST(KeyLayout, TheTwentyNinthTickIsRefused)
{
    KeyLayout l;
    l.open(entries(30));
    for (int i = 0; i < 28; ++i)
        ASSERT_TRUE(l.tick(i));
    EXPECT_FALSE(l.tick(28));
    EXPECT_EQ(l.tickedCount(), 28);
    EXPECT_EQ(l.memoLines().size(), 28);
}

// Lines typed by hand are copied as they are; a missing one gives an empty cell.
TEST(KeyLayout, MemoEditedByHand)
{
    KeyLayout l;
    l.open(entries(3));
    l.tick(0);
    l.tick(1);
    l.tick(2);
    l.setMemoLines({QStringLiteral("7x"), QStringLiteral("8")});
    EXPECT_EQ(l.cells(), repeated({QStringLiteral("7x"), QStringLiteral("8"), QString()}, QStringLiteral("7x")));
}

TEST(KeyLayout, NoPieceProductsGiveProduct5000)
{
    EXPECT_EQ(KeyLayout::noPieceProducts(), repeated({}, QStringLiteral("5000")));
}
