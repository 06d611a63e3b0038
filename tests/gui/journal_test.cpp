// The journal from the windows: a row for each exchange the windows run, the window
// "Журнал обмена" with its filters, and the status bar's scales at a glance.

#include "support/GuiFixture.h"
#include "support/SimProcess.h"

#include "app/ui/Pd1.h"
#include "link/ScaleList.h"
#include "products/ProductStore.h"
#include "shared/Messages.h"
#include "transfer/ExchangeJournal.h"
#include "transfer/ui/Vljourn.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTableWidget>
#include <QTimer>
#include <gtest/gtest.h>

using namespace ztk;
using namespace ztk::test;

namespace {

std::vector<JournalRow> journalRows(JournalFilter filter = {})
{
    std::vector<JournalRow> rows;
    EXPECT_TRUE(ExchangeJournal::list(Form1->workspace().store(), filter, rows))
        << Form1->workspace().store().errorText().toStdString();
    return rows;
}

QString summary(int inStep, int waiting, int unreachable)
{
    return msg::text(msg::ScalesSummary).arg(inStep).arg(waiting).arg(unreachable);
}

} // namespace

TEST(JournalWindows, WindowExchangesAreJournalledShownAndSummed)
{
    GuiFixture f;
    const ScaledClock fast(50); // a scale that does not answer is given up in a fiftieth of the time
    f.context.clock = &fast;
    ASSERT_TRUE(f.seedProducts(numberedProducts({3, 17, 250}))) << f.error().toStdString();
    ASSERT_TRUE(f.startSimulator()) << f.error().toStdString();
    SimProcess net(Transport::Tcp);
    ASSERT_TRUE(net.start()) << qPrintable(net.error());
    ScaleList list;
    QString error;
    ASSERT_TRUE(list.add({QStringLiteral("counter"), f.simulator()->port(), 115200, 1}, error));
    ASSERT_TRUE(list.add({QStringLiteral("net"), net.port(), 115200, 1}, error));
    ASSERT_TRUE(list.add({QStringLiteral("gone"), QStringLiteral("tcp:127.0.0.1:1"), 115200, 1}, error));
    ASSERT_TRUE(list.save(f.dir(), error));
    ASSERT_TRUE(f.start());
    ASSERT_TRUE(f.showMain());
    const size_t atStart = journalRows().size(); // the link check of the start-up

    // A write from the main window.
    f.prompter.clear();
    Form1->N5Click();
    EXPECT_TRUE(f.prompter.texts().isEmpty()) << f.prompter.texts().join('|').toStdString();
    std::vector<JournalRow> rowsNow = journalRows();
    ASSERT_EQ(rowsNow.size(), atStart + 1);
    const JournalRow wrote = rowsNow[atStart];
    EXPECT_EQ(wrote.operation, "write-products");
    EXPECT_EQ(wrote.scale, "counter");
    EXPECT_EQ(wrote.written, 3);
    EXPECT_TRUE(wrote.ok);
    EXPECT_EQ(wrote.message, msg::text(msg::WriteDone).arg(3));

    // "Синхронизировать весы": one row a scale; the one that is gone failed.
    f.prompter.clear();
    Form1->N12Click();
    rowsNow = journalRows();
    ASSERT_EQ(rowsNow.size(), atStart + 4);
    int syncedOk = 0;
    for (std::size_t k = atStart + 1; k < rowsNow.size(); ++k) {
        EXPECT_EQ(rowsNow[k].operation, "sync");
        EXPECT_EQ(rowsNow[k].ok, rowsNow[k].scale != "gone") << rowsNow[k].scale.toStdString();
        syncedOk += rowsNow[k].ok ? 1 : 0;
    }
    EXPECT_EQ(syncedOk, 2);

    // The status bar: two in step, one unreachable; a stored price makes two wait.
    Form1->refreshScalesSummary();
    EXPECT_TRUE(Form1->Label21->text().startsWith(summary(2, 0, 1))) << Form1->Label21->text().toStdString();
    EXPECT_TRUE(Form1->Label21->text().contains(msg::text(msg::OutcomeFailed)) ||
                Form1->Label21->text().contains(msg::text(msg::OutcomeOk)));
    retype(Form1->DBEdit10, QStringLiteral("9,99"));
    Form1->BitBtn1Click();
    Form1->refreshScalesSummary();
    EXPECT_TRUE(Form1->Label21->text().startsWith(summary(0, 2, 1))) << Form1->Label21->text().toStdString();

    // A write the scale does not take: the scale is gone.
    f.simulator()->stop();
    f.prompter.clear();
    Form1->N5Click();
    EXPECT_FALSE(f.prompter.texts().isEmpty());
    rowsNow = journalRows();
    ASSERT_EQ(rowsNow.size(), atStart + 5);
    EXPECT_EQ(rowsNow.back().operation, "write-products");
    EXPECT_FALSE(rowsNow.back().ok);
    EXPECT_EQ(rowsNow.back().message, f.prompter.texts().value(0));

    // The journal's window: every row, then the failed ones, then one scale.
    QTimer::singleShot(0, FormJourn, [&] {
        EXPECT_EQ(FormJourn->StringGrid1->rowCount(), int(rowsNow.size()));
        EXPECT_EQ(FormJourn->StringGrid1->item(int(atStart), 6)->text(), QStringLiteral("write-products"));
        FormJourn->CheckFailed->setChecked(true);
        EXPECT_EQ(FormJourn->StringGrid1->rowCount(), 2 + int(std::count_if(rowsNow.begin(), rowsNow.begin() + atStart,
                                                                            [](const JournalRow &r) { return !r.ok; })));
        EXPECT_EQ(FormJourn->StringGrid1->item(0, TFormJourn::ColOutcome)->text(), msg::text(msg::OutcomeFailed));
        FormJourn->CheckFailed->setChecked(false);
        const int net = FormJourn->ComboScale->findText(QStringLiteral("net"));
        ASSERT_GT(net, 0);
        FormJourn->ComboScale->setCurrentIndex(net);
        FormJourn->refresh();
        EXPECT_EQ(FormJourn->StringGrid1->rowCount(), 1);
        EXPECT_EQ(FormJourn->Label1->text(), msg::text(msg::JournalCount).arg(1));
        FormJourn->reject();
    });
    Form1->N14->trigger();
}
