// The product list: ticks, the memo, forming the numbers and what a write keeps.
#include "transfer/ProductList.h"

#include "shared/Messages.h"

#include <gtest/gtest.h>

using namespace ztk;

namespace {

QStringList entries(int count)
{
    QStringList out;
    for (int i = 1; i <= count; ++i)
        out << QStringLiteral("%1 Товар номер %1").arg(i);
    return out;
}

TEST(ProductList, TicksFillTheMemoInTickOrderAndFormTheList)
{
    ProductList list;
    list.open(entries(50));
    list.activate();
    for (int position : {11, 4, 39}) // products 12, 5, 40
        EXPECT_TRUE(list.tick(position));
    EXPECT_EQ(list.memoLines(), (QStringList{"12", "5", "40"}));
    EXPECT_EQ(list.tickedCount(), 3);
    EXPECT_EQ(list.leave(), msg::text(msg::ListNotFormed));

    const auto formed = list.form();
    EXPECT_TRUE(formed.ok);
    EXPECT_EQ(formed.message, msg::text(msg::ListFormed));
    EXPECT_TRUE(list.formed());
    EXPECT_EQ(list.leave(), QString());
    EXPECT_EQ(list.formedNumbers(), (QList<int>{12, 5, 40}));
    EXPECT_EQ(list.filter(), (QSet<int>{5, 12, 40}));

    list.activate();
    EXPECT_FALSE(list.formed());
}

TEST(ProductList, UntickingRemovesTheSameMemoLine)
{
    ProductList list;
    list.open(entries(50));
    for (int position : {11, 4, 39})
        list.tick(position);
    list.untick(4);
    EXPECT_EQ(list.memoLines(), (QStringList{"12", "40"}));
    EXPECT_EQ(list.tickedEntries(), (QList<int>{11, 39}));
    EXPECT_EQ(list.tickedCount(), 2);
    list.untick(7); // never ticked
    EXPECT_EQ(list.tickedCount(), 2);

    // The operator deleted memo lines: the untick still counts, nothing breaks.
    list.setMemoLines({});
    list.untick(39);
    EXPECT_EQ(list.tickedCount(), 1);
    EXPECT_TRUE(list.memoLines().isEmpty());
}

TEST(ProductList, AtMost280Ticks)
{
    ProductList list;
    list.open(entries(300));
    for (int i = 0; i < 280; ++i)
        ASSERT_TRUE(list.tick(i)) << i;
    EXPECT_FALSE(list.tick(280));
    EXPECT_EQ(list.tickedCount(), 280);
    EXPECT_EQ(list.memoLines().size(), 280);
    EXPECT_EQ(list.memoLines().last(), QStringLiteral("280"));
    list.untick(0);
    EXPECT_TRUE(list.tick(280));
    EXPECT_EQ(list.memoLines().last(), QStringLiteral("281"));
}

TEST(ProductList, FormingRefusals)
{
    ProductList list;
    list.open(entries(10));
    auto r = list.form();
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, msg::text(msg::ListNotFormed));

    list.tick(1);
    list.tick(2);
    ASSERT_TRUE(list.form().ok);
    ASSERT_EQ(list.formedNumbers(), (QList<int>{2, 3}));

    // The operator typed into the memo: a bad line stops with the conversion error and
    // the numbers and the flag stay as they were.
    struct Bad { QStringList memo; QString text; } bad[] = {
        {{"2", "x3"}, "'x3' is not a valid integer value"},
        {{"2", "3.5"}, "'3.5' is not a valid integer value"},
        {{"2"}, "'' is not a valid integer value"}, // a missing line reads as empty
    };
    for (const Bad &b : bad) {
        list.setMemoLines(b.memo);
        list.activate();
        const auto res = list.form();
        EXPECT_FALSE(res.ok);
        EXPECT_EQ(res.message, b.text);
        EXPECT_FALSE(list.formed());
        EXPECT_EQ(list.formedNumbers(), (QList<int>{2, 3}));
    }

    // Typed numbers are taken as typed, surrounding spaces allowed; lines past the count are ignored.
    list.setMemoLines({" 7", "4000 ", "junk"});
    ASSERT_TRUE(list.form().ok);
    EXPECT_EQ(list.formedNumbers(), (QList<int>{7, 4000}));
}

TEST(ProductList, WhatAWriteKeeps)
{
    ProductList list;
    EXPECT_FALSE(list.filter().has_value()); // no ticks: no list

    list.open(entries(10));
    list.tick(2);
    EXPECT_EQ(list.filter(), QSet<int>{}); // ticked, never formed: nothing qualifies
    list.tick(6);
    list.form();
    EXPECT_EQ(list.filter(), (QSet<int>{3, 7}));

    // Ticks after "Выполнить": the formed numbers, as many as there are ticks.
    list.tick(8);
    EXPECT_EQ(list.filter(), (QSet<int>{3, 7}));
    list.untick(2);
    list.untick(8);
    EXPECT_EQ(list.filter(), QSet<int>{3});

    // A new opening empties the ticks (so no list) but keeps the formed numbers.
    list.open(entries(10));
    EXPECT_FALSE(list.filter().has_value());
    EXPECT_EQ(list.formedNumbers(), (QList<int>{3, 7}));
    list.tick(0);
    EXPECT_EQ(list.filter(), QSet<int>{3});
}

} // namespace
