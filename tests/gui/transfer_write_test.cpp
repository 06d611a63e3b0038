// The product list window and the main window's "Запись БДТ в весы", offscreen,
// against the simulator.

#include "support/GuiFixture.h"
#include "support/SimProcess.h"

#include "ui/Mess.h"
#include "app/ui/Pd1.h"
#include "link/ScaleLink.h"
#include "shared/Files.h"
#include "shared/Messages.h"
#include "transfer/ProductImage.h"
#include "transfer/ui/Formspisok.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTimer>
#include <gtest/gtest.h>

using namespace ztk;
using namespace ztk::test;

namespace {

QList<SeedProduct> products(std::initializer_list<int> numbers)
{
    QList<SeedProduct> out;
    for (int n : numbers) {
        SeedProduct p;
        p.n = n;
        p.name = QStringLiteral("Товар %1").arg(n);
        p.price = n * 1.25;
        p.sk5 = 10000 + n;
        out.append(p);
    }
    return out;
}

QListWidgetItem *entryOf(int product)
{
    const QList<QListWidgetItem *> found =
        Form7->CheckListBox1->findItems(QString::number(product) + QLatin1Char(' '), Qt::MatchStartsWith);
    return found.isEmpty() ? nullptr : found.first();
}

void tick(int product, bool on = true)
{
    QListWidgetItem *item = entryOf(product);
    ASSERT_NE(item, nullptr) << product;
    item->setCheckState(on ? Qt::Checked : Qt::Unchecked); // as a click on the tick box
}

QList<int> filledSlots(const QByteArray &image)
{
    QList<int> out;
    for (int i = 0; (i + 1) * 256 <= image.size(); ++i)
        if (image.mid(i * 256, 256) != QByteArray(256, char(0xFF)))
            out.append(i + 1);
    return out;
}

// Ticks "Список", and while the list window is shown modally runs `inside` and closes it.
void openList(const std::function<void()> &inside)
{
    QTimer::singleShot(0, Form7, [inside] {
        inside();
        if (Form7->isVisible())
            Form7->N3Click();
    });
    Form1->CheckBox2->click();
}

TEST(ProductListWindow, TicksMemoAndForming)
{
    GuiFixture f;
    QList<int> numbers;
    for (int n = 1; n <= 300; ++n)
        numbers.append(n);
    QList<SeedProduct> rows;
    for (int n : numbers)
        rows += products({n});
    ASSERT_TRUE(f.seedProducts(rows)) << f.error().toStdString();
    ASSERT_TRUE(f.start());

    openList([&] {
        EXPECT_EQ(Form7->windowTitle(), QStringLiteral("Формирование списка товаров для весов"));
        EXPECT_EQ(Form7->CheckListBox1->count(), 300);
        EXPECT_EQ(Form7->CheckListBox1->item(11)->text(), QStringLiteral("12 Товар 12"));
        tick(12);
        tick(5);
        tick(40);
        EXPECT_EQ(Form7->Memo1->toPlainText(), QStringLiteral("12\n5\n40"));
        EXPECT_EQ(Form7->Label1->text(), QStringLiteral("3"));
        tick(5, false);
        EXPECT_EQ(Form7->Memo1->toPlainText(), QStringLiteral("12\n40"));
        EXPECT_EQ(Form7->Label1->text(), QStringLiteral("2"));

        // Fill up to 280; then one more is refused.
        for (int n = 2; Form7->list().tickedCount() < 280 && n <= 300; ++n)
            if (n != 12 && n != 40)
                tick(n);
        f.prompter.clear();
        tick(1);
        EXPECT_EQ(entryOf(1)->checkState(), Qt::Unchecked);
        EXPECT_EQ(Form7->Label1->text(), QStringLiteral("280"));
        EXPECT_EQ(f.prompter.texts(), QStringList{msg::text(msg::ListTooMany)});
        EXPECT_EQ(Form7->Memo1->toPlainText().split('\n').size(), 280);

        // A line the operator spoiled: the conversion error, nothing formed.
        f.prompter.clear();
        Form7->Memo1->setPlainText(Form7->Memo1->toPlainText().replace(QStringLiteral("12\n"), QStringLiteral("1x\n")));
        Form7->N1Click();
        EXPECT_EQ(f.prompter.texts(), QStringList{msg::text(msg::NotAnInteger).arg(QStringLiteral("1x"))});
        EXPECT_FALSE(Form7->list().formed());

        f.prompter.clear();
        Form7->N3Click();
        EXPECT_EQ(f.prompter.texts(), QStringList{msg::text(msg::ListNotFormed)});
    });
    EXPECT_FALSE(Form7->isVisible());
    EXPECT_TRUE(Form1->CheckBox2->isChecked());

    // Opening again empties the ticks and the memo.
    openList([&] {
        EXPECT_EQ(Form7->Label1->text(), QStringLiteral("0"));
        EXPECT_TRUE(Form7->Memo1->toPlainText().isEmpty());
        f.prompter.clear();
        Form7->N1Click();
        EXPECT_EQ(f.prompter.texts(), QStringList{msg::text(msg::ListNotFormed)});
    });
}

TEST(WriteProductsWindow, WritesTheSelectionAndTheList)
{
    GuiFixture f;
    ASSERT_TRUE(f.seedProducts(products({1, 2, 5, 12, 40, 300}))) << f.error().toStdString();
    ASSERT_TRUE(f.startSimulator()) << f.error().toStdString();
    ASSERT_TRUE(f.start());
    ASSERT_TRUE(f.showMain());
    ASSERT_TRUE(Form1->N5->isEnabled());
    f.prompter.clear();

    Form1->N5->trigger();
    EXPECT_TRUE(f.prompter.texts().isEmpty()) << f.prompter.texts().join('|').toStdString();
    EXPECT_FALSE(Mess1->isVisible());
    EXPECT_TRUE(Form1->DBGrid1->isVisible());
    EXPECT_EQ(Mess1->windowTitle(), msg::text(msg::WriteCaption));
    const QByteArray image = fileBytes(f.path(files::ProductImage));
    EXPECT_EQ(filledSlots(image), (QList<int>{1, 2, 5, 12, 40, 300}));
    ASSERT_NE(Form1->productImage(), nullptr);
    EXPECT_EQ(Form1->productImage()->nonEmptyCount(), 6);
    f.simulator()->stop();
    EXPECT_EQ(f.simulator()->stateFile(QStringLiteral("products.bin")), image);
    // The link check of the first showing, then the write.
    EXPECT_EQ(f.simulator()->log().left(4).toHex(), QByteArray("0d070600"));
}

TEST(WriteProductsWindow, ListNarrowsTheWrite)
{
    GuiFixture f;
    ASSERT_TRUE(f.seedProducts(products({1, 2, 5, 12, 40, 300}))) << f.error().toStdString();
    ASSERT_TRUE(f.startSimulator()) << f.error().toStdString();
    ASSERT_TRUE(f.start());
    ASSERT_TRUE(f.showMain());

    openList([&] {
        tick(12);
        tick(5);
        tick(40);
        Form7->N1Click();
    });
    f.prompter.clear();
    Form1->N5Click();
    EXPECT_TRUE(f.prompter.texts().isEmpty());
    EXPECT_EQ(filledSlots(fileBytes(f.path(files::ProductImage))), (QList<int>{5, 12, 40}));
    EXPECT_EQ(f.simulator()->waitForLog(4).left(4).toHex(), QByteArray("0d070300"));

    // "Список" unticked: the list is ignored.
    Form1->CheckBox2->click();
    EXPECT_FALSE(Form1->CheckBox2->isChecked());
    Form1->Button2Click();
    EXPECT_EQ(Form1->productImage()->nonEmptyCount(), 6);
}

TEST(WriteProductsWindow, TimeOutShowsTheStageAndClosesTheWaitWindow)
{
    GuiFixture f;
    ASSERT_TRUE(f.seedProducts(products({1, 2}))) << f.error().toStdString();
    ASSERT_TRUE(f.startSimulator({QStringLiteral("--fault"), QStringLiteral("no-ack=3")})) << f.error().toStdString();
    ASSERT_TRUE(f.start());
    ASSERT_TRUE(f.showMain());
    f.prompter.clear();
    f.clock.setStepMs(100); // each reading moves the clock on: the 15 s pass in 150 polls
    Form1->N5Click();
    f.clock.setStepMs(0);
    EXPECT_EQ(f.prompter.texts(), QStringList{msg::noLinkAtStage(3)});
    EXPECT_FALSE(Mess1->isVisible());
    EXPECT_FALSE(Form1->link().ack.on.load());
}

} // namespace
