#include "ProductFixture.h"

#include "products/RecordEditing.h"
#include "products/Selection.h"
#include "shared/Messages.h"

#include <QSqlDriver>
#include <sqlite3.h>

using namespace ztk;
using namespace ztk::test;

namespace {

QString u(const char *utf8) { return QString::fromUtf8(utf8); }

class EditingFixture : public ProductTest {
protected:
    void select(const QString &sql)
    {
        selection = sql;
        ASSERT_TRUE(ds.open(selection)) << ds.errorText().toStdString();
    }
    void goTo(qint64 n)
    {
        ds.first();
        while (ds.integer(fld::N) != n && ds.next()) {
        }
        ASSERT_EQ(ds.integer(fld::N), n);
    }

    QString selection = wholeBaseSql();
    RecordEditing editing{ds, prompter, selection};
};

using EditingTest = OnBothStores<EditingFixture>;
using EditingFileTest = EditingFixture; // cases that reach into SQLite itself

} // namespace

TEST_P(EditingTest, StoreAndAdvance)
{
    addNumbers(1, 10);
    select(wholeBaseSql());
    goTo(3);
    ds.setValue(fld::Name, u("Молоко"));
    EXPECT_TRUE(editing.storeAndAdvance());
    EXPECT_EQ(stored(3, fld::Name).toString(), u("Молоко"));
    EXPECT_EQ(ds.position(), 4);
    EXPECT_EQ(ds.integer(fld::N), 4);

    // On the last record it stores and the last stays current.
    ds.last();
    ds.setValue(fld::Name, u("Последний"));
    EXPECT_TRUE(editing.storeAndAdvance());
    EXPECT_EQ(stored(10, fld::Name).toString(), u("Последний"));
    EXPECT_EQ(ds.position(), 10);
}

TEST_P(EditingTest, InsertTakesTheFreeNumberAfterTheCurrentOne)
{
    const struct {
        TypeRule rule;
        const char *type;
    } cases[] = {{TypeRule::Keep, "0"}, {TypeRule::Piece, "1"}};
    for (const auto &c : cases) {
        QSqlQuery(store.database()).exec(QStringLiteral("delete from lm_t1"));
        addNumbers(10, 12, QStringLiteral("1"));
        addNumbers(14, 15, QStringLiteral("1"));
        ds.setTypeRule(c.rule);
        select(wholeBaseSql());
        goTo(12);
        EXPECT_TRUE(editing.insertAfterCurrent());
        EXPECT_EQ(ds.integer(fld::N), 13);
        EXPECT_EQ(ds.position(), 4);
        EXPECT_EQ(stored(13, fld::Type).toString(), QLatin1String(c.type));
        EXPECT_EQ(stored(13, fld::Date).toString(), QLatin1String("26.12.08"));
        EXPECT_TRUE(prompter.shown.isEmpty());
    }
}

TEST_P(EditingTest, InsertOnATakenNumberAsks)
{
    addNumbers(10, 15);
    add({20, QStringLiteral("piece"), QStringLiteral("1")});
    const QString weights = selectionSql(SelectionQuery::Weight);

    // Cancel: the whole table from its first record; SelectionSql stays.
    select(weights);
    goTo(12);
    prompter.answer(Answer::Cancel);
    EXPECT_FALSE(editing.insertAfterCurrent());
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_EQ(prompter.shown[0].text, u("Запись с номером 13 уже существует\nЗаменить запись?"));
    EXPECT_EQ(prompter.shown[0].caption, u("Вставка записи"));
    EXPECT_EQ(selection, weights);
    EXPECT_EQ(ds.recordCount(), 7);
    EXPECT_EQ(ds.position(), 1);
    EXPECT_TRUE(stored(13, fld::Date).isNull());

    // OK: the record after 12 is stored unchanged but for its stamps, and is current.
    select(weights);
    goTo(12);
    prompter.clear();
    prompter.answer(Answer::Ok);
    EXPECT_TRUE(editing.insertAfterCurrent());
    EXPECT_EQ(prompter.shown.size(), 1);
    EXPECT_EQ(stored(13, fld::Date).toString(), QLatin1String("26.12.08"));
    EXPECT_EQ(stored(13, fld::Name).toString(), QLatin1String("P13"));
    EXPECT_EQ(storedCount(), 7);
    EXPECT_EQ(ds.integer(fld::N), 13);
}

TEST_P(EditingTest, InsertAfterTheLastNumberRenumbers)
{
    add({4999, QStringLiteral("a")});
    add({5000, QStringLiteral("b")});
    select(wholeBaseSql());
    goTo(5000);
    EXPECT_TRUE(editing.insertAfterCurrent());
    EXPECT_EQ(prompter.texts(), QStringList{msg::text(msg::NumberAbove5000)});
    // numbered by the store rule: the records already there + 1
    EXPECT_EQ(stored(3, fld::Type).toString(), QLatin1String("0"));
    EXPECT_EQ(storedCount(), 3);
}

TEST_P(EditingTest, InsertIntoAnEmptyTableCreatesRecordOne)
{
    select(wholeBaseSql());
    EXPECT_TRUE(editing.insertAfterCurrent());
    EXPECT_EQ(storedCount(), 1);
    EXPECT_EQ(stored(1, fld::Type).toString(), QLatin1String("0"));
    EXPECT_EQ(ds.integer(fld::N), 1);
    EXPECT_EQ(ds.state(), DatasetState::Browse);
}

TEST_F(EditingFileTest, InsertStopsWhenTheNumberLookupIsRefused)
{
    addNumbers(10, 15);
    select(wholeBaseSql());
    goTo(12);
    // The store refuses the next statement it prepares, which is the lookup.
    QSqlDatabase db = store.database();
    sqlite3 *h = *static_cast<sqlite3 *const *>(db.driver()->handle().constData());
    static int armed;
    armed = 1;
    sqlite3_set_authorizer(
        h,
        [](void *, int action, const char *, const char *, const char *, const char *) {
            if (armed && action == SQLITE_SELECT) {
                armed = 0;
                return SQLITE_DENY;
            }
            return SQLITE_OK;
        },
        nullptr);
    QSqlQuery(db).exec(QStringLiteral("delete from lm_t1 where N=13")); // 13 is free, as far as anyone knows
    EXPECT_FALSE(editing.insertAfterCurrent());
    sqlite3_set_authorizer(h, nullptr, nullptr);
    EXPECT_EQ(armed, 0);
    EXPECT_EQ(storedCount(), 5);
    EXPECT_EQ(ds.integer(fld::N), 12); // back on the selection where it started
    EXPECT_TRUE(prompter.shown.isEmpty());
}

TEST_P(EditingTest, RefusedStoreKeepsTheRecordAndItsTypedValues)
{
    addNumbers(1, 2);
    add({10, QStringLiteral("piece"), QStringLiteral("1")});
    select(selectionSql(SelectionQuery::Piece));
    // An emptied number is renumbered as 2 (one record + 1), which a weight product holds.
    ASSERT_TRUE(ds.setText(fld::N, QString()));
    ds.setValue(fld::Name, u("набрано"));
    EXPECT_FALSE(editing.storeAndAdvance());
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_TRUE(prompter.shown[0].text.contains(duplicateNumberText()));
    EXPECT_EQ(ds.state(), DatasetState::Edit);
    EXPECT_EQ(ds.text(fld::Name), u("набрано"));
    EXPECT_EQ(stored(10, fld::Name).toString(), QLatin1String("piece"));

    // The insert after 5000 under "Штука" hits the same wall and stops with its record.
    ds.cancel();
    QSqlQuery(store.database()).exec(QStringLiteral("update lm_t1 set N=5000 where N=10"));
    select(selectionSql(SelectionQuery::Piece));
    prompter.clear();
    EXPECT_FALSE(editing.insertAfterCurrent());
    EXPECT_EQ(prompter.shown.size(), 2); // the number message, then the store's error
    EXPECT_EQ(ds.state(), DatasetState::Insert);
    EXPECT_EQ(storedCount(), 3);
}

TEST_P(EditingTest, DeleteOneAndTheWholeSelection)
{
    addNumbers(1, 4);
    addNumbers(5, 6, QStringLiteral("1"));
    select(wholeBaseSql());
    goTo(2);
    prompter.answer(Answer::No);
    EXPECT_FALSE(editing.deleteCurrent());
    EXPECT_EQ(storedCount(), 6);
    prompter.answer(Answer::Yes);
    EXPECT_TRUE(editing.deleteCurrent());
    EXPECT_EQ(prompter.shown.back().caption, u("Удаление записи из БД"));
    EXPECT_EQ(ds.integer(fld::N), 3);
    EXPECT_EQ(storedCount(), 5);

    // "Удалить все" under "Вес", from the middle of the selection, keeps the piece goods.
    select(selectionSql(SelectionQuery::Weight));
    goTo(3);
    prompter.answer(Answer::No);
    EXPECT_FALSE(editing.deleteSelection());
    EXPECT_EQ(storedCount(), 5);
    prompter.answer(Answer::Yes);
    EXPECT_TRUE(editing.deleteSelection());
    EXPECT_EQ(prompter.shown.back().text, u("Удалить все записи из окна БД?"));
    EXPECT_EQ(ds.recordCount(), 0);
    select(wholeBaseSql());
    EXPECT_EQ(numbers(), (QList<qint64>{5, 6}));
}

TEST_P(EditingTest, ClearKeepsNumberAndType)
{
    ProductSeed p{7, u("Молоко"), u("1"), u("11.03.05")};
    p.price = 12.5;
    p.prefix = u("21");
    p.sk5 = 123;
    add(p);
    select(wholeBaseSql());
    ds.setValue(fld::Name2, u("вторая"));
    prompter.answer(Answer::Yes);
    EXPECT_TRUE(editing.clearCurrent());
    EXPECT_EQ(prompter.shown[0].text, u("Очистить запись в БД?"));
    EXPECT_EQ(prompter.shown[0].caption, u("Очистка записи в БД"));
    EXPECT_EQ(stored(7, fld::Type).toString(), QLatin1String("1"));
    EXPECT_EQ(stored(7, fld::Price).toDouble(), 0.0);
    for (const char *f : {fld::Name, fld::Name2, fld::Prefix, fld::BestBefore})
        EXPECT_TRUE(stored(7, f).toString().isEmpty()) << f;
    EXPECT_TRUE(stored(7, fld::SK5).isNull());
    EXPECT_EQ(stored(7, fld::Time).toString(), QLatin1String("14:05:33"));
    EXPECT_EQ(ds.state(), DatasetState::Edit);
}

TEST_P(EditingTest, CopyAndReplace)
{
    ProductSeed source{1, u("Колбаса"), u("1"), u("11.03.05")};
    source.price = 12.34;
    source.prefix = u("22");
    source.sk5 = 11;
    add(source);
    ProductSeed target{2, u("Хлеб"), u("0"), u("")};
    target.sk5 = 77;
    target.price = 3;
    add(target);
    select(wholeBaseSql());

    CopyBuffer copy;
    ds.next();
    EXPECT_FALSE(editing.replaceCurrent(copy)); // no copy yet: nothing happens
    EXPECT_TRUE(stored(2, fld::Date).isNull());

    ds.first();
    ASSERT_TRUE(editing.copyCurrent(copy));
    EXPECT_TRUE(copy.full);
    EXPECT_FLOAT_EQ(copy.priceHundredths, 1234.0f);
    ds.next();
    EXPECT_TRUE(editing.replaceCurrent(copy));
    EXPECT_TRUE(prompter.shown.isEmpty());
    EXPECT_EQ(stored(2, fld::Price).toDouble(), 12.34);
    EXPECT_EQ(stored(2, fld::Name).toString(), u("Колбаса"));
    EXPECT_EQ(stored(2, fld::BestBefore).toString(), u("11.03.05"));
    EXPECT_EQ(stored(2, fld::Prefix).toString(), u("22"));
    EXPECT_EQ(stored(2, fld::Type).toString(), u("1"));
    EXPECT_EQ(stored(2, fld::SK5).toLongLong(), 77);
    EXPECT_EQ(ds.integer(fld::N), 2);
}

TEST(BestBeforeDialog, DatesBetweenTheShownAndTheStoredForm)
{
    const QDate today(2026, 12, 8);
    EXPECT_EQ(storedBestBefore(QStringLiteral("05.03.11"), today), QStringLiteral("11.03.05"));
    EXPECT_EQ(storedBestBefore(QStringLiteral("31.12.75"), today), QStringLiteral("75.12.31"));
    QString error;
    EXPECT_FALSE(storedBestBefore(QStringLiteral("30.02.11"), today, &error));
    EXPECT_EQ(error, QStringLiteral("'30.02.11' is not a valid date"));
    EXPECT_FALSE(storedBestBefore(QString(), today, &error));

    const QDateTime now(today, QTime(14, 5, 33));
    EXPECT_EQ(bestBeforeDialogDate(QStringLiteral("05.03.11"), now), QDate(2011, 3, 5));
    EXPECT_EQ(bestBeforeDialogDate(QString(), now), today);
}

TEST_P(EditingTest, PanelTextsNeitherOverrideACommandNorFollowIntoAnotherRecord)
{
    addNumbers(10, 12);
    select(wholeBaseSql());
    // A bound box with a typed, not yet written text, as the main window's panel has.
    QString typed;
    ds.setUpdateRecordHook([&] {
        if (!typed.isEmpty())
            ds.setValue(fld::Name, typed);
        typed.clear();
        return true;
    });

    // "Очистить запись" empties the name even though one was typed.
    goTo(11);
    typed = u("набрано");
    prompter.answer(Answer::Yes);
    EXPECT_TRUE(editing.clearCurrent());
    EXPECT_TRUE(stored(11, fld::Name).isNull());

    // An insert drops the text typed into the record it leaves; the new record does not get it.
    goTo(12);
    typed = u("для 12");
    EXPECT_TRUE(editing.insertAfterCurrent());
    EXPECT_TRUE(stored(13, fld::Name).isNull());
    EXPECT_EQ(stored(12, fld::Name).toString(), QLatin1String("P12"));
}

INSTANTIATE_ON_BOTH_STORES(EditingTest);
