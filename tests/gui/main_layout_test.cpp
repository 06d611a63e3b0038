// The main window's proportional layout, its commands (port settings, About, help)
// and the detail panel bound to the current record.

#include "support/GuiFixture.h"

#include "app/ui/About.h"
#include "ui/Help.h"
#include "app/ui/Pd1.h"
#include "app/ui/Pd1Layout.h"
#include "common/ui/Vl2.h"
#include "link/ScaleLink.h"
#include "link/ScaleList.h"
#include "link/ui/Selectp.h"
#include "products/ProductDataset.h"
#include "products/ProductFields.h"
#include "products/ProductStore.h"
#include "shared/Files.h"
#include "shared/Messages.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace ztk;
using namespace ztk::test;

namespace {

QString t(const char *utf8)
{
    return msg::text(utf8);
}

QRect scaled(int W, int H, int l, int tp, int w, int h)
{
    return QRect(W * l / 965, H * tp / 654, W * w / 965, H * h / 654);
}

QList<SeedProduct> twoProducts()
{
    return {
        {1, QStringLiteral("Сахар"), 89.5, QStringLiteral("1"), QStringLiteral("21"), 20001, QStringLiteral("27.06.30"),
         QStringLiteral("2026-11-30 08:00:00")},
        {2, QStringLiteral("Гречка"), 120, QStringLiteral("1"), QStringLiteral("21"), 20002, QStringLiteral("27.03.01"),
         QStringLiteral("2026-11-30 08:05:00")},
    };
}

QString storedName(const QString &dbPath, int n)
{
    ProductStore store;
    if (!store.open(dbPath))
        return QStringLiteral("<no store>");
    QSqlQuery q(store.database());
    q.exec(QStringLiteral("select Name from lm_t1 where N = %1").arg(n));
    const QString name = q.next() ? q.value(0).toString() : QStringLiteral("<no row>");
    q.finish();
    return name;
}

} // namespace

class MainWindowLayout : public ::testing::TestWithParam<QSize> {};

TEST_P(MainWindowLayout, ControlsFollowTheOuterSize)
{
    GuiFixture f;
    ASSERT_TRUE(f.writePortConfig(QStringLiteral("ttyZZ9"), 9600));
    ASSERT_TRUE(f.start());
    const QSize size = GetParam();
    Form1->resize(size);
    Form1->FormResize();
    const int W = Form1->frameGeometry().width();
    const int H = Form1->frameGeometry().height();
    ASSERT_EQ(QSize(W, H), size);

    EXPECT_EQ(Form1->DBGrid1->geometry(), scaled(W, H, 8, 112, 681, 457));
    EXPECT_EQ(Form1->MonthCalendar1->geometry(), scaled(W, H, 737, 0, 190, 153));
    EXPECT_EQ(Form1->Edit3->geometry(), scaled(W, H, 794, 156, 89, 28));
    EXPECT_EQ(Form1->GroupBox1->geometry(), scaled(W, H, 698, 192, 248, 329));
    EXPECT_EQ(Form1->DBEdit5->geometry(), scaled(W, H, 708, 312, 233, 24));
    EXPECT_EQ(Form1->DBEdit11->geometry(), scaled(W, H, 129, 256, 97, 32)); // inside the group
    EXPECT_EQ(Form1->GroupBox1->findChild<QLabel *>(QStringLiteral("Label14"))->geometry(),
              scaled(W, H, 127, 243, 99, 13));
    EXPECT_EQ(Form1->BitBtn1->geometry(), scaled(W, H, 697, 533, 257, 29));
    const int widths[] = {32, 195, 53, 51, 40, 63, 76, 103};
    for (int c = 0; c < 8; ++c)
        EXPECT_EQ(Form1->DBGrid1->columnWidth(c), W * widths[c] / 965) << c;

    // The tool row and the selection group keep their design places.
    EXPECT_EQ(Form1->SpeedButton2->geometry(), QRect(8, 2, 23, 22));
    EXPECT_EQ(Form1->SpeedButton8->geometry().left(), 190);
    EXPECT_EQ(Form1->RadioGroup1->geometry(), QRect(221, 0, 321, 97));

    // Every control of the reference table, each where the table puts it.
    for (const ReferencePlace &place : mainWindowLayout()) {
        const QWidget *w = Form1->findChild<QWidget *>(QLatin1String(place.name));
        ASSERT_NE(w, nullptr) << place.name;
        EXPECT_EQ(w->geometry(), place.scales ? scaled(W, H, place.rect.left(), place.rect.top(), place.rect.width(),
                                                       place.rect.height())
                                              : place.rect)
            << place.name;
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, MainWindowLayout,
                         ::testing::Values(QSize(965, 654),  // the reference: design values exactly
                                           QSize(1930, 654), // double width: double grid and columns
                                           QSize(20, 12)),   // no minimum size
                         [](const ::testing::TestParamInfo<QSize> &info) {
                             return std::to_string(info.param.width()) + "x" + std::to_string(info.param.height());
                         });

TEST(MainWindowLayoutReference, DesignValuesAndDoubleWidth)
{
    GuiFixture f;
    ASSERT_TRUE(f.writePortConfig(QStringLiteral("ttyZZ9"), 9600));
    ASSERT_TRUE(f.start());
    Form1->resize(965, 654);
    Form1->FormResize();
    EXPECT_EQ(Form1->DBGrid1->geometry(), QRect(8, 112, 681, 457));
    EXPECT_EQ(Form1->DBEdit6->geometry(), QRect(847, 405, 92, 32));
    EXPECT_EQ(Form1->DBGrid1->columnWidth(1), 195);
    Form1->resize(1930, 654);
    Form1->FormResize();
    EXPECT_EQ(Form1->DBGrid1->geometry(), QRect(16, 112, 1362, 457));
    EXPECT_EQ(Form1->DBGrid1->columnWidth(1), 390);
    EXPECT_EQ(Form1->MonthCalendar1->geometry().left(), 1474);
}

// A network port or a stable device path does not fit "fbdves.cfg": it goes into the
// scales list, which then holds two scales and so offers "Запись БДТ во все весы".
TEST(MainWindowCommands, LongPortGoesIntoTheScalesList)
{
    for (const QString &port : {QStringLiteral("tcp:127.0.0.1:1"),
                               QStringLiteral("/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0")}) {
        SCOPED_TRACE(port.toStdString());
        GuiFixture f;
        ASSERT_TRUE(f.writePortConfig(QStringLiteral("ttyZZ9"), 9600, 0, 3));
        ASSERT_TRUE(f.start());
        f.clock.setStepMs(100); // the port is tried before it is listed
        EXPECT_FALSE(Form1->N11->isEnabled());
        f.prompter.answer(Answer::Yes); // listed all the same
        QTimer::singleShot(0, [port] {
            SelectPort->ComboBox1->setEditText(port);
            SelectPort->Button2->click();
        });
        Form1->N1Click();
        EXPECT_TRUE(f.prompter.texts().contains(t(msg::ListPortSilent).arg(port)));
        EXPECT_EQ(Form1->portConfig().portName, QByteArray("ttyZZ9"));
        const ScaleList list = ScaleList::load(f.dir(), Form1->portConfig());
        ASSERT_EQ(list.scales().size(), 2);
        EXPECT_EQ(list.scales()[1].port, port);
        EXPECT_EQ(list.scales()[1].number, 3);
        EXPECT_TRUE(Form1->N11->isEnabled());
    }
}

TEST(MainWindowCommands, PortSettingsTakeTheNameWhicheverButtonCloses)
{
    GuiFixture f;
    ASSERT_TRUE(f.writePortConfig(QStringLiteral("ttyZZ9"), 9600, 2, 5));
    ASSERT_TRUE(f.start());
    f.prompter.clear();

    // "Отмена": only the port name is taken; a bad speed before it was refused.
    bool stayedOpen = false;
    QTimer::singleShot(0, [&] {
        EXPECT_EQ(SelectPort->ComboBox1->currentText(), QStringLiteral("ttyZZ9"));
        EXPECT_EQ(SelectPort->ComboBox2->currentText(), QStringLiteral("9600"));
        EXPECT_EQ(SelectPort->ComboBox5->currentText(), QStringLiteral("2"));
        SelectPort->ComboBox1->setEditText(QStringLiteral("ttyZZ8"));
        SelectPort->ComboBox2->setEditText(QStringLiteral("96OO"));
        SelectPort->ComboBox4->setCurrentIndex(2);
        SelectPort->Button2->click();
        stayedOpen = SelectPort->isVisible();
        SelectPort->Button3->click();
    });
    Form1->N1Click();
    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(f.prompter.texts().size(), 2);
    EXPECT_EQ(f.prompter.texts()[0], t(msg::NotAnInteger).arg(QStringLiteral("96OO")));
    EXPECT_TRUE(f.prompter.texts()[1].startsWith(t(msg::PortOpenFailed) + QStringLiteral("/dev/ttyZZ8: ")));
    EXPECT_EQ(Form1->portConfig().portName, QByteArray("ttyZZ8"));
    EXPECT_EQ(Form1->portConfig().baudRate, 9600);
    EXPECT_EQ(Form1->portConfig().parityIndex, 0);
    // The port that did not open stays named, and the link is not claimed.
    EXPECT_EQ(Form1->Label20->text(), t(msg::PortLabelNoLinkOn).arg(QStringLiteral("ttyZZ8")));
    EXPECT_EQ(Form1->Label2->text(), t(msg::BaudLabelNotSet));
    EXPECT_EQ(Form1->Label1->text(), t(msg::LinkDown));
    EXPECT_FALSE(Form1->N5->isEnabled());
    EXPECT_TRUE(Form1->link().readerRunning());

    // "Выполнить": speed, parity and stop bits are taken; the parity shows again next time.
    QTimer::singleShot(0, [&] {
        SelectPort->ComboBox2->setEditText(QStringLiteral("19200"));
        SelectPort->ComboBox4->setCurrentIndex(1);
        SelectPort->ComboBox5->setCurrentIndex(0);
        SelectPort->Button2->click();
    });
    Form1->N1Click();
    EXPECT_EQ(Form1->portConfig().baudRate, 19200);
    EXPECT_EQ(Form1->portConfig().parityIndex, 1);
    EXPECT_EQ(Form1->portConfig().stopBitsIndex, 0);
    QString parityShown;
    QTimer::singleShot(0, [&] {
        parityShown = SelectPort->ComboBox4->currentText();
        SelectPort->Button3->click();
    });
    Form1->N1Click();
    EXPECT_EQ(parityShown, t("Нечётность"));

    // Closing writes what was chosen; the parity never goes to the file.
    f.stop();
    PortConfig written;
    ASSERT_TRUE(written.load(f.path(files::PortConfig)));
    EXPECT_EQ(written.portName, QByteArray("ttyZZ8"));
    EXPECT_EQ(written.baudRate, 19200);
    EXPECT_EQ(written.stopBitsIndex, 0);
    EXPECT_EQ(written.lastScaleNumber, 5);
    EXPECT_EQ(written.parityIndex, 0);
}

TEST(MainWindowCommands, AboutBoxAndHelp)
{
    GuiFixture f;
    ASSERT_TRUE(f.writePortConfig(QStringLiteral("ttyZZ9"), 9600));
    ASSERT_TRUE(f.start());

    bool modal = false;
    QTimer::singleShot(0, [&] {
        modal = AboutProgram1->isVisible() && AboutProgram1->isModal();
        AboutProgram1->OKButton->click();
    });
    Form1->N8Click();
    EXPECT_TRUE(modal);
    EXPECT_EQ(AboutProgram1->windowTitle(), t("О программе"));
    EXPECT_EQ(AboutProgram1->ProductName->text(), t("Управление  БД и ЗТК"));

    Form1->N9Click();
    ASSERT_NE(helpBrowser(), nullptr);
    EXPECT_TRUE(helpBrowser()->source().fragment().isEmpty());
    EXPECT_TRUE(helpBrowser()->toPlainText().contains(t("Содержание")));
    showHelp(QStringLiteral("Topic80"));
    EXPECT_EQ(helpBrowser()->source().fragment(), QStringLiteral("Topic80"));
}

TEST(MainWindowPanel, TypedTextIsStoredByAMoveAndDroppedByClosing)
{
    GuiFixture f;
    ASSERT_TRUE(f.seedProducts(twoProducts()));
    ASSERT_TRUE(f.writePortConfig(QStringLiteral("ttyZZ9"), 9600));
    ASSERT_TRUE(f.start());
    ProductDataset *ds = Form1->dataset();
    ASSERT_EQ(ds->position(), 1);
    EXPECT_EQ(Form1->DBEdit1->text(), t("Сахар"));
    EXPECT_EQ(Form1->DBEdit10->text(), QStringLiteral("89,5"));

    // Typing puts the record into edit state; moving in the grid stores it.
    Form1->DBEdit1->selectAll();
    typeInto(Form1->DBEdit1, t("Сахар-песок"));
    Form1->DBEdit10->selectAll();
    typeInto(Form1->DBEdit10, QStringLiteral("91,25"));
    EXPECT_EQ(ds->state(), DatasetState::Edit);
    QItemSelectionModel *sel = Form1->DBGrid1->selectionModel();
    sel->setCurrentIndex(Form1->DBGrid1->model()->index(1, 0), QItemSelectionModel::ClearAndSelect);
    EXPECT_EQ(ds->position(), 2);
    EXPECT_EQ(Form1->DBEdit1->text(), t("Гречка"));
    EXPECT_EQ(storedName(f.path(files::ProductStore), 1), t("Сахар-песок"));
    EXPECT_DOUBLE_EQ(ds->rowValue(0, fld::Price).toDouble(), 91.25);

    // The dataset moving makes the grid follow.
    ds->first();
    EXPECT_EQ(sel->currentIndex().row(), 0);

    // A number above 5000 is refused when the record is stored, before the other fields.
    Form1->DBEdit8->selectAll();
    typeInto(Form1->DBEdit8, QStringLiteral("5001"));
    f.prompter.clear();
    ds->post();
    EXPECT_EQ(f.prompter.texts().value(0), t(msg::NumberAbove5000));
    EXPECT_EQ(ds->integer(fld::N), 3); // renumbered: records + 1

    // A pending edit is dropped at closing.
    Form1->DBEdit1->selectAll();
    typeInto(Form1->DBEdit1, QStringLiteral("never stored"));
    f.stop();
    EXPECT_EQ(storedName(f.path(files::ProductStore), 3), t("Сахар-песок"));
}

TEST(MainWindowPanel, TextThatDoesNotConvertStopsTheStoreAndKeepsWhatWasTyped)
{
    GuiFixture f;
    ASSERT_TRUE(f.seedProducts(twoProducts()));
    ASSERT_TRUE(f.writePortConfig(QStringLiteral("ttyZZ9"), 9600));
    ASSERT_TRUE(f.start());
    ProductDataset *ds = Form1->dataset();

    Form1->DBEdit1->selectAll();
    typeInto(Form1->DBEdit1, t("Сахар-рафинад"));
    Form1->DBEdit7->selectAll();
    typeInto(Form1->DBEdit7, QStringLiteral("12a"));
    f.prompter.clear();
    QItemSelectionModel *sel = Form1->DBGrid1->selectionModel();
    sel->setCurrentIndex(Form1->DBGrid1->model()->index(1, 0), QItemSelectionModel::ClearAndSelect);

    // The move is refused with the conversion error; nothing typed is lost or stored.
    ASSERT_EQ(f.prompter.texts().size(), 1);
    EXPECT_TRUE(f.prompter.texts().value(0).contains(QStringLiteral("12a")));
    EXPECT_EQ(ds->position(), 1);
    EXPECT_EQ(ds->state(), DatasetState::Edit);
    EXPECT_EQ(Form1->DBEdit7->text(), QStringLiteral("12a"));
    EXPECT_EQ(Form1->DBEdit1->text(), t("Сахар-рафинад"));
    EXPECT_EQ(storedName(f.path(files::ProductStore), 1), t("Сахар"));

    // Mended, the same move stores both boxes.
    Form1->DBEdit7->selectAll();
    typeInto(Form1->DBEdit7, QStringLiteral("123"));
    sel->setCurrentIndex(Form1->DBGrid1->model()->index(1, 0), QItemSelectionModel::ClearAndSelect);
    EXPECT_EQ(ds->position(), 2);
    EXPECT_EQ(storedName(f.path(files::ProductStore), 1), t("Сахар-рафинад"));
    EXPECT_EQ(ds->rowValue(0, fld::SK5).toInt(), 123);
}

TEST(MainWindowCommands, ActivationRefreshesTheCountAndFocusesTheGrid)
{
    GuiFixture f;
    ASSERT_TRUE(f.seedProducts(twoProducts()));
    ASSERT_TRUE(f.writePortConfig(QStringLiteral("ttyZZ9"), 9600));
    f.clock.setStepMs(100);
    ASSERT_TRUE(f.start());
    ASSERT_TRUE(f.showMain());
    EXPECT_EQ(Form1->Label9->text(), t("Записей 2"));

    // Another window narrows the selection behind the main window's back.
    Form1->N7Click();
    QApplication::setActiveWindow(Form2);
    ASSERT_TRUE(QTest::qWaitFor([] { return Form2->isActiveWindow(); }));
    ASSERT_TRUE(Form1->dataset()->open(QStringLiteral("select * from lm_t1 where N = 2 order by N")));
    EXPECT_EQ(Form1->Label9->text(), t("Записей 2"));

    QApplication::setActiveWindow(Form1);
    ASSERT_TRUE(QTest::qWaitFor([] { return Form1->isActiveWindow(); }));
    EXPECT_EQ(Form1->Label9->text(), t("Записей 1"));
    EXPECT_TRUE(Form1->DBGrid1->hasFocus());
}
