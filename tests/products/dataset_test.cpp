#include "ProductFixture.h"

#include "products/ProductTableModel.h"
#include "products/Selection.h"
#include "shared/Messages.h"

#include <QLocale>
#include <QSignalSpy>

using namespace ztk;
using namespace ztk::test;

namespace {

const QString kNumberMessage = msg::text(msg::NumberAbove5000);

QString sql(const char *utf8) { return QString::fromUtf8(utf8); }

class RussianLocale {
public:
    RussianLocale() { QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)); }
    ~RussianLocale() { QLocale::setDefault(QLocale::c()); }
};

} // namespace

using DatasetTest = OnBothStores<ProductTest>;
INSTANTIATE_ON_BOTH_STORES(DatasetTest);

TEST_P(DatasetTest, StoreStampsDateTimeAndCorrectionMoment)
{
    addNumbers(1, 3);
    ASSERT_TRUE(ds.open(wholeBaseSql()));
    ds.next();
    ds.setValue(fld::Name, sql("Молоко"));
    ASSERT_TRUE(ds.post());
    EXPECT_EQ(stored(2, fld::Name).toString(), sql("Молоко"));
    EXPECT_EQ(stored(2, fld::Date).toString(), QLatin1String("26.12.08"));
    EXPECT_EQ(stored(2, fld::Time).toString(), QLatin1String("14:05:33"));
    EXPECT_EQ(stored(2, fld::CorrStamp).toString(), QLatin1String("2026-12-08 14:05:33"));
    EXPECT_EQ(ds.calculated(fld::Dcorr), QLatin1String("08.12.26 14:05:33"));
    // the others are untouched
    EXPECT_TRUE(stored(1, fld::Date).isNull());
}

TEST_P(DatasetTest, EmptyNumberIsTheCountOfTheSelectionPlusOne)
{
    // 10 and 11 are piece goods; under "Штука" a new record is numbered 3,
    // whatever the whole table holds.
    addNumbers(1, 2);
    addNumbers(10, 11, QStringLiteral("1"));
    ds.setTypeRule(TypeRule::Piece);
    ASSERT_TRUE(ds.open(selectionSql(SelectionQuery::Piece)));
    ASSERT_EQ(ds.recordCount(), 2);
    ds.insert();
    ds.setValue(fld::Name, sql("Хлеб"));
    ASSERT_TRUE(ds.post());
    EXPECT_EQ(stored(3, fld::Name).toString(), sql("Хлеб"));
    EXPECT_EQ(stored(3, fld::Type).toString(), QLatin1String("1"));
    EXPECT_EQ(ds.recordCount(), 3);
}

TEST_P(DatasetTest, NumberTakenOutsideTheSelectionIsRefusedAndTheTypedValuesStay)
{
    // Under "Штука" with one record, count + 1 is 2, which a weight product holds.
    addNumbers(1, 2);
    addNumbers(10, 10, QStringLiteral("1"));
    ASSERT_TRUE(ds.open(selectionSql(SelectionQuery::Piece)));
    QSignalSpy storedSpy(&ds, &ProductDataset::stored);
    ds.insert();
    ds.setValue(fld::Name, sql("Сыр"));
    ds.setText(fld::Price, QStringLiteral("3.5"));
    EXPECT_FALSE(ds.post());
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_TRUE(prompter.shown[0].text.contains(duplicateNumberText())) << prompter.shown[0].text.toStdString();
    EXPECT_EQ(ds.state(), DatasetState::Insert);
    EXPECT_TRUE(ds.isModified());
    EXPECT_EQ(ds.text(fld::Name), sql("Сыр"));
    EXPECT_DOUBLE_EQ(ds.number(fld::Price), 3.5);
    EXPECT_EQ(ds.integer(fld::N), 0); // the number the rule tried is not left behind
    EXPECT_EQ(storedCount(), 3);
    EXPECT_EQ(storedSpy.count(), 0);

    // A free number typed afterwards stores it.
    ds.setValue(fld::N, qlonglong(11));
    EXPECT_TRUE(ds.post());
    EXPECT_EQ(stored(11, fld::Name).toString(), sql("Сыр"));
}

TEST_P(DatasetTest, NumberRuleAboveFiveThousand)
{
    struct Case {
        const char *typed;
        bool message;
        qint64 storedAs;
    };
    // 3 records, so a renumbered record becomes 4.
    const Case cases[] = {
        {"5001", true, 4},
        {"99999", true, 4},
        {"5000", false, 5000},
        {"-3", false, -3},
    };
    addNumbers(1, 3);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed);
        prompter.clear();
        ASSERT_TRUE(ds.open(wholeBaseSql()));
        ds.last();
        const QString name = ds.text(fld::Name);
        ASSERT_TRUE(ds.setText(fld::N, QLatin1String(c.typed)));
        EXPECT_EQ(prompter.texts(), c.message ? QStringList{kNumberMessage} : QStringList{});
        ASSERT_TRUE(ds.post());
        EXPECT_EQ(stored(c.storedAs, fld::Name).toString(), name);
    }
}

TEST_P(DatasetTest, TypeFollowsTheWeightAndPieceSelections)
{
    const struct {
        TypeRule rule;
        const char *expected;
    } cases[] = {{TypeRule::Weight, "0"}, {TypeRule::Piece, "1"}, {TypeRule::Keep, "2"}};
    for (const auto &c : cases) {
        QSqlQuery(store.database()).exec(QStringLiteral("delete from lm_t1"));
        add({1, QStringLiteral("x"), QStringLiteral("2")});
        ds.setTypeRule(c.rule);
        ASSERT_TRUE(ds.open(wholeBaseSql()));
        ds.setValue(fld::Name, QStringLiteral("y"));
        ASSERT_TRUE(ds.post());
        EXPECT_EQ(stored(1, fld::Type).toString(), QLatin1String(c.expected));
    }
}

TEST_P(DatasetTest, CalculatedFields)
{
    struct Case {
        const char *bestBefore;
        const char *stamp;
        const char *type;
        const char *goden;
        const char *dcorr;
        const char *typeCal;
    };
    const Case cases[] = {
        {"11.03.05", "2010-05-17 14:05:33", "0", "05.03.11", "17.05.10 14:05:33", "Вес"},
        {"11.03.05", "2010-05-17 00:00:00", "1", "05.03.11", "17.05.10", "Шт"},
        {"11.03.05", "", "2", "05.03.11", "30.12.99", "Шт"},        // empty stamp: day zero
        {"", "2010-05-17 14:05:33", "abc", "", "08.12.26 14:05:33", "Шт"}, // no best-before: now
        {"11.02.31", "2010-05-17 14:05:33", "", "", "08.12.26 14:05:33", "Шт"}, // 31 February
        {"завтра", "2010-05-17 14:05:33", "0", "", "08.12.26 14:05:33", "Вес"},
        {"11.03.05", "вчера", "0", "", "08.12.26 14:05:33", "Вес"},
    };
    qint64 n = 1;
    for (const Case &c : cases) {
        ProductSeed p{n++, QStringLiteral("x"), QString::fromUtf8(c.type), QString::fromUtf8(c.bestBefore)};
        p.stamp = QString::fromUtf8(c.stamp);
        add(p);
    }
    ASSERT_TRUE(ds.open(wholeBaseSql()));
    ProductTableModel model(ds);
    ASSERT_EQ(model.rowCount(), int(std::size(cases)));
    for (int r = 0; r < model.rowCount(); ++r) {
        SCOPED_TRACE(r);
        EXPECT_EQ(model.index(r, ProductTableModel::ColGoden).data().toString(), sql(cases[r].goden));
        EXPECT_EQ(model.index(r, ProductTableModel::ColDcorr).data().toString(), sql(cases[r].dcorr));
        EXPECT_EQ(model.index(r, ProductTableModel::ColType).data().toString(), sql(cases[r].typeCal));
    }
    // The current record answers the same, also while it is edited.
    ds.edit();
    ds.setValue(fld::BestBefore, QStringLiteral("26.12.31"));
    EXPECT_EQ(ds.calculated(fld::Goden), QLatin1String("31.12.26"));
}

TEST_P(DatasetTest, GridShowsThePatternsAndTitles)
{
    ProductSeed p{7, sql("Молоко"), QStringLiteral("0")};
    p.price = 0.5;
    p.sk5 = 42;
    p.prefix = QStringLiteral("21");
    add(p);
    add({8, QStringLiteral("b"), QStringLiteral("1")});
    ASSERT_TRUE(ds.open(wholeBaseSql()));
    ProductTableModel model(ds);
    const QStringList titles{sql("N"), sql("Наименование"), sql("ШК5"), sql("Цена"), sql("Прф"), sql("ТипТов"),
                             sql("Годен до"), sql("Дата КОРР")};
    for (int c = 0; c < model.columnCount(); ++c)
        EXPECT_EQ(model.headerData(c, Qt::Horizontal).toString(), titles[c]);
    const QStringList row0{sql("0007"), sql("Молоко"), sql("00042"), sql(".50"), sql("21"), sql("Вес")};
    for (int c = 0; c < row0.size(); ++c)
        EXPECT_EQ(model.index(0, c).data().toString(), row0[c]) << c;
    EXPECT_EQ(model.index(1, ProductTableModel::ColPrice).data().toString(), QLatin1String(".00"));
    EXPECT_FALSE(model.flags(model.index(0, 1)) & Qt::ItemIsEditable);

    // A store redraws its row alone; a reopen resets the grid.
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    ds.next();
    ds.setValue(fld::Price, 12.0);
    ASSERT_TRUE(ds.post());
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(model.index(1, ProductTableModel::ColPrice).data().toString(), QLatin1String("12.00"));
    ASSERT_TRUE(ds.open(selectionSql(SelectionQuery::Piece)));
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(model.rowCount(), 1);
}

TEST_P(DatasetTest, AfterEveryStoreTheCountIsReportedAndTheRecordIsInEditState)
{
    addNumbers(1, 4);
    ASSERT_TRUE(ds.open(wholeBaseSql()));
    QList<int> counts;
    QObject::connect(&ds, &ProductDataset::stored, [&] { counts << ds.recordCount(); });
    ds.next();
    ds.setValue(fld::Name, QStringLiteral("changed"));
    ASSERT_TRUE(ds.post());
    EXPECT_EQ(ds.state(), DatasetState::Edit);
    EXPECT_FALSE(ds.isModified());
    ds.insert();
    ds.setValue(fld::Name, QStringLiteral("new"));
    ASSERT_TRUE(ds.post());
    EXPECT_EQ(ds.state(), DatasetState::Edit);
    EXPECT_EQ(counts, (QList<int>{4, 5}));
    EXPECT_EQ(ds.integer(fld::N), 5);
}

TEST_P(DatasetTest, MovesStoreOnlyModifiedRecords)
{
    addNumbers(1, 3);
    ASSERT_TRUE(ds.open(wholeBaseSql()));
    // An edit without a change is left, not stored.
    ds.edit();
    ds.setValue(fld::Name, QStringLiteral("P1")); // same text
    EXPECT_TRUE(ds.next());
    EXPECT_EQ(ds.state(), DatasetState::Browse);
    EXPECT_TRUE(stored(1, fld::Date).isNull());

    // A change is stored by the move, and the cursor moves on.
    ds.setValue(fld::Name, QStringLiteral("two"));
    EXPECT_TRUE(ds.next());
    EXPECT_EQ(ds.position(), 3);
    EXPECT_EQ(stored(2, fld::Name).toString(), QLatin1String("two"));

    // On the last record next() stores and stays.
    ds.setValue(fld::Name, QStringLiteral("three"));
    EXPECT_FALSE(ds.next());
    EXPECT_EQ(ds.position(), 3);
    EXPECT_EQ(stored(3, fld::Name).toString(), QLatin1String("three"));
    EXPECT_EQ(ds.state(), DatasetState::Edit);

    // The bound controls write their texts before the store.
    ds.setUpdateRecordHook([this] {
        ds.setValue(fld::Name2, QStringLiteral("from the panel"));
        return true;
    });
    EXPECT_EQ(ds.moveBy(-2), -2);
    EXPECT_EQ(stored(3, fld::Name2).toString(), QLatin1String("from the panel"));

    // A hook that refuses (a box its field cannot take) stops the move and the store.
    ds.setValue(fld::Name, QStringLiteral("held"));
    ds.setUpdateRecordHook([] { return false; });
    EXPECT_EQ(ds.moveBy(1), 0);
    EXPECT_FALSE(ds.post());
    EXPECT_EQ(ds.position(), 1);
    EXPECT_EQ(ds.state(), DatasetState::Edit);
    EXPECT_EQ(ds.text(fld::Name), QLatin1String("held"));
    EXPECT_EQ(stored(1, fld::Name).toString(), QLatin1String("P1"));

    // A reopen drops a pending edit.
    ds.setUpdateRecordHook({});
    ds.setValue(fld::Name, QStringLiteral("dropped"));
    ASSERT_TRUE(ds.open(wholeBaseSql()));
    EXPECT_EQ(stored(1, fld::Name).toString(), QLatin1String("P1"));
}

TEST_P(DatasetTest, PriceUsesTheLocaleSeparatorAndFourPlaces)
{
    RussianLocale russian;
    addNumbers(1, 1);
    ASSERT_TRUE(ds.open(wholeBaseSql()));
    const struct {
        const char *typed;
        double stored;
        const char *shown;
    } cases[] = {
        {"12,34", 12.34, "12,34"},
        {"0.5", 0.5, "0,5"},
        {"1,23456", 1.2346, "1,2346"},
        {"7", 7, "7"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        ASSERT_TRUE(ds.setText(fld::Price, QLatin1String(c.typed)));
        ASSERT_TRUE(ds.post());
        EXPECT_DOUBLE_EQ(stored(1, fld::Price).toDouble(), c.stored);
        EXPECT_EQ(ds.text(fld::Price), QLatin1String(c.shown));
    }
    EXPECT_FALSE(ds.setText(fld::Price, QStringLiteral("12р")));
    EXPECT_EQ(ds.errorText(), sql("'12р' is not a valid floating point value"));
    EXPECT_FALSE(ds.setText(fld::SK5, QStringLiteral("4x")));
    EXPECT_EQ(ds.errorText(), sql("'4x' is not a valid integer value"));
}

TEST_P(DatasetTest, DisabledControlsRedrawOnceAtTheEnd)
{
    addNumbers(1, 5);
    ASSERT_TRUE(ds.open(wholeBaseSql()));
    QSignalSpy resets(&ds, &ProductDataset::reset);
    QSignalSpy current(&ds, &ProductDataset::currentChanged);
    QSignalSpy rows(&ds, &ProductDataset::rowChanged);
    ds.disableControls();
    ds.disableControls();
    ds.setValue(fld::Name, QStringLiteral("x"));
    ds.next();
    ASSERT_TRUE(ds.open(wholeBaseSql()));
    ds.moveBy(3);
    ds.enableControls();
    EXPECT_EQ(resets.count(), 0);
    ds.enableControls();
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(current.count(), 0);
    EXPECT_EQ(rows.count(), 0);
    ds.enableControls(); // an extra enable changes nothing
    EXPECT_EQ(resets.count(), 1);
}

TEST_P(DatasetTest, DeleteMakesANeighbourCurrent)
{
    addNumbers(1, 3);
    ASSERT_TRUE(ds.open(wholeBaseSql()));
    ds.next();
    ASSERT_TRUE(ds.deleteCurrent());
    EXPECT_EQ(ds.integer(fld::N), 3);
    ASSERT_TRUE(ds.deleteCurrent());
    EXPECT_EQ(ds.integer(fld::N), 1);
    EXPECT_EQ(storedCount(), 1);
    // A refused query leaves the dataset closed and empty.
    EXPECT_FALSE(ds.open(sql("select * from lm_t1 where NAME LIKE '%Д'Арк%' order by N")));
    EXPECT_FALSE(ds.isOpen());
    EXPECT_EQ(ds.recordCount(), 0);
    EXPECT_FALSE(ds.errorText().isEmpty());
}
