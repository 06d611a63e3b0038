// The best-before dialog at its size: the calendar shows every weekday column, its
// header and its six weeks whole, beside the dialog's other controls, at the
// program's font and at a larger one.

#include "support/GuiFixture.h"

#include "products/ui/Godendo.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QCalendarWidget>
#include <QDate>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

using namespace ztk::test;

namespace {

TEST(BestBeforeDialog, CalendarShowsEveryColumnWhole)
{
    guiApplication();
    const QFont program = QApplication::font();
    const auto restore = qScopeGuard([&] { QApplication::setFont(program); });
    QFont larger = program;
    larger.setPointSizeF(program.pointSizeF() * 1.5);
    ASSERT_GT(QFontMetrics(larger).height(), QFontMetrics(program).height());

    for (const QFont &font : {program, larger}) {
        QApplication::setFont(font);
        const std::string size = std::to_string(font.pointSizeF());
        TFormGodenDo dialog;
        dialog.showFor(QDate(2026, 8, 31), nullptr); // a month of six weeks
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        EXPECT_GE(dialog.width(), 363) << size;
        EXPECT_GE(dialog.height(), 167) << size;

        QCalendarWidget *calendar = dialog.MonthCalendar1;
        auto *view = calendar->findChild<QTableView *>();
        ASSERT_NE(view, nullptr);
        const QAbstractItemModel *model = view->model();
        ASSERT_EQ(model->columnCount(), 7) << size;
        ASSERT_EQ(model->rowCount(), 7) << size; // the weekday names, then six weeks
        const QHeaderView *columns = view->horizontalHeader();
        const QFontMetrics fm(view->font());
        for (int c = 0; c < 7; ++c) {
            const int left = columns->sectionViewportPosition(c);
            EXPECT_GE(left, 0) << size << " column " << c;
            EXPECT_LE(left + columns->sectionSize(c), view->viewport()->width()) << size << " column " << c;
            const QString weekday = model->index(0, c).data().toString();
            EXPECT_FALSE(weekday.isEmpty()) << c;
            for (const QString &text : {weekday, QStringLiteral("30")})
                EXPECT_LE(fm.horizontalAdvance(text), columns->sectionSize(c)) << size << " column " << c;
        }
        for (int r = 0; r < 7; ++r) {
            EXPECT_GE(view->rowViewportPosition(r), 0) << size << " row " << r;
            EXPECT_LE(view->rowViewportPosition(r) + view->rowHeight(r), view->viewport()->height())
                << size << " row " << r;
        }

        // Nothing else of the dialog lies over the calendar, nor outside the dialog.
        const QRect cal = calendar->geometry();
        EXPECT_TRUE(dialog.rect().contains(cal)) << size;
        for (QWidget *w : std::initializer_list<QWidget *>{dialog.Label1, dialog.Edit1, dialog.Button3, dialog.Button2}) {
            EXPECT_FALSE(w->geometry().intersects(cal)) << size << " " << w->objectName().toStdString();
            EXPECT_TRUE(dialog.rect().contains(w->geometry())) << size << " " << w->objectName().toStdString();
        }
    }
}

} // namespace
