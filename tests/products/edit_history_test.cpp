#include "ProductFixture.h"

#include "products/EditHistory.h"
#include "products/ProductImport.h"
#include "products/RecordEditing.h"
#include "products/Selection.h"

#include <QBuffer>

#include <functional>

using namespace ztk;
using namespace ztk::test;

namespace {

QString u(const char *utf8) { return QString::fromUtf8(utf8); }

class HistoryFixture : public ProductTest {
protected:
    void SetUp() override
    {
        ProductTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        for (qint64 n = 1; n <= 4; ++n) {
            ProductSeed p{n, QStringLiteral("P%1").arg(n), n % 2 ? QStringLiteral("0") : QStringLiteral("1"),
                          QStringLiteral("26.12.3%1").arg(n), QStringLiteral("26.11.0%1").arg(n), 10.25 * double(n),
                          QStringLiteral("2%1").arg(n)};
            p.sk5 = 4600000000000 + n;
            p.stamp = QStringLiteral("2026-11-0%1 09:00:0%1").arg(n);
            add(p);
        }
        store.setRecorder(&history);
        ASSERT_TRUE(ds.open(selection));
    }
    void TearDown() override { store.setRecorder(nullptr); }
    // Every row with its rowid, in rowid order.
    std::vector<Product> table()
    {
        std::vector<Product> rows;
        EXPECT_TRUE(store.select(QStringLiteral("select * from lm_t1 order by N"), rows)) << store.errorText().toStdString();
        return rows;
    }
    void goTo(qint64 n)
    {
        ds.first();
        while (ds.integer(fld::N) != n && ds.next()) {
        }
        ASSERT_EQ(ds.integer(fld::N), n);
    }
    bool undo()
    {
        QString error;
        const bool ok = history.undo(store, error);
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        return ok;
    }
    bool redo()
    {
        QString error;
        const bool ok = history.redo(store, error);
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        return ok;
    }

    EditHistory history;
    QString selection = wholeBaseSql();
    RecordEditing editing{ds, prompter, selection};
};

using HistoryTest = OnBothStores<HistoryFixture>;
INSTANTIATE_ON_BOTH_STORES(HistoryTest);

// Each change kind is one step: undone, the rows are as they were to the last field,
// stamp and rowid; redone, as the change left them.
TEST_P(HistoryTest, EveryChangeIsUndoneAndRedoneExactly)
{
    struct Case {
        const char *what;
        std::function<void()> change;
    };
    const Case cases[] = {
        {"store a record",
         [&] {
             goTo(2);
             ds.setValue(fld::Name, u("Сыр"));
             ASSERT_TRUE(ds.post());
         }},
        {"insert after the current one",
         [&] {
             goTo(4);
             ASSERT_TRUE(editing.insertAfterCurrent());
         }},
        {"insert over a number taken",
         [&] {
             goTo(1);
             prompter.answer(Answer::Ok);
             ASSERT_TRUE(editing.insertAfterCurrent());
         }},
        {"delete one",
         [&] {
             goTo(3);
             prompter.answer(Answer::Yes);
             ASSERT_TRUE(editing.deleteCurrent());
         }},
        {"delete the selection",
         [&] {
             prompter.answer(Answer::Yes);
             ASSERT_TRUE(editing.deleteSelection());
         }},
        {"clear a record",
         [&] {
             goTo(2);
             prompter.answer(Answer::Yes);
             ASSERT_TRUE(editing.clearCurrent());
         }},
        {"replace from a copy",
         [&] {
             goTo(1);
             CopyBuffer copy;
             ASSERT_TRUE(editing.copyCurrent(copy));
             goTo(4);
             ASSERT_TRUE(editing.replaceCurrent(copy));
         }},
        {"import",
         [&] {
             QBuffer file;
             file.setData(u("N;Name;Цена;\r\n2;Кефир;52,25;\r\n7;Творог;99;\r\n").toUtf8());
             ASSERT_TRUE(file.open(QIODevice::ReadOnly));
             ImportSettings s;
             s.clock = &clock;
             s.prompter = &prompter;
             const ImportResult r = importProductText(store, file, s);
             ASSERT_EQ(r.storedLines, 2) << r.storeError.toStdString();
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(ds.open(selection));
        const std::vector<Product> before = table();
        const int steps = history.undoCount();
        clock.advance(61000); // stamps that differ from the seeded ones
        c.change();
        if (HasFatalFailure())
            return;
        ds.close();
        const std::vector<Product> after = table();
        ASSERT_NE(after, before);
        EXPECT_EQ(history.undoCount(), steps + 1) << "one step";

        ASSERT_TRUE(undo());
        EXPECT_EQ(table(), before);
        EXPECT_TRUE(history.canRedo());
        ASSERT_TRUE(redo());
        EXPECT_EQ(table(), after);
        ASSERT_TRUE(undo());
        EXPECT_EQ(table(), before);
        EXPECT_EQ(history.undoCount(), steps);
    }
}

TEST_P(HistoryTest, FiftyStepsGoBackInOrderAndANewChangeEndsTheRedo)
{
    std::vector<std::vector<Product>> states{table()};
    for (int i = 1; i <= 60; ++i) {
        goTo(1 + i % 4);
        ds.setValue(fld::Price, 1.5 * i);
        ASSERT_TRUE(ds.post());
        states.push_back(table());
    }
    for (int i = 59; i >= 10; --i) {
        ASSERT_TRUE(undo());
        ASSERT_EQ(table(), states[std::size_t(i)]) << "after undoing step " << i + 1;
    }
    ASSERT_TRUE(redo());
    EXPECT_EQ(table(), states[11]);
    ASSERT_TRUE(ds.open(selection)); // the rows as the undo left them, as the window shows them
    goTo(3);
    ds.setValue(fld::Name, u("Новое"));
    ASSERT_TRUE(ds.post());
    EXPECT_FALSE(history.canRedo());
}

// The oldest steps go when the rows kept would pass the limit; the newest stays whole.
TEST_P(HistoryTest, TheOldestStepsGoWhenTooManyRowsAreKept)
{
    EditHistory small(100, 5);
    store.setRecorder(&small);
    for (qint64 n = 1; n <= 4; ++n) {
        goTo(n);
        ds.setValue(fld::Name, u("Имя %1").arg(n));
        ASSERT_TRUE(ds.post());
    }
    EXPECT_EQ(small.undoCount(), 4);
    prompter.answer(Answer::Yes);
    ASSERT_TRUE(editing.deleteSelection()); // four rows in one step
    EXPECT_EQ(small.undoCount(), 2) << "the last store and the deletion: five rows";
    QString error;
    ASSERT_TRUE(small.undo(store, error));
    ASSERT_TRUE(small.undo(store, error));
    EXPECT_FALSE(small.canUndo());
    const std::vector<Product> rows = table();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[2].names[0], u("Имя 3")) << "the stores before the last were let go";
    EXPECT_EQ(rows[3].names[0], QStringLiteral("P4"));
    store.setRecorder(&history);
}

// A change that did not reach the store (refused) is no step to undo; undo goes on to
// the one before it, and a row changed since by someone else is put back all the same.
TEST_P(HistoryTest, RefusedChangesArePassedOverAndOthersChangesAreUndoneToo)
{
    goTo(2);
    ds.setValue(fld::Name, u("Молоко"));
    ASSERT_TRUE(ds.post());
    const std::vector<Product> stored = table();
    goTo(3);
    ds.setValue(fld::N, 2); // taken: refused
    EXPECT_FALSE(ds.post());
    ds.cancel();
    ds.close();
    EXPECT_EQ(table(), stored);

    QSqlQuery q(store.database());
    ASSERT_TRUE(q.exec(QStringLiteral("update lm_t1 set Name2='чужое' where N=2"))) << q.lastError().text().toStdString();
    ASSERT_TRUE(undo());
    const std::vector<Product> rows = table();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[1].names[0], QStringLiteral("P2"));
    EXPECT_EQ(rows[1].names[1], QString()) << "the row as it was before the undone step";
}

} // namespace
