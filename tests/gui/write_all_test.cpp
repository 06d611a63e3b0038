// "Запись БДТ во все весы": the selection into every scale of the list at once, one
// gauge line per scale, and the scales that failed named.

#include "support/GuiFixture.h"
#include "support/SimProcess.h"

#include "ui/Mess.h"
#include "app/ui/Pd1.h"
#include "link/ScaleLink.h"
#include "link/ScaleList.h"
#include "shared/Files.h"
#include "shared/Messages.h"

#include <QAction>
#include <QProgressBar>
#include <QTimer>
#include <gtest/gtest.h>

using namespace ztk;
using namespace ztk::test;

TEST(WriteAllWindow, EveryListedScaleTakesTheImageAndFailuresAreNamed)
{
    GuiFixture f;
    const ScaledClock fast(50); // the waits of the scale threads are read from several threads
    f.context.clock = &fast;
    ASSERT_TRUE(f.seedProducts(numberedProducts({3, 17, 250}))) << f.error().toStdString();
    ASSERT_TRUE(f.startSimulator()) << f.error().toStdString(); // the window's own scale
    SimProcess net(Transport::Tcp);
    ASSERT_TRUE(net.start()) << qPrintable(net.error());
    ScaleList list;
    QString error;
    ASSERT_TRUE(list.add({QStringLiteral("counter"), f.simulator()->port(), 115200, 1}, error));
    ASSERT_TRUE(list.add({QStringLiteral("net"), net.port(), 115200, 2}, error));
    ASSERT_TRUE(list.save(f.dir(), error));
    ASSERT_TRUE(f.start());
    ASSERT_TRUE(Form1->N11->isEnabled());

    // While the scales work the window pumps its events: the wait window shows a line each.
    int lines = -1;
    QTimer::singleShot(0, Form1, [&lines] { lines = int(Mess1->lineGauges().size()); });
    f.prompter.clear();
    Form1->N11Click();
    EXPECT_EQ(lines, 2);
    EXPECT_TRUE(Mess1->lineGauges().isEmpty()); // the lines belong to the run
    EXPECT_EQ(f.prompter.texts(), QStringList{msg::text(msg::ScalesDone)});
    const QByteArray image = readFileBytes(f.path(files::ProductImage));
    ASSERT_EQ(image.size(), 1280000);
    net.stop();
    EXPECT_TRUE(net.stateFile(QStringLiteral("products.bin")) == image);

    // Nothing listens for the network scale now: it alone is named, with its stage, and
    // the window's own link is open again.
    f.prompter.clear();
    Form1->N11Click();
    ASSERT_EQ(f.prompter.texts().size(), 1);
    EXPECT_TRUE(f.prompter.texts()[0].startsWith(msg::text(msg::ScalesFailed).arg(QStringLiteral("net")) + '\n'))
        << qPrintable(f.prompter.texts()[0]);
    EXPECT_TRUE(f.prompter.texts()[0].contains(QStringLiteral("net: ") + msg::noLinkAtStage(1)));
    EXPECT_TRUE(Form1->link().portOpen());
    f.simulator()->stop();
    EXPECT_TRUE(f.simulator()->stateFile(QStringLiteral("products.bin")) == image);
}
