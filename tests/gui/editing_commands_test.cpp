// The editing commands of the main window driven through its widgets: the detail
// panel, "Запись", the speed buttons, the type selector and the best-before dialog.

#include "support/GuiFixture.h"

#include "app/ui/Pd1.h"
#include "products/ProductDataset.h"
#include "products/ProductFields.h"
#include "products/ProductStore.h"
#include "products/ui/Godendo.h"
#include "shared/Files.h"
#include "shared/Messages.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace ztk;
using namespace ztk::test;

namespace {

QString t(const char *utf8) { return msg::text(utf8); }

SeedProduct product(int n, const QString &name, double price, const QString &type)
{
    SeedProduct p;
    p.n = n;
    p.name = name;
    p.price = price;
    p.type = type;
    return p;
}

// A started main window over the given products, without a port.
class EditingWindow : public ::testing::Test {
protected:
    void start(const QList<SeedProduct> &rows)
    {
        ASSERT_TRUE(f.seedProducts(rows)) << f.error().toStdString();
        ASSERT_TRUE(f.writePortConfig(QStringLiteral("ttyZZ9"), 9600));
        ASSERT_TRUE(f.start());
        f.prompter.clear();
    }
    static QList<SeedProduct> numbered(int from, int to, const QString &type = QStringLiteral("0"))
    {
        QList<SeedProduct> rows;
        for (int n = from; n <= to; ++n)
            rows.append(product(n, QStringLiteral("P%1").arg(n), 1.5, type));
        return rows;
    }
    // A click into the grid's row.
    void selectRow(int row)
    {
        Form1->DBGrid1->setCurrentIndex(Form1->DBGrid1->model()->index(row, 1));
        releaseKeyInGrid();
    }
    static void releaseKeyInGrid()
    {
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier);
        QCoreApplication::sendEvent(Form1->DBGrid1, &release);
    }
    // The operator's typing: the box's text replaced.
    QVariant stored(int n, const char *column)
    {
        ProductStore store;
        if (!store.open(f.path(files::ProductStore)))
            return QStringLiteral("<no store>");
        QSqlQuery q(store.database());
        q.prepare(QStringLiteral("select \"%1\" from lm_t1 where N=?").arg(QString::fromUtf8(column)));
        q.addBindValue(n);
        const QVariant v = q.exec() && q.next() ? q.value(0) : QVariant(QStringLiteral("<missing>"));
        q.finish();
        return v;
    }
    int storedCount()
    {
        ProductStore store;
        if (!store.open(f.path(files::ProductStore)))
            return -1;
        QSqlQuery q(store.database());
        const int n = q.exec(QStringLiteral("select count(*) from lm_t1")) && q.next() ? q.value(0).toInt() : -1;
        q.finish();
        return n;
    }
    QString gridCell(int row, int column) const
    {
        return Form1->DBGrid1->model()->index(row, column).data().toString();
    }

    GuiFixture f;
};

} // namespace

TEST_F(EditingWindow, TypingAndStoreAndAdvance)
{
    start(numbered(1, 10));
    selectRow(2);
    retype(Form1->DBEdit1, t("Молоко"));
    retype(Form1->DBEdit10, QStringLiteral("12,34"));
    Form1->BitBtn1->click();
    EXPECT_EQ(stored(3, fld::Name).toString(), t("Молоко"));
    EXPECT_DOUBLE_EQ(stored(3, fld::Price).toDouble(), 12.34);
    EXPECT_EQ(Form1->DBEdit8->text(), QStringLiteral("4"));
    EXPECT_EQ(Form1->DBGrid1->currentIndex().row(), 3);
    EXPECT_EQ(gridCell(2, 1), t("Молоко"));
    EXPECT_EQ(gridCell(2, 3), QStringLiteral("12.34"));
    EXPECT_EQ(Form1->Label9->text(), t("Записей 10"));

    // 5001 typed as the number: the message, and the store numbers it count + 1.
    selectRow(9);
    retype(Form1->DBEdit8, QStringLiteral("5001"));
    Form1->BitBtn1->click();
    EXPECT_EQ(f.prompter.texts(), QStringList{t(msg::NumberAbove5000)});
    EXPECT_EQ(stored(11, fld::Name).toString(), QStringLiteral("P10"));
}

TEST_F(EditingWindow, TypeSelector)
{
    QList<SeedProduct> rows = numbered(1, 3);
    rows[1].type = QStringLiteral("2");
    rows[2].type = QStringLiteral("abc");
    start(rows);
    const int noItem = -1;
    selectRow(0);
    EXPECT_EQ(Form1->ComboBox1->currentText(), t("Вес"));

    // "2": no item when it becomes current, "Шт" after the release in the grid.
    Form1->DBGrid1->setCurrentIndex(Form1->DBGrid1->model()->index(1, 1));
    EXPECT_EQ(Form1->ComboBox1->currentIndex(), noItem);
    releaseKeyInGrid();
    EXPECT_EQ(Form1->ComboBox1->currentText(), t("Шт"));
    // "abc": "Вес" first, then "Шт".
    Form1->DBGrid1->setCurrentIndex(Form1->DBGrid1->model()->index(2, 1));
    EXPECT_EQ(Form1->ComboBox1->currentText(), t("Вес"));
    QTest::mouseClick(Form1->DBGrid1->viewport(), Qt::LeftButton, {},
                      Form1->DBGrid1->visualRect(Form1->DBGrid1->model()->index(2, 1)).center());
    EXPECT_EQ(Form1->ComboBox1->currentText(), t("Шт"));

    // Picking "Вес" makes it a weight product at the next store.
    selectRow(1);
    Form1->ComboBox1->setFocus();
    QTest::keyClick(Form1->ComboBox1, Qt::Key_Up);
    EXPECT_EQ(Form1->ComboBox1->currentText(), t("Вес"));
    Form1->BitBtn1->click();
    EXPECT_EQ(stored(2, fld::Type).toString(), QStringLiteral("0"));
    EXPECT_EQ(gridCell(1, 5), t("Вес"));
}

TEST_F(EditingWindow, BestBeforeDialog)
{
    start(numbered(1, 2));
    ASSERT_NE(FormGodenDo, nullptr);
    selectRow(0);
    QTest::mouseClick(Form1->DBEdit6, Qt::LeftButton);
    EXPECT_TRUE(FormGodenDo->isVisible());
    EXPECT_EQ(FormGodenDo->MonthCalendar1->selectedDate(), QDate(2026, 12, 8)); // no date yet: today
    EXPECT_EQ(FormGodenDo->Edit1->text(), QStringLiteral("08.12.26"));

    // A bad date: the error, the box shows the text, nothing else changes.
    retype(FormGodenDo->Edit1, QStringLiteral("31.02.11"));
    FormGodenDo->Button3->click();
    EXPECT_EQ(f.prompter.texts(), QStringList{QStringLiteral("'31.02.11' is not a valid date")});
    EXPECT_TRUE(FormGodenDo->isVisible());
    EXPECT_EQ(Form1->DBEdit6->text(), QStringLiteral("31.02.11"));

    // 5 March 2011 from the calendar.
    FormGodenDo->MonthCalendar1->setSelectedDate(QDate(2011, 3, 5));
    Q_EMIT FormGodenDo->MonthCalendar1->clicked(QDate(2011, 3, 5));
    EXPECT_EQ(FormGodenDo->Edit1->text(), QStringLiteral("05.03.11"));
    FormGodenDo->Button3->click();
    EXPECT_FALSE(FormGodenDo->isVisible());
    EXPECT_EQ(Form1->DBEdit6->text(), QStringLiteral("05.03.11"));
    EXPECT_TRUE(stored(1, fld::BestBefore).isNull()); // stored by the next store
    Form1->BitBtn1->click();
    EXPECT_EQ(stored(1, fld::BestBefore).toString(), QStringLiteral("11.03.05"));
    EXPECT_EQ(gridCell(0, 6), QStringLiteral("05.03.11"));

    // The dialog opens on the record's date; "Отмена" changes nothing.
    selectRow(0);
    QTest::mouseClick(Form1->DBEdit6, Qt::LeftButton);
    EXPECT_EQ(FormGodenDo->MonthCalendar1->selectedDate(), QDate(2011, 3, 5));
    FormGodenDo->Button2->click();
    EXPECT_FALSE(FormGodenDo->isVisible());
    Form1->BitBtn1->click();
    EXPECT_EQ(stored(1, fld::BestBefore).toString(), QStringLiteral("11.03.05"));
}

TEST_F(EditingWindow, CopyReplaceClearAndDelete)
{
    QList<SeedProduct> rows = numbered(1, 3);
    rows[0].price = 12.34;
    rows[0].prefix = QStringLiteral("22");
    rows[2].sk5 = 77;
    start(rows);

    selectRow(0);
    Form1->SpeedButton6->click();
    EXPECT_TRUE(Form1->SpeedButton6->isChecked());
    Form1->SpeedButton6->click(); // a second copy keeps the mark
    EXPECT_TRUE(Form1->SpeedButton6->isChecked());
    selectRow(2);
    Form1->SpeedButton7->click();
    EXPECT_DOUBLE_EQ(stored(3, fld::Price).toDouble(), 12.34);
    EXPECT_EQ(stored(3, fld::Name).toString(), QStringLiteral("P1"));
    EXPECT_EQ(stored(3, fld::SK5).toInt(), 77);
    EXPECT_EQ(Form1->DBEdit1->text(), QStringLiteral("P1"));
    EXPECT_TRUE(f.prompter.shown.isEmpty());

    // Clear: the question, then everything but N and ТипТ is emptied.
    f.prompter.answer(Answer::Yes);
    Form1->SpeedButton5->click();
    EXPECT_EQ(stored(3, fld::Name).toString(), QString());
    EXPECT_EQ(stored(3, fld::Price).toDouble(), 0.0);
    EXPECT_EQ(Form1->DBEdit1->text(), QString());

    // Delete one: No keeps it; Yes removes it and counts again.
    f.prompter.answer(Answer::No);
    Form1->SpeedButton3->click();
    EXPECT_EQ(storedCount(), 3);
    f.prompter.answer(Answer::Yes);
    Form1->SpeedButton3->click();
    EXPECT_EQ(storedCount(), 2);
    EXPECT_EQ(Form1->Label9->text(), t("Записей 2"));
    EXPECT_EQ(f.prompter.shown.back().caption, t(msg::DeleteOneCaption));
}

TEST_F(EditingWindow, InsertAndDeleteTheWeightSelection)
{
    QList<SeedProduct> rows = numbered(10, 15);
    rows.append(product(20, QStringLiteral("piece"), 1, QStringLiteral("1")));
    rows.removeAt(3); // 13 is free
    start(rows);

    selectRow(2); // 12
    Form1->SpeedButton2->click();
    EXPECT_EQ(stored(13, fld::Type).toString(), QStringLiteral("0"));
    EXPECT_EQ(Form1->DBEdit8->text(), QStringLiteral("13"));
    EXPECT_EQ(Form1->DBGrid1->currentIndex().row(), 3);
    EXPECT_EQ(Form1->Label9->text(), t("Записей 7"));

    // Taken now: Cancel shows the whole table from its first record.
    Form1->RadioButton2->click();
    selectRow(2);
    f.prompter.answer(Answer::Cancel);
    Form1->SpeedButton2->click();
    EXPECT_EQ(Form1->DBGrid1->model()->rowCount(), 7);
    EXPECT_EQ(Form1->DBEdit8->text(), QStringLiteral("10"));
    EXPECT_TRUE(Form1->RadioButton2->isChecked());

    // "Удалить все" under "Вес" keeps the piece goods.
    Form1->RadioButton1->click();
    Form1->RadioButton2->click();
    f.prompter.answer(Answer::Yes);
    Form1->SpeedButton4->click();
    EXPECT_EQ(Form1->Label9->text(), t("Записей 0"));
    EXPECT_EQ(storedCount(), 1);
    EXPECT_EQ(stored(20, fld::Name).toString(), QStringLiteral("piece"));
}
