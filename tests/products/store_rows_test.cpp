// Row I/O of the store: what goes in comes back, the unique product number holds,
// and a transaction keeps the rows that stored when one row in the middle fails.

#include "ProductFixture.h"
#include "shared/Messages.h"

using namespace ztk;
using namespace ztk::test;

namespace {

Product sample(qint64 n)
{
    Product p;
    p.number.value = n;
    p.names = {QStringLiteral("Молоко %1").arg(n), QStringLiteral("2,5%"), QString(), QStringLiteral("Д'Арк"),
               QStringLiteral("5")};
    p.barcode.value = 20000 + n;
    p.prefix = QStringLiteral("21");
    p.price.value = Price::fromDouble(0.29); // a price a double alone would store as 0.28999...
    p.bestBefore = QStringLiteral("27.01.15");
    p.type = QStringLiteral("1");
    p.correctionStamp = QStringLiteral("2026-12-08 14:05:33");
    p.date = QStringLiteral("26.12.08");
    p.time = QStringLiteral("14:05:33");
    return p;
}

std::vector<Product> all(ProductStore &store)
{
    std::vector<Product> rows;
    EXPECT_TRUE(store.select(QStringLiteral("select * from lm_t1 order by N"), rows)) << store.errorText().toStdString();
    return rows;
}

} // namespace

using StoreRowsTest = OnBothStores<ProductTest>;
using StoreRowsFileTest = ProductTest; // SQLite keeps any value in any column; a server does not

TEST_P(StoreRowsTest, InsertSelectUpdateRemoveRoundTrip)
{
    Product p = sample(7);
    ASSERT_TRUE(store.insert(p)) << store.errorText().toStdString();
    EXPECT_GT(p.rowid, 0);

    std::vector<Product> rows = all(store);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], p); // every field, the rowid and the exact price included
    EXPECT_EQ(rows[0].price.value->hundredthsTowardZero(), 29);

    p.names[0] = QStringLiteral("Кефир");
    p.price.value = Price::fromTenThousandths(123450);
    p.barcode = WholeField{};
    ASSERT_TRUE(store.update(p)) << store.errorText().toStdString();
    const std::optional<Product> found = store.findByNumber(7);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(*found, p);
    EXPECT_TRUE(found->barcode.isNull());
    EXPECT_FALSE(store.findByNumber(8).has_value());
    EXPECT_TRUE(store.errorText().isEmpty()); // none, not an error

    ASSERT_TRUE(store.remove(p.rowid));
    EXPECT_TRUE(all(store).empty());
    // A row that is gone is an error, not a silent success.
    EXPECT_FALSE(store.update(p));
    EXPECT_EQ(store.errorText(), msg::text(msg::RowNotFound));
}

TEST_P(StoreRowsTest, OnlyTheGivenColumnsAreStored)
{
    Product p = sample(3);
    ASSERT_TRUE(store.insert(p));
    Product changed = p;
    changed.names[0] = QStringLiteral("новое");
    changed.prefix = QStringLiteral("99");
    ColumnSet onlyName;
    onlyName.set(std::size_t(ProductColumn::Name));
    ASSERT_TRUE(store.update(changed, onlyName));
    const std::optional<Product> back = store.findByNumber(3);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->names[0], QStringLiteral("новое"));
    EXPECT_EQ(back->prefix, QStringLiteral("21"));
}

TEST_P(StoreRowsTest, UniqueNumberClashGivesTheStoresError)
{
    Product first = sample(5);
    ASSERT_TRUE(store.insert(first));
    Product second = sample(5);
    EXPECT_FALSE(store.insert(second));
    EXPECT_TRUE(store.errorText().contains(duplicateNumberText())) << store.errorText().toStdString();
    EXPECT_EQ(second.rowid, -1);
    EXPECT_EQ(all(store).size(), 1u);
}

TEST_P(StoreRowsTest, FailingRowInATransactionIsRolledBackAlone)
{
    Product existing = sample(2);
    ASSERT_TRUE(store.insert(existing));
    {
        StoreTransaction transaction(store);
        ASSERT_TRUE(transaction.active());
        QList<qint64> refused;
        for (qint64 n : {1, 2, 3}) {
            StoreSavepoint row(store);
            Product p = sample(n);
            p.names[0] = QStringLiteral("из файла %1").arg(n);
            // Two statements per row, so that a half-stored row would show.
            if (store.insert(p) && store.update(p))
                row.release();
            else
                refused << n;
        }
        EXPECT_EQ(refused, QList<qint64>{2});
        ASSERT_TRUE(transaction.commit());
    }
    const std::vector<Product> rows = all(store);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].names[0], QStringLiteral("из файла 1"));
    EXPECT_EQ(rows[1], existing);
    EXPECT_EQ(rows[2].names[0], QStringLiteral("из файла 3"));
}

TEST_P(StoreRowsTest, TransactionWithoutCommitLeavesTheTableAsItWas)
{
    Product kept = sample(1);
    ASSERT_TRUE(store.insert(kept));
    {
        StoreTransaction transaction(store);
        Product p = sample(9);
        ASSERT_TRUE(store.insert(p));
        ASSERT_TRUE(store.remove(kept.rowid));
    } // destroyed: rolled back
    const std::vector<Product> rows = all(store);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], kept);
}

TEST_F(StoreRowsFileTest, OddStoredValuesComeBackAsTheyAre)
{
    SeedRow odd;
    odd.set(ProductColumn::N, QStringLiteral("x9"))
        .set(ProductColumn::SK5, 1.23e19)
        .set(ProductColumn::Price, 1e308)
        .set(ProductColumn::Name, QStringLiteral("странный"));
    QString error;
    ASSERT_TRUE(seedRows(store, {odd}, &error)) << error.toStdString();
    const std::vector<Product> rows = all(store);
    ASSERT_EQ(rows.size(), 1u);
    const Product &p = rows[0];
    EXPECT_FALSE(p.number.value.has_value());
    EXPECT_EQ(p.number.other, QVariant(QStringLiteral("x9")));
    EXPECT_FALSE(p.barcode.value.has_value()); // beyond 64 bits: no number, never wrapped
    EXPECT_EQ(p.barcode.other.toDouble(), 1.23e19);
    EXPECT_FALSE(p.price.value.has_value());
    EXPECT_EQ(p.price.other.toDouble(), 1e308);
    // Stored back unchanged.
    ASSERT_TRUE(store.update(p));
    EXPECT_EQ(all(store)[0], p);
}

INSTANTIATE_ON_BOTH_STORES(StoreRowsTest);
