// The main window read at its design size: every text whole in its box, the
// layout of the first showing the same as after a resize, nothing under the calendar.

#include "support/GuiFixture.h"

#include "app/ui/Pd1.h"
#include "app/ui/Pd1Layout.h"
#include "products/ProductTableModel.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <QTableView>
#include <gtest/gtest.h>

using namespace ztk;
using namespace ztk::test;

namespace {

// Where Qt draws a button's text: its contents beside the indicator.
int buttonTextWidth(const QAbstractButton *b, QStyle::SubElement contents)
{
    QStyleOptionButton opt;
    opt.initFrom(b);
    opt.text = b->text();
    return b->style()->subElementRect(contents, &opt, b).width();
}

QList<SeedProduct> wideProducts()
{
    return {
        {101, QStringLiteral("Колбаса докторская"), 1149, QStringLiteral("0"), QStringLiteral("21"), 20001,
         QStringLiteral("27.06.30"), QStringLiteral("2026-12-03 14:41:03")},
        {5000, QStringLiteral("Шоколад"), 88.8, QStringLiteral("1"), QStringLiteral("99"), 99999,
         QStringLiteral("28.12.31"), QStringLiteral("2026-12-28 18:48:58")},
    };
}

} // namespace

TEST(MainWindowFit, EveryTextFitsItsBoxAtTheDesignSize)
{
    GuiFixture f;
    ASSERT_TRUE(f.seedProducts(wideProducts()));
    ASSERT_TRUE(f.writePortConfig(QStringLiteral("ttyZZ9"), 115200));
    ASSERT_TRUE(f.start());
    Form1->resize(MainReferenceWidth, MainReferenceHeight);
    Form1->FormResize();
    Form1->setLinkState(false); // the longer of the two link texts

    int checked = 0;
    for (const ReferencePlace &place : mainWindowLayout()) {
        QWidget *w = Form1->findChild<QWidget *>(QLatin1String(place.name));
        ASSERT_NE(w, nullptr) << place.name;
        QString text;
        int room = 0;
        if (auto *label = qobject_cast<QLabel *>(w)) {
            text = label->text();
            room = label->contentsRect().width() - qMax(0, label->indent()) - 2 * label->margin();
        } else if (auto *radio = qobject_cast<QRadioButton *>(w)) {
            text = radio->text().remove(QLatin1Char('&'));
            room = buttonTextWidth(radio, QStyle::SE_RadioButtonContents);
        } else if (auto *check = qobject_cast<QCheckBox *>(w)) {
            text = check->text().remove(QLatin1Char('&'));
            room = buttonTextWidth(check, QStyle::SE_CheckBoxContents);
        } else {
            continue;
        }
        ++checked;
        EXPECT_LE(QFontMetrics(w->font()).horizontalAdvance(text), room)
            << place.name << " \"" << text.toStdString() << "\" in " << w->font().family().toStdString() << " "
            << w->font().pixelSize() << "px";
    }
    EXPECT_GE(checked, 30); // twelve radio buttons, the check box, the status and panel labels

    // The panel's boxes with the first record's values.
    for (const QLineEdit *box : {Form1->DBEdit8, Form1->DBEdit13, Form1->DBEdit7, Form1->DBEdit10, Form1->DBEdit6,
                                 Form1->DBEdit11}) {
        QStyleOptionFrame opt;
        opt.initFrom(box);
        opt.lineWidth = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, box);
        const int room = box->style()->subElementRect(QStyle::SE_LineEditContents, &opt, box).width() - 4;
        EXPECT_FALSE(box->text().isEmpty()) << box->objectName().toStdString();
        EXPECT_LE(QFontMetrics(box->font()).horizontalAdvance(box->text()), room)
            << box->objectName().toStdString() << " \"" << box->text().toStdString() << "\"";
    }

    // Every cell of the seeded rows and every title, in the grid's own margins.
    QTableView *grid = Form1->DBGrid1;
    const QAbstractItemModel *model = grid->model();
    ASSERT_EQ(model->rowCount(), 2);
    const QFontMetrics cells(grid->font());
    const QFontMetrics titles(grid->horizontalHeader()->font());
    const int cellMargin = 2 * (grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1) + 1;
    const int titleMargin = 2 * grid->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, grid->horizontalHeader());
    for (int c = 0; c < model->columnCount(); ++c) {
        const int width = grid->columnWidth(c);
        const QString title = model->headerData(c, Qt::Horizontal).toString();
        EXPECT_LE(titles.horizontalAdvance(title), width - titleMargin) << title.toStdString();
        if (c == ProductTableModel::ColName)
            continue; // names are longer than any column and run on into the panel
        for (int r = 0; r < model->rowCount(); ++r) {
            const QString cell = model->index(r, c).data().toString();
            EXPECT_FALSE(cell.isEmpty()) << r << "," << c;
            EXPECT_LE(cells.horizontalAdvance(cell), width - cellMargin) << cell.toStdString() << " in column " << c;
        }
    }
}

TEST(MainWindowFit, FirstLayoutIsTheLayoutAfterAResize)
{
    GuiFixture f;
    ASSERT_TRUE(f.writePortConfig(QStringLiteral("ttyZZ9"), 9600));
    f.clock.setStepMs(100); // the first link check gives up at once
    ASSERT_TRUE(f.start());
    ASSERT_TRUE(f.showMain());
    const QList<QWidget *> controls = Form1->centralWidget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    auto places = [&] {
        QList<QRect> r;
        for (const QWidget *w : controls)
            r << w->geometry();
        return r;
    };
    const QList<QRect> first = places();
    const QSize size = Form1->size();
    Form1->resize(size + QSize(40, 30));
    Form1->resize(size);
    const QList<QRect> again = places();
    ASSERT_EQ(first.size(), again.size());
    for (int i = 0; i < first.size(); ++i)
        EXPECT_EQ(first[i], again[i]) << controls[i]->objectName().toStdString();

    // The name box ends before the calendar, at the start size as at the design size.
    const QLineEdit *edit1 = Form1->Edit1;
    EXPECT_LT(Form1->mapFromGlobal(edit1->mapToGlobal(QPoint(edit1->width(), 0))).x(),
              Form1->mapFromGlobal(Form1->MonthCalendar1->mapToGlobal(QPoint(0, 0))).x());
    Form1->resize(MainReferenceWidth, MainReferenceHeight);
    EXPECT_LT(edit1->geometry().right(), Form1->MonthCalendar1->geometry().left());
}
