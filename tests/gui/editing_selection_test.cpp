// The selections of the main window driven through its radio buttons, input boxes,
// calendar and spin edit.

#include "support/GuiFixture.h"

#include "app/ui/Pd1.h"
#include "products/ProductDataset.h"
#include "products/ProductFields.h"
#include "products/ProductStore.h"
#include "shared/Files.h"
#include "shared/Messages.h"

#include <QCalendarWidget>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

using namespace ztk;
using namespace ztk::test;

namespace {

QString t(const char *utf8) { return msg::text(utf8); }

class SelectionWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QList<SeedProduct> rows = {
            {1, t("Молоко"), 1, QStringLiteral("0"), QStringLiteral("5"), 0, QStringLiteral("26.12.07"),
             QStringLiteral("2026-12-01 10:00:00")},
            {2, t("МОЛОКО топлёное"), 1, QStringLiteral("1"), QStringLiteral("05"), 0, QStringLiteral("26.12.08"),
             QStringLiteral("2026-12-08 10:00:00")},
            {3, t("Кефир"), 1, QStringLiteral("2"), QStringLiteral("5"), 0, QStringLiteral("26.12.09"),
             QStringLiteral("2026-12-09 10:00:00")},
            {4, t("Жанна Д'Арк"), 1, QStringLiteral("0"), QStringLiteral("50"), 0, QStringLiteral("27.01.01"),
             QStringLiteral("2026-11-30 10:00:00")},
        };
        ASSERT_TRUE(f.seedProducts(rows)) << f.error().toStdString();
        // "Дата" is what the correction-date selections compare.
        {
            ProductStore store;
            ASSERT_TRUE(store.open(f.path(files::ProductStore)));
            QSqlQuery q(store.database());
            ASSERT_TRUE(q.exec(t("update lm_t1 set Дата = substr(ДатаКоррекции, 3, 8)")));
            ASSERT_TRUE(q.exec(t("update lm_t1 set Дата = replace(Дата, '-', '.')")));
        }
        ASSERT_TRUE(f.writePortConfig(QStringLiteral("ttyZZ9"), 9600));
        ASSERT_TRUE(f.start());
        f.prompter.clear();
    }

    QList<int> shown() const
    {
        QList<int> out;
        const QAbstractItemModel *m = Form1->DBGrid1->model();
        for (int r = 0; r < m->rowCount(); ++r)
            out << m->index(r, 0).data().toInt();
        return out;
    }
    // Which input boxes are shown: Edit1, Edit2, Edit4, Edit5, CSpinEdit1.
    QList<bool> inputs() const
    {
        return {!Form1->Edit1->isHidden(), !Form1->Edit2->isHidden(), !Form1->Edit4->isHidden(),
                !Form1->Edit5->isHidden(), !Form1->CSpinEdit1->isHidden()};
    }
    void clickDay(const QDate &day)
    {
        Form1->MonthCalendar1->setSelectedDate(day);
        Q_EMIT Form1->MonthCalendar1->clicked(day);
    }

    GuiFixture f;
};

using L = QList<int>;

} // namespace

TEST_F(SelectionWindow, RadioButtonsRunTheirQueries)
{
    const struct {
        QRadioButton *TForm1::*button;
        const char *sql;
        L rows;
        QList<bool> inputs;
    } cases[] = {
        {&TForm1::RadioButton2, "select * from lm_t1 where ТипТ LIKE '0' order by N", {1, 4}, {0, 0, 0, 0, 0}},
        {&TForm1::RadioButton3, "select * from lm_t1 where ТипТ LIKE '1' order by N", {2}, {0, 0, 0, 0, 0}},
        {&TForm1::RadioButton4, "select * from lm_t1 where Дата='26.12.08' order by N", {2}, {0, 1, 0, 0, 0}},
        {&TForm1::RadioButton5, "select * from lm_t1 where Дата<'26.12.08' order by N", {1, 4}, {0, 1, 0, 0, 0}},
        {&TForm1::RadioButton6, "select * from lm_t1 where Дата>'26.12.08' order by N", {3}, {0, 1, 0, 0, 0}},
        {&TForm1::RadioButton14, "select * from lm_t1 where ГоденДо='26.12.08' order by N", {2}, {0, 1, 0, 0, 0}},
        {&TForm1::RadioButton15, "select * from lm_t1 where ГоденДо<'26.12.08' order by N", {1}, {0, 1, 0, 0, 0}},
        {&TForm1::RadioButton16, "select * from lm_t1 where ГоденДо>'26.12.08' order by N", {3, 4}, {0, 1, 0, 0, 0}},
        {&TForm1::RadioButton17, "select * from lm_t1 where Префикс LIKE '0' order by N", {}, {0, 0, 0, 0, 1}},
        {&TForm1::RadioButton1, "select * from lm_t1 order by N", {1, 2, 3, 4}, {0, 0, 0, 0, 0}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.sql);
        (Form1->*c.button)->click();
        EXPECT_EQ(Form1->selectionSql(), t(c.sql));
        EXPECT_EQ(shown(), c.rows);
        EXPECT_EQ(Form1->Label9->text(), t("Записей ") + QString::number(c.rows.size()));
        EXPECT_EQ(inputs(), c.inputs);
    }
    // A date selection writes the calendar day first into Edit2.
    Form1->RadioButton4->click();
    EXPECT_EQ(Form1->Edit2->text(), QStringLiteral("08.12.26"));
    EXPECT_TRUE(f.prompter.shown.isEmpty());
}

TEST_F(SelectionWindow, CalendarRerunsOnlyDateSelections)
{
    Form1->RadioButton15->click(); // "Просроченные"
    EXPECT_EQ(shown(), (L{1}));
    clickDay(QDate(2026, 12, 9));
    EXPECT_EQ(shown(), (L{1, 2}));
    EXPECT_EQ(Form1->Edit2->text(), QStringLiteral("09.12.26"));

    Form1->RadioButton3->click();
    clickDay(QDate(2027, 2, 1));
    EXPECT_EQ(Form1->Edit2->text(), QStringLiteral("27.02.01")); // year first, nothing runs
    EXPECT_EQ(shown(), (L{2}));
}

TEST_F(SelectionWindow, TypeRuleFollowsWeightAndPiece)
{
    Form1->RadioButton3->click();
    EXPECT_EQ(Form1->dataset()->typeRule(), TypeRule::Piece);
    Form1->RadioButton2->click();
    EXPECT_EQ(Form1->dataset()->typeRule(), TypeRule::Weight);
    // "По номеру" keeps the type, even while its boxes still show the "Вес" records.
    Form1->RadioButton10->click();
    EXPECT_EQ(Form1->dataset()->typeRule(), TypeRule::Keep);
}

TEST_F(SelectionWindow, NameSearch)
{
    Form1->RadioButton7->click();
    EXPECT_EQ(shown(), (L{1, 2, 3, 4})); // no query runs on the click
    EXPECT_EQ(inputs(), (QList<bool>{1, 0, 0, 0, 0}));
    retype(Form1->Edit1, t("мол"));
    EXPECT_EQ(shown(), (L{1, 2}));
    EXPECT_EQ(Form1->selectionSql(), t("select * from lm_t1 where NAME LIKE '%мол%' order by N"));
    retype(Form1->Edit1, t("д'ар"));
    EXPECT_EQ(shown(), (L{4}));
    retype(Form1->Edit1, t("хлеб"));
    EXPECT_EQ(shown(), L{});
    EXPECT_EQ(Form1->Label9->text(), t("Записей 0"));
    // Emptying the box runs nothing.
    retype(Form1->Edit1, QString());
    EXPECT_EQ(Form1->Label9->text(), t("Записей 0"));
    EXPECT_TRUE(f.prompter.shown.isEmpty());
}

TEST_F(SelectionWindow, NumberRange)
{
    // From "Вес", the click re-runs "Вес" through the boxes it fills in.
    Form1->RadioButton2->click();
    Form1->RadioButton10->click();
    EXPECT_EQ(Form1->Edit4->text(), QStringLiteral("1"));
    EXPECT_EQ(Form1->Edit5->text(), QStringLiteral("5000"));
    EXPECT_EQ(shown(), (L{1, 4}));
    EXPECT_EQ(Form1->selectionSql(), t("select * from lm_t1 where ТипТ LIKE '0' order by N"));

    retype(Form1->Edit5, QStringLiteral("3"));
    EXPECT_EQ(shown(), (L{1, 2, 3}));
    retype(Form1->Edit4, QStringLiteral("2"));
    EXPECT_EQ(shown(), (L{2, 3}));
    EXPECT_EQ(Form1->selectionSql(), t("select * from lm_t1 where N>=2 and N<=3 order by N"));

    // Letters: the message, then 1..5000; the box keeps its text.
    retype(Form1->Edit4, QStringLiteral("x"));
    EXPECT_EQ(f.prompter.texts(), QStringList{t(msg::BadRange)});
    EXPECT_EQ(shown(), (L{1, 2, 3, 4}));
    EXPECT_EQ(Form1->Edit4->text(), QStringLiteral("x"));
}

TEST_F(SelectionWindow, PrefixFollowsTheSpinEdit)
{
    Form1->RadioButton17->click();
    Form1->CSpinEdit1->setValue(5);
    EXPECT_EQ(shown(), (L{1, 3})); // "5", not "05" or "50"
    Form1->CSpinEdit1->setValue(50);
    EXPECT_EQ(shown(), (L{4}));
    Form1->RadioButton1->click();
    EXPECT_TRUE(Form1->CSpinEdit1->isHidden());
}

TEST_F(SelectionWindow, RefusedQueryLeavesTheGridEmptyAndTheCountAsItWas)
{
    Form1->RadioButton2->click();
    EXPECT_EQ(Form1->Label9->text(), t("Записей 2"));
    {
        ProductStore store;
        ASSERT_TRUE(store.open(f.path(files::ProductStore)));
        ASSERT_TRUE(QSqlQuery(store.database()).exec(QStringLiteral("alter table lm_t1 rename to gone")));
    }
    Form1->RadioButton3->click();
    EXPECT_EQ(shown(), L{});
    EXPECT_EQ(Form1->Label9->text(), t("Записей 2"));
    EXPECT_EQ(Form1->selectionSql(), t("select * from lm_t1 where ТипТ LIKE '1' order by N"));
    EXPECT_TRUE(f.prompter.shown.isEmpty());
}
