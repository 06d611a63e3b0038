// The read-back window and the range-clear dialog, opened from the main window,
// offscreen, against the simulator (which is first given the products by a write).

#include "support/GuiFixture.h"
#include "support/SimProcess.h"

#include "app/ui/Pd1.h"
#include "products/ProductDataset.h"
#include "products/ProductStore.h"
#include "shared/Files.h"
#include "shared/Messages.h"
#include "transfer/ui/NumberSpinEdit.h"
#include "transfer/ui/Sohrdata.h"
#include "transfer/ui/Vlreadbd.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTimer>
#include <gtest/gtest.h>

using namespace ztk;
using namespace ztk::test;

namespace {

QList<SeedProduct> products(const QList<int> &numbers)
{
    QList<SeedProduct> out;
    for (int n : numbers) {
        SeedProduct p;
        p.n = n;
        p.name = QStringLiteral("Товар %1").arg(n);
        p.price = n + 0.29;
        p.sk5 = 10000 + n;
        p.bestBefore = QStringLiteral("27.01.15");
        p.corrStamp = QStringLiteral("2026-11-30 10:20:30");
        out.append(p);
    }
    return out;
}

QString cell(int gridRow, int column)
{
    const QTableWidgetItem *it = Form8->StringGrid1->item(gridRow - 1, column);
    return it ? it->text() : QString();
}

QStringList column0()
{
    QStringList out;
    for (int r = 1; r <= Form8->StringGrid1->rowCount(); ++r)
        out << cell(r, 0);
    return out;
}

void readRange(int first, int last)
{
    Form8->CSpinEdit1->setNumber(first);
    Form8->CSpinEdit2->setNumber(last);
    Form8->N4Click();
}

// Opens the read window from the main window and runs `inside` while it is shown.
void inReadWindow(const std::function<void()> &inside)
{
    QTimer::singleShot(0, Form8, [inside] {
        inside();
        if (Form8->isVisible())
            Form8->N3Click();
    });
    Form1->N10->trigger();
}

// The range dialog with from..to, "Выполнить" pressed; closed if it stayed open.
void clearRange(int from, int to)
{
    QTimer::singleShot(0, FormSD, [from, to] {
        FormSD->CSpinEdit1->setNumber(from);
        FormSD->CSpinEdit2->setNumber(to);
        FormSD->Button1Click();
        if (FormSD->isVisible())
            FormSD->Button2Click();
    });
    Form8->N6Click();
}

class ReadbackWindow : public ::testing::Test {
protected:
    // Seeds `numbers`, starts the simulator and the windows and writes them into the scale.
    void startWith(const QList<int> &numbers, const QString &storeSql = QString())
    {
        ASSERT_TRUE(f.seedProducts(products(numbers))) << f.error().toStdString();
        if (!storeSql.isEmpty()) {
            ProductStore store;
            ASSERT_TRUE(store.open(f.path(files::ProductStore)));
            QSqlQuery q(store.database());
            ASSERT_TRUE(q.exec(storeSql));
        }
        ASSERT_TRUE(f.startSimulator()) << f.error().toStdString();
        ASSERT_TRUE(f.start());
        ASSERT_TRUE(f.showMain());
        ASSERT_TRUE(Form1->N10->isEnabled());
        Form1->N5Click();
        ASSERT_TRUE(f.prompter.texts().isEmpty()) << f.prompter.texts().join('|').toStdString();
    }
    GuiFixture f;
};

TEST_F(ReadbackWindow, RangesAreWidenedAndRowsFilled)
{
    startWith({1, 2, 3, 4999, 5000});
    Form1->dataset()->moveBy(2); // product 3 is current
    inReadWindow([&] {
        EXPECT_TRUE(Form8->isModal());
        EXPECT_EQ(Form8->windowTitle(), msg::text(msg::ReadCaption));
        EXPECT_EQ(Form8->CSpinEdit1->number(), 3);

        // "Чтение" given again while the read pumps events starts no second exchange.
        const int logged = f.simulator()->log().size();
        QTimer::singleShot(0, Form8, [] { Form8->N4Click(); });
        readRange(1, 1);
        EXPECT_EQ(f.simulator()->log().mid(logged).toHex(' '), QByteArray("0a 00 00 0a 01 00"));
        EXPECT_EQ(column0(), (QStringList{"1", "2"}));
        EXPECT_EQ(Form8->CSpinEdit2->number(), 2);
        EXPECT_EQ(cell(1, 2), QStringLiteral("Товар 1") + QString(21, ' '));
        EXPECT_EQ(cell(1, 5), QStringLiteral("1,29"));
        EXPECT_EQ(cell(1, 1), QStringLiteral("30.11.26 10:20:30"));
        EXPECT_EQ(Form8->Edit21->text(), cell(1, 2)); // row 1 selected at the end
        EXPECT_EQ(Form8->selectedNumber(), 1);

        readRange(5000, 5000);
        EXPECT_EQ(column0(), QStringList{"5000"});

        // Typed, 7000 is taken as it is, and then widened.
        auto *box = Form8->CSpinEdit1->findChild<QLineEdit *>();
        ASSERT_NE(box, nullptr);
        retype(box, QStringLiteral("7000"));
        EXPECT_EQ(Form8->CSpinEdit1->number(), 7000);
        Form8->N4Click();
        EXPECT_EQ(column0(), (QStringList{"4999", "5000"}));
        EXPECT_EQ(Form8->CSpinEdit1->number(), 4999);
        EXPECT_EQ(cell(1, 4), QStringLiteral("ВЕС"));
    });
    EXPECT_FALSE(Form8->isVisible());
    EXPECT_EQ(Form1->dataset()->position(), 3);
    EXPECT_EQ(Form1->Label9->text(), QStringLiteral("Записей 5"));
    EXPECT_TRUE(f.prompter.texts().isEmpty()) << f.prompter.texts().join('|').toStdString();
}

TEST_F(ReadbackWindow, ClearingOneAndARange)
{
    QList<int> numbers;
    for (int n = 5; n <= 20; ++n)
        numbers << n;
    startWith(numbers);
    inReadWindow([&] {
        readRange(5, 20);
        ASSERT_EQ(Form8->StringGrid1->rowCount(), 16);
        const int logged = f.simulator()->log().size();

        clearRange(10, 12);
        EXPECT_FALSE(FormSD->isVisible());
        EXPECT_FALSE(FormSD->CGauge1->isVisible());
        EXPECT_EQ(f.simulator()->waitForLog(logged + 9).mid(logged).toHex(' '),
                  QByteArray("0c 0a 00 0c 0b 00 0c 0c 00"));
        for (int row : {6, 7, 8}) {
            EXPECT_EQ(cell(row, 0), QString::number(row + 4));
            EXPECT_EQ(cell(row, 1), QStringLiteral("00.00.00 00:00:00"));
            EXPECT_EQ(cell(row, 2), QString());
            EXPECT_EQ(cell(row, 5), QStringLiteral("0,00"));
        }
        EXPECT_EQ(cell(5, 2), QStringLiteral("Товар 9") + QString(21, ' '));
        EXPECT_EQ(cell(9, 2), QStringLiteral("Товар 13") + QString(20, ' '));

        // Outside the read range: refused, nothing sent.
        f.prompter.clear();
        clearRange(4, 12);
        EXPECT_EQ(f.prompter.texts(), QStringList{msg::text(msg::BadClearRange)});
        EXPECT_EQ(f.simulator()->log().size(), logged + 9);

        // One product: the selected one.
        Form8->StringGrid1->setCurrentCell(11, 3); // product 16
        Form8->N5Click();
        EXPECT_EQ(f.simulator()->waitForLog(logged + 12).mid(logged + 9).toHex(' '), QByteArray("0c 10 00"));
        EXPECT_EQ(cell(12, 1), QStringLiteral("00.00.00 00:00:00"));

        Form8->StringGrid1->item(12, 0)->setText(QStringLiteral("x"));
        Form8->StringGrid1->setCurrentCell(12, 0);
        f.prompter.clear();
        Form8->N5Click();
        EXPECT_EQ(f.prompter.texts(), QStringList{msg::text(msg::TotalsNothingSelected)});
    });
    f.simulator()->stop();
    const QByteArray empty(256, char(0xFF));
    EXPECT_EQ(f.simulator()->slot(10), empty);
    EXPECT_EQ(f.simulator()->slot(15), empty);
    EXPECT_NE(f.simulator()->slot(12), empty);
}

TEST_F(ReadbackWindow, SaveStoresEditsAndListsRefusedRows)
{
    startWith({10, 11, 12, 13, 14, 15, 16},
              "CREATE TRIGGER refuse BEFORE UPDATE ON lm_t1 WHEN NEW.N IN (12, 15) BEGIN SELECT RAISE(ABORT, 'no'); END");
    f.clock.set(QDateTime(QDate(2026, 12, 9), QTime(8, 0, 0)));
    f.prompter.clear();
    Form1->dataset()->moveBy(2); // the save reopens the table; this row comes back
    inReadWindow([&] {
        readRange(10, 16);
        Form8->StringGrid1->item(1, 2)->setText(QStringLiteral("Новое имя")); // product 11
        Form8->StringGrid1->item(2, 5)->setText(QStringLiteral("99,99"));     // product 12, refused
        Form8->N1Click();
        ASSERT_EQ(f.prompter.shown.size(), 1);
        EXPECT_EQ(f.prompter.shown[0].text, QStringLiteral("Некорректные записи:12,15"));
        EXPECT_EQ(f.prompter.shown[0].caption, msg::text(msg::BadLinesCaption));
        EXPECT_TRUE(Form1->DBGrid1->isVisibleTo(Form1));
    });
    ProductStore store;
    ASSERT_TRUE(store.open(f.path(files::ProductStore)));
    EXPECT_EQ(store.findByNumber(11)->names[0], QStringLiteral("Новое имя"));
    EXPECT_EQ(store.findByNumber(11)->correctionStamp, QStringLiteral("2026-12-09 08:00:00"));
    EXPECT_EQ(store.findByNumber(12)->price.value, Price::fromTenThousandths(122900)); // unchanged
    EXPECT_EQ(store.findByNumber(13)->names[0], QStringLiteral("Товар 13"));
    EXPECT_EQ(Form1->Label9->text(), QStringLiteral("Записей 7"));
    EXPECT_EQ(Form1->dataset()->position(), 3);
}

} // namespace
