// "Приём итоговых данных из весов" from the main window and the totals window's
// commands, offscreen, against the simulator.

#include "support/GuiFixture.h"
#include "support/SimProcess.h"

#include "ui/Mess.h"
#include "app/ui/Pd1.h"
#include "link/ScaleLink.h"
#include "shared/Messages.h"
#include "totals/TotalsArchive.h"
#include "totals/TotalsText.h"
#include "totals/ui/Pdsd.h"

#include <QAction>
#include <QBarCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTableWidget>
#include <QTimer>
#include <gtest/gtest.h>

using namespace ztk;
using namespace ztk::test;

namespace {

// 260 and 4999 are in the table, 5 is not.
QList<SeedProduct> shop()
{
    SeedProduct milk;
    milk.n = 260;
    milk.name = QStringLiteral("Молоко");
    milk.prefix = QStringLiteral("0");
    SeedProduct bread;
    bread.n = 4999;
    bread.name = QStringLiteral("Хлеб");
    bread.prefix = QStringLiteral("21");
    return {milk, bread};
}

const QStringList Sales = {"--sale", "5:250:100:1", "--sale", "260:1500:4530:3", "--sale", "4999:7:123456:2",
                           "--sale", "300:1:1:0"}; // no weighings: not listed

// The labels of the chart's bars, most money last.
QStringList barLabels()
{
    const QList<QAbstractAxis *> axes = Form5->Chart1->chart()->axes(Qt::Vertical);
    auto *names = axes.isEmpty() ? nullptr : qobject_cast<QBarCategoryAxis *>(axes.first());
    return names ? names->categories() : QStringList();
}

QStringList rowOf(int row)
{
    QStringList cells;
    for (int col = 0; col < 5; ++col)
        cells << Form5->cell(row, col);
    return cells;
}

// Runs N4Click; once the totals window is shown modally runs `inside`, then closes it.
// False when the window was never shown. (The reception pumps events, so the check
// must wait for the window rather than run at the first pass of the loop.)
bool receiveAndShow(const std::function<void()> &inside)
{
    bool shown = false;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, Form5, [&] {
        if (!Form5->isVisible())
            return;
        poll.stop();
        shown = true;
        inside();
        if (Form5->isVisible())
            Form5->N3Click();
    });
    poll.start();
    Form1->N4Click();
    poll.stop();
    return shown;
}

QStringList keptFiles(const QString &dir)
{
    return QDir(QDir(dir).filePath(QString::fromLatin1(KeptTotalsFolder))).entryList(QDir::Files);
}

TEST(TotalsWindow, ReceivesShowsSavesAndClears)
{
    GuiFixture f;
    ASSERT_TRUE(f.seedProducts(shop())) << f.error().toStdString();
    ASSERT_TRUE(f.startSimulator(Sales)) << f.error().toStdString();
    ASSERT_TRUE(f.start());
    ASSERT_TRUE(f.showMain());
    ASSERT_TRUE(Form1->N4->isEnabled());
    f.prompter.clear();
    const QString saved = QDir(f.dir()).filePath(QStringLiteral("day"));

    const bool shown = receiveAndShow([&] {
        EXPECT_TRUE(Form5->isModal());
        EXPECT_FALSE(Mess1->isVisible());
        EXPECT_EQ(Mess1->windowTitle(), msg::text(msg::TotalsCaption));
        EXPECT_EQ(Form5->Edit1->text(), QStringLiteral("3"));
        EXPECT_EQ(Form5->StringGrid1->rowCount(), 4);
        EXPECT_EQ(rowOf(0), (QStringList{"5*", "0,250 кг", "1,00", "1", ""}));
        EXPECT_EQ(rowOf(1), (QStringList{"260", "1,500 кг", "45,30", "3", "Молоко"}));
        EXPECT_EQ(rowOf(2), (QStringList{"4999", "7 шт", "1234,56", "2", "Хлеб"}));
        EXPECT_EQ(rowOf(3), (QStringList{"", "", "1280,86", "", ""}));
        EXPECT_EQ(Form5->StringGrid1->horizontalHeaderItem(1)->text(), msg::text(msg::TotalsHeaderAmount));
        // "*" is explained where it is shown.
        EXPECT_EQ(Form5->StringGrid1->item(0, 0)->toolTip(), msg::text(msg::TotalsNotInTable));
        EXPECT_TRUE(Form5->StringGrid1->item(1, 0)->toolTip().isEmpty());
        EXPECT_TRUE(Form5->LabelNote->isVisible());
        EXPECT_EQ(Form5->LabelNote->text(), msg::text(msg::TotalsNotInTableNote));
        EXPECT_TRUE(barLabels().contains(QStringLiteral("Молоко  45,30")));

        // "Сохр. ИД": the file as the text logic writes it, with the default extension.
        f.prompter.file(saved);
        Form5->N4Click();
        const QByteArray received = totalsFileBytes(
            totalsLines(totalsHeaders(), {{"5*", "0,250", "1,00", "1", ""}, {"260", "1,500", "45,30", "3", "Молоко"},
                                          {"4999", "7", "1234,56", "2", "Хлеб"}}));
        EXPECT_EQ(fileBytes(saved + QStringLiteral(".id")), received);

        // "Очистка ИД товара": nothing selected, the sum row, then 260.
        Form5->N2Click();
        Form5->StringGrid1->setCurrentCell(3, 1);
        Form5->N2Click();
        EXPECT_EQ(f.prompter.texts(), QStringList(2, msg::text(msg::TotalsNothingSelected)));
        Form5->StringGrid1->setCurrentCell(1, 2);
        EXPECT_EQ(Form5->selectedProduct(), 260);
        Form5->N2Click();
        EXPECT_EQ(rowOf(1), (QStringList{"260", "очищено", "", "", "Молоко"}));
        EXPECT_EQ(rowOf(3)[2], QStringLiteral("1235,56"));
        EXPECT_FALSE(barLabels().join('|').contains(QStringLiteral("Молоко")));
        EXPECT_EQ(rowOf(2)[0], QStringLiteral("4999"));

        // The same row again, or picked anew: nothing to clear.
        f.prompter.clear();
        Form5->N2Click();
        Form5->StringGrid1->setCurrentCell(2, 1);
        Form5->StringGrid1->setCurrentCell(1, 1);
        Form5->N2Click();
        EXPECT_EQ(f.prompter.texts(), QStringList(2, msg::text(msg::TotalsNothingSelected)));

        // A save after the clear still writes what was received.
        f.prompter.file(saved + QStringLiteral("2.id"));
        Form5->N4Click();
        EXPECT_EQ(fileBytes(saved + QStringLiteral("2.id")), received);

        // "Очистка всех ИД": the save offered (cancelled here), then the rows not yet cleared.
        f.prompter.clear();
        Form5->N1Click();
        for (int row = 0; row < 3; ++row)
            EXPECT_EQ(rowOf(row)[1], QStringLiteral("очищено")) << row;
        EXPECT_EQ(rowOf(2)[4], QStringLiteral("Хлеб"));
        EXPECT_EQ(rowOf(3)[2], QStringLiteral("0,00"));
        EXPECT_TRUE(barLabels().isEmpty());
        EXPECT_EQ(Form5->Edit1->text(), QStringLiteral("3"));

        // Activated again, the rows stay cleared; a new reception shows its own counters.
        Form5->FormActivate();
        EXPECT_EQ(rowOf(1), (QStringList{"260", "очищено", "", "", "Молоко"}));
        Form5->setImage(Form5->image());
        Form5->FormActivate();
        EXPECT_EQ(rowOf(1), (QStringList{"260", "1,500 кг", "45,30", "3", "Молоко"}));
    });
    ASSERT_TRUE(shown);
    EXPECT_FALSE(Form5->isVisible());
    // The link check, the reception, 260, then the two products left.
    EXPECT_EQ(f.simulator()->waitForLog(13).toHex(), QByteArray("0d090b04010b05000b8713"));

    // The reception was kept, byte for byte what the scale sent.
    const QStringList kept = keptFiles(f.dir());
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(kept.first(), QStringLiteral("2026-12-08_14-05-33.bin"));
    f.simulator()->stop();
    const QByteArray sent = fileBytes(QDir(f.dir()).filePath(QStringLiteral("totals/") + kept.first()));
    EXPECT_EQ(sent.size(), 153600);
    EXPECT_NE(f.simulator()->stateFile(QStringLiteral("totals.bin")), sent); // cleared in the scale since
}

TEST(TotalsWindow, SilentScaleShowsTheMessageAndNoWindow)
{
    GuiFixture f;
    ASSERT_TRUE(f.seedProducts(shop())) << f.error().toStdString();
    ASSERT_TRUE(f.startSimulator({QStringLiteral("--fault"), QStringLiteral("silent")})) << f.error().toStdString();
    ASSERT_TRUE(f.start());
    f.clock.setStepMs(100); // each reading moves the clock on: 15 s pass in 150 polls
    ASSERT_TRUE(f.showMain());
    EXPECT_FALSE(Form1->N4->isEnabled()); // the link check failed
    f.prompter.clear();
    EXPECT_FALSE(receiveAndShow([] {}));
    EXPECT_EQ(f.prompter.texts(), QStringList{msg::text(msg::NoLink)});
    EXPECT_FALSE(Mess1->isVisible());
    EXPECT_FALSE(Form1->link().totals.on.load());
    EXPECT_TRUE(keptFiles(f.dir()).isEmpty());
}

TEST(TotalsWindow, ReceptionThatCannotBeKeptIsStillShown)
{
    GuiFixture f;
    ASSERT_TRUE(f.seedProducts(shop())) << f.error().toStdString();
    ASSERT_TRUE(f.startSimulator(Sales)) << f.error().toStdString();
    QFile blocker(QDir(f.dir()).filePath(QString::fromLatin1(KeptTotalsFolder)));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
    blocker.close();
    ASSERT_TRUE(f.start());
    ASSERT_TRUE(f.showMain());
    f.prompter.clear();
    QString count;
    EXPECT_TRUE(receiveAndShow([&] { count = Form5->Edit1->text(); }));
    EXPECT_EQ(count, QStringLiteral("3"));
    ASSERT_EQ(f.prompter.texts().size(), 1);
    EXPECT_TRUE(f.prompter.texts().first().startsWith(
        msg::text(msg::TotalsNotKept).arg(QDir(f.dir()).filePath(QString::fromLatin1(KeptTotalsFolder)))));
}

} // namespace
