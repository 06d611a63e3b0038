// The help window opened with F1 from a modal window: over that window, reachable
// and closed with Esc; opened from a window that is not modal, a window of its own.

#include "support/GuiFixture.h"

#include "app/ui/Pd1.h"
#include "common/ui/Pdop.h"
#include "ui/Help.h"

#include <QApplication>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

#include <functional>

using namespace ztk;
using namespace ztk::test;

namespace {

// Shows `dialog` modally; once it is up runs `inside`, then closes it.
bool whileModal(QDialog *dialog, const std::function<void()> &inside)
{
    bool shown = false;
    QTimer::singleShot(0, dialog, [&] {
        shown = dialog->isVisible() && QApplication::activeModalWidget() == dialog;
        if (shown)
            inside();
        dialog->reject();
    });
    dialog->exec();
    return shown;
}

TEST(HelpWindow, OverAModalWindowReachableAndClosedByEsc)
{
    GuiFixture f;
    ASSERT_TRUE(f.writePortConfig(QStringLiteral("ttyZZ9"), 9600));
    ASSERT_TRUE(f.start());
    showHelp(); // already open, behind what comes next
    ASSERT_NE(helpWindow(), nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(helpWindow()));

    for (int round = 0; round < 2; ++round) {
        const bool shown = whileModal(Form4, [&] {
            ASSERT_TRUE(QTest::qWaitForWindowActive(Form4));
            // Through the window system, as the operator's key comes.
            QTest::keyClick(Form4->windowHandle(), Qt::Key_F1);
            QWidget *help = helpWindow();
            ASSERT_TRUE(help->isVisible());
            EXPECT_EQ(helpBrowser()->source().fragment(), QStringLiteral("Topic170"));
            EXPECT_EQ(help->windowHandle()->transientParent(), Form4->windowHandle());
            EXPECT_TRUE(QTest::qWaitForWindowActive(help));
            EXPECT_EQ(QApplication::activeWindow(), help);

            QTest::keyClick(help->windowHandle(), Qt::Key_Escape);
            EXPECT_FALSE(help->isVisible());
            EXPECT_TRUE(Form4->isVisible()); // the Esc was the help's alone
        });
        EXPECT_TRUE(shown) << round;
    }

    // Opened from the main window again: a window of its own, no longer tied to the dialog.
    showHelp(QStringLiteral("Topic80"));
    EXPECT_TRUE(helpWindow()->isVisible());
    EXPECT_EQ(helpWindow()->windowHandle()->transientParent(), nullptr);
}

} // namespace
