// "Синхронизировать весы" and the window "Состояние весов": every listed scale brought
// in step at once, and the standings following the table as records are stored.

#include "support/GuiFixture.h"
#include "support/SimLog.h"
#include "support/SimProcess.h"

#include "app/ui/Pd1.h"
#include "link/ScaleList.h"
#include "products/ProductDataset.h"
#include "shared/Messages.h"
#include "transfer/ui/Vlsost.h"

#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTableWidget>
#include <QTimer>
#include <gtest/gtest.h>

using namespace ztk;
using namespace ztk::test;

namespace {

QString standing(int row)
{
    return FormSost->StringGrid1->item(row, TFormSost::ColStanding)->text();
}

// Opens the standings window and runs `inside` while it is shown.
void inStandings(const std::function<void()> &inside)
{
    QTimer::singleShot(0, FormSost, [inside] {
        inside();
        FormSost->accept();
    });
    Form1->N13->trigger();
}

} // namespace

TEST(SyncWindows, EveryScaleInStepAndTheStandingsFollowTheTable)
{
    GuiFixture f;
    const ScaledClock fast(50);
    f.context.clock = &fast;
    ASSERT_TRUE(f.seedProducts(numberedProducts({3, 17, 250}))) << f.error().toStdString();
    ASSERT_TRUE(f.startSimulator()) << f.error().toStdString();
    SimProcess net(Transport::Tcp);
    ASSERT_TRUE(net.start({QStringLiteral("--number"), QStringLiteral("2")})) << qPrintable(net.error());
    ScaleList list;
    QString error;
    ASSERT_TRUE(list.add({QStringLiteral("counter"), f.simulator()->port(), 115200, 1}, error));
    ASSERT_TRUE(list.add({QStringLiteral("net"), net.port(), 115200, 2}, error));
    ASSERT_TRUE(list.save(f.dir(), error));
    ASSERT_TRUE(f.start());
    ASSERT_TRUE(f.showMain());

    // Nothing is known yet: every product waits for both scales.
    inStandings([] {
        ASSERT_EQ(FormSost->rowCount(), 2);
        EXPECT_EQ(standing(0), msg::text(msg::StandingWaiting).arg(3).arg(0).arg(4997));
    });

    f.prompter.clear();
    Form1->N12Click();
    EXPECT_TRUE(f.prompter.texts().isEmpty()) << f.prompter.texts().join('|').toStdString();
    EXPECT_EQ(Form1->statusBar()->currentMessage(), msg::text(msg::SyncAllDone).arg(2));
    EXPECT_EQ(writtenSlots(parseSentCommands(net.log())), (std::vector<int>{2, 16, 249}));

    // A price stored in the main window waits for both scales, alone.
    inStandings([&] {
        EXPECT_EQ(standing(1), msg::text(msg::StandingWaiting).arg(0).arg(0).arg(4997));
        retype(Form1->DBEdit10, QStringLiteral("9,99"));
        Form1->BitBtn1Click();
        EXPECT_EQ(standing(0), msg::text(msg::StandingWaiting).arg(1).arg(0).arg(4997));
        EXPECT_EQ(standing(1), msg::text(msg::StandingWaiting).arg(1).arg(0).arg(4997));
        // Synced from the window, the picked scale alone.
        const qsizetype at = net.log().size();
        FormSost->StringGrid1->selectRow(1);
        FormSost->Button2Click();
        EXPECT_EQ(writtenSlots(parseSentCommands(net.log().mid(at))), std::vector<int>{2});
        EXPECT_EQ(standing(1), msg::text(msg::StandingWaiting).arg(0).arg(0).arg(4997));
        EXPECT_EQ(standing(0), msg::text(msg::StandingWaiting).arg(1).arg(0).arg(4997));
        EXPECT_TRUE(FormSost->Memo1->toPlainText().startsWith(
            QStringLiteral("net: ") + msg::text(msg::SyncDone).arg(1).arg(0).arg(2).arg(4997)))
            << FormSost->Memo1->toPlainText().toStdString();
    });
}
