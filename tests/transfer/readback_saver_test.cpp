// "Сохранить в БДТ" into a real product store: lookup by number, update or insert,
// the store rules, refused rows listed, a bad number stopping the save.
#include "ProductRows.h"

#include "products/EditHistory.h"
#include "shared/Messages.h"
#include "transfer/ReadbackRow.h"
#include "transfer/ReadbackSaver.h"

#include <QLocale>

using namespace ztk;
using namespace ztk::test;

namespace {

const QLocale russian(QLocale::Russian, QLocale::Russia);

QStringList row(int n, const QString &name, const QString &price = "1,50", const QString &type = "ВЕС")
{
    return {QString::number(n), "15.02.10 14:05:09", name + QString(28 - name.size(), ' '), "00042", type, price,
            "", "", "", "", "15.02.10", "21"};
}

class Saver : public ProductRowsFixture {
public:
    using ProductRowsFixture::ProductRowsFixture;
    // As the read window saves its grid: the cells converted, then stored.
    SaveResult save(const std::vector<QStringList> &rows, TypeRule rule = TypeRule::Keep)
    {
        const readback::GridRows grid = readback::fieldsOfRows(rows, clock.now().date(), russian);
        SaveResult r = ReadbackSaver(store, clock, prompter, rule, russian).save(grid.rows);
        if (r.error.isEmpty())
            r.error = grid.error;
        return r;
    }
    std::optional<Product> find(qint64 n) { return store.findByNumber(n); }
    int count() { return int(this->rows().size()); }
};

TEST(ReadbackSaver, InsertsNewAndUpdatesExistingWithTheStoreRules)
{
    Saver f;
    f.add(StoredRow{5, "Старое имя"});
    const qint64 rowid = f.find(5)->rowid;
    f.clock.set(QDateTime(QDate(2026, 12, 8), QTime(9, 30, 0)));

    const SaveResult r = f.save({row(5, "Новое имя", "0,29", "ШТУКА"), readback::cellsOf(6, ProductRecord(), russian),
                                 row(7, "Седьмой")});
    EXPECT_TRUE(r.error.isEmpty());
    EXPECT_TRUE(r.incorrect.isEmpty());
    EXPECT_EQ(r.stored, 2);
    EXPECT_EQ(f.count(), 2); // 5 updated, the empty slot 6 passed by, 7 new
    ProductStore before; // the copy taken first holds the table as it was
    ASSERT_TRUE(before.open(r.backupPath)) << r.backupPath.toStdString();
    EXPECT_EQ(before.findByNumber(5)->names[0], "Старое имя");

    const Product p5 = *f.find(5);
    EXPECT_EQ(p5.rowid, rowid);
    EXPECT_EQ(p5.names[0], "Новое имя");
    EXPECT_EQ(p5.price.value, Price::fromTenThousandths(2900));
    EXPECT_EQ(p5.type, "1");
    EXPECT_EQ(p5.barcode.value, 42);
    EXPECT_EQ(p5.bestBefore, "10.02.15");
    EXPECT_EQ(p5.prefix, "21");
    EXPECT_EQ(p5.correctionStamp, "2026-12-08 09:30:00"); // the moment of the store, not the scale's
    EXPECT_EQ(p5.date, "26.12.08");
    EXPECT_EQ(p5.time, "09:30:00");
    EXPECT_EQ(f.find(7)->names[0], "Седьмой");
    EXPECT_FALSE(f.find(6));
}

TEST(ReadbackSaver, UnconvertibleCellsLeaveTheirFields)
{
    Saver f;
    StoredRow old{9, "Девятый"};
    old.price = 3.75;
    old.sk5 = 777;
    old.bestBefore = "27.01.15";
    f.add(old);
    QStringList cells = row(9, "Девятый");
    cells[readback::ColPrice] = "дорого";
    cells[readback::ColSK5] = "x1";
    cells[readback::ColBestBefore] = "не дата";
    const SaveResult r = f.save({cells});
    EXPECT_EQ(r.stored, 1);
    const Product p = *f.find(9);
    EXPECT_EQ(p.price.value, Price::fromTenThousandths(37500));
    EXPECT_EQ(p.barcode.value, 777);
    EXPECT_EQ(p.bestBefore, "27.01.15");
}

TEST(ReadbackSaver, RefusedRowsAreListedAndTheOthersStored)
{
    Saver f;
    QSqlQuery q(f.store.database());
    ASSERT_TRUE(q.exec("CREATE TRIGGER refuse BEFORE INSERT ON lm_t1 WHEN NEW.N IN (12, 15) "
                       "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    std::vector<QStringList> rows;
    for (int n = 10; n <= 16; ++n)
        rows.push_back(row(n, QString("Товар %1").arg(n)));
    const SaveResult r = f.save(rows);
    EXPECT_EQ(r.incorrect, (QList<qint64>{12, 15}));
    EXPECT_EQ(r.stored, 5);
    EXPECT_EQ(f.count(), 5);
    EXPECT_EQ(incorrectRecordsText(r.incorrect), "Некорректные записи:12,15");
    EXPECT_TRUE(f.prompter.shown.isEmpty()); // collected, not shown one by one
}

TEST(ReadbackSaver, ANumberThatIsNoNumberStopsTheSave)
{
    Saver f;
    const SaveResult r = f.save({row(1, "Один"), row(2, "Два"), {"2a", "15.02.10 14:05:09"}, row(4, "Четыре")});
    EXPECT_EQ(r.error, msg::text(msg::NotAnInteger).arg("2a"));
    EXPECT_EQ(f.count(), 2);
    EXPECT_TRUE(f.find(2));
    EXPECT_FALSE(f.find(4));
}

TEST(ReadbackSaver, SelectionTypeAndNumberRulesApply)
{
    Saver f;
    EXPECT_EQ(f.save({row(3, "Штучный", "1,00", "ШТУКА")}, TypeRule::Weight).stored, 1);
    EXPECT_EQ(f.find(3)->type, "0");

    // Above 5000: the number message, and the store numbers it as one more than the
    // rows found by its lookup (none).
    const SaveResult r = f.save({row(6000, "Большой")});
    EXPECT_EQ(f.prompter.texts(), QStringList{msg::text(msg::NumberAbove5000)});
    EXPECT_EQ(r.stored, 1);
    EXPECT_EQ(f.find(1)->names[0], "Большой");
}

class ReadbackSaveUndo : public ::testing::TestWithParam<StoreKind> {};
INSTANTIATE_ON_BOTH_STORES(ReadbackSaveUndo);

// A save of the read grid is one step: undone, every row is as it was before it.
TEST_P(ReadbackSaveUndo, ASaveIsUndoneAndRedoneAsOneStep)
{
    if (GetParam() == StoreKind::Server)
        ZTK_NEEDS_POSTGRES_OR_SKIP();
    Saver f(GetParam());
    f.add(StoredRow{5, "Старое имя"});
    f.add(StoredRow{8, "Восьмой"});
    EditHistory history;
    f.store.setRecorder(&history);
    const std::vector<Product> before = f.rows();
    f.clock.set(QDateTime(QDate(2026, 12, 8), QTime(9, 30, 0)));
    ASSERT_EQ(f.save({row(5, "Новое имя"), row(7, "Седьмой"), row(8, "Восемь")}).stored, 3);
    const std::vector<Product> after = f.rows();
    EXPECT_EQ(history.undoCount(), 1);

    QString error;
    ASSERT_TRUE(history.undo(f.store, error)) << error.toStdString();
    EXPECT_EQ(f.rows(), before);
    ASSERT_TRUE(history.redo(f.store, error)) << error.toStdString();
    EXPECT_EQ(f.rows(), after);
    f.store.setRecorder(nullptr);
}

} // namespace
