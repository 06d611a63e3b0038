// The main window's start-up, first link check and closing, offscreen.

#include "support/GuiFixture.h"
#include "support/SimProcess.h"

#include "app/ui/About.h"
#include "ui/Mess.h"
#include "app/ui/Pd1.h"
#include "common/ui/Fi.h"
#include "common/ui/Pdop.h"
#include "common/ui/Vl2.h"
#include "link/ui/Selectp.h"
#include "products/ui/Godendo.h"
#include "products/ui/Vlprint.h"
#include "totals/ui/Pdsd.h"
#include "transfer/ui/Formspisok.h"
#include "transfer/ui/Sohrdata.h"
#include "transfer/ui/Vlreadbd.h"
#include "products/ProductDataset.h"
#include "shared/Files.h"
#include "shared/Messages.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QCalendarWidget>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableView>

#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>

using namespace ztk;
using namespace ztk::test;

namespace {

QString t(const char *utf8)
{
    return msg::text(utf8);
}

QList<SeedProduct> threeProducts()
{
    return {
        {1, QStringLiteral("Колбаса докторская"), 459.9, QStringLiteral("0"), QStringLiteral("20"), 10001,
         QStringLiteral("26.12.20"), QStringLiteral("2026-12-01 10:00:00")},
        {2, QStringLiteral("Сыр российский"), 612.5, QStringLiteral("0"), QStringLiteral("21"), 10002,
         QStringLiteral("27.01.15"), QStringLiteral("2026-12-02 11:30:00")},
        {7, QStringLiteral("Хлеб бородинский"), 54, QStringLiteral("1"), QStringLiteral("25"), 10007, QString(),
         QStringLiteral("2026-12-03 09:15:00")},
    };
}

std::vector<bool> exchangeItemsEnabled()
{
    return {Form1->N7->isEnabled(), Form1->N5->isEnabled(), Form1->N10->isEnabled(), Form1->N4->isEnabled()};
}

const std::vector<bool> AllOn{true, true, true, true};
const std::vector<bool> AllOff{false, false, false, false};

} // namespace

TEST(MainWindowStartup, ComesUpWithTableVersionAndLinkToTheScale)
{
    GuiFixture f;
    ASSERT_TRUE(f.seedProducts(threeProducts())) << f.error().toStdString();
    ASSERT_TRUE(f.startSimulator()) << f.error().toStdString();
    f.clock.setStepMs(10);
    ASSERT_TRUE(f.start());
    ASSERT_TRUE(f.showMain());

    EXPECT_TRUE(f.prompter.texts().isEmpty()) << f.prompter.texts().join(QLatin1Char('|')).toStdString();
    const QWidget *windows[] = {Form1, Form2, AboutProgram1, Form4, Form5, Mess1, Form6,
                                Form7, Form8, SelectPort, FormGodenDo, FormPrint, FormSD};
    for (const QWidget *w : windows)
        EXPECT_NE(w, nullptr);
    EXPECT_EQ(Form1->Label9->text(), t("Записей 3"));
    EXPECT_EQ(Form1->DBGrid1->model()->rowCount(), 3);
    EXPECT_EQ(Form1->windowTitle(), t("БД для ЗТК-М - Ver 1.3.1.14"));
    EXPECT_EQ(AboutProgram1->Version->text(), QStringLiteral("Version 1.3.1.14"));

    // Link: the port of the simulator, its speed, and the answered link check.
    QString port = f.simulator()->port();
    EXPECT_EQ(Form1->Label20->text(), port.mid(5));
    EXPECT_EQ(Form1->Label2->text(), QStringLiteral("115200"));
    EXPECT_EQ(Form1->Label1->text(), t(msg::LinkUp));
    EXPECT_EQ(exchangeItemsEnabled(), AllOn);
    EXPECT_FALSE(Mess1->isVisible());

    const QStringList titles{QStringLiteral("N"), t("Наименование"), t("ШК5"),      t("Цена"),
                             t("Прф"),            t("ТипТов"),       t("Годен до"), t("Дата КОРР")};
    for (int c = 0; c < titles.size(); ++c)
        EXPECT_EQ(Form1->DBGrid1->model()->headerData(c, Qt::Horizontal).toString(), titles[c]) << c;

    // Hidden at start: the field boxes without a label and the selection boxes.
    for (QWidget *w : std::initializer_list<QWidget *>{Form1->DBEdit61, Form1->DBEdit9, Form1->DBEdit14, Form1->Edit1,
                                                        Form1->Edit2, Form1->Edit4, Form1->Edit5, Form1->CSpinEdit1})
        EXPECT_TRUE(w->isHidden()) << w->objectName().toStdString();
    EXPECT_EQ(Form1->DBEdit13->maxLength(), 2);
    EXPECT_EQ(Form1->CSpinEdit1->maximum(), 99);

    // The calendar and the date box hold today of the clock; the panel the first record.
    EXPECT_EQ(Form1->MonthCalendar1->selectedDate(), QDate(2026, 12, 8));
    EXPECT_EQ(Form1->Edit2->text(), QStringLiteral("26.12.08"));
    EXPECT_EQ(Form1->DBEdit1->text(), t("Колбаса докторская"));
    EXPECT_EQ(Form1->DBEdit10->text(), QStringLiteral("459,9"));
    EXPECT_EQ(Form1->DBEdit6->text(), QStringLiteral("20.12.26"));

    // The scale-number query answers into the common-data window, as a signed number.
    f.stop();
    ASSERT_TRUE(f.startSimulator({QStringLiteral("--number"), QStringLiteral("200")}));
    ASSERT_TRUE(f.start());
    ASSERT_TRUE(f.showMain());
    Form1->Button1Click();
    EXPECT_EQ(Form2->Edit3->text(), QStringLiteral("-56"));
}

TEST(MainWindowStartup, WithoutConfigUsesCom1AndCloseWritesTheFile)
{
    GuiFixture f;
    ASSERT_TRUE(f.start());

    // COM1 with baud 0 cannot be opened.
    // One box for the port: the program's line, then the device and the system's reason.
    ASSERT_EQ(f.prompter.texts().size(), 2);
    EXPECT_EQ(f.prompter.texts()[0], t(msg::CfgMissing));
    EXPECT_TRUE(f.prompter.texts()[1].startsWith(t(msg::PortOpenFailed) + QStringLiteral("/dev/ttyS0"))) << qPrintable(f.prompter.texts()[1]);
    EXPECT_EQ(Form1->portConfig().portName, QByteArray("COM1"));
    EXPECT_EQ(Form1->portConfig().lastScaleNumber, 1);
    EXPECT_EQ(Form1->Label20->text(), t(msg::PortLabelNoLinkOn).arg(QStringLiteral("COM1")));
    EXPECT_EQ(Form1->Label2->text(), t(msg::BaudLabelNotSet));
    EXPECT_EQ(exchangeItemsEnabled(), AllOff);
    EXPECT_EQ(Form1->Label9->text(), t("Записей 0"));

    f.stop();
    QByteArray expected("COM1");
    expected += QByteArray(6, '\0'); // rest of the name field
    expected += QByteArray(4, '\0'); // baud 0
    expected += QByteArray(4, '\0'); // stop bits 0
    expected += '\x01';               // LastScaleNumber
    EXPECT_EQ(fileBytes(f.path(files::PortConfig)), expected);
}

TEST(MainWindowStartup, PortFailureStillChecksTheLinkAndCloseKeepsTheFileTail)
{
    GuiFixture f;
    ASSERT_TRUE(f.seedProducts(threeProducts()));
    ASSERT_TRUE(f.writePortConfig(QStringLiteral("ttyZZ9"), 9600, 2, 5));
    const QString cfgPath = f.path(files::PortConfig);
    {
        QFile cfg(cfgPath);
        ASSERT_TRUE(cfg.open(QIODevice::Append));
        cfg.write("TAIL");
    }
    const QByteArray before = fileBytes(cfgPath);
    f.clock.setStepMs(100);
    ASSERT_TRUE(f.start());

    const QString portFailed = t(msg::PortOpenFailed) + QStringLiteral("/dev/ttyZZ9: ")
        + QString::fromLocal8Bit(std::strerror(ENOENT));
    EXPECT_EQ(f.prompter.texts(), QStringList{portFailed});
    EXPECT_EQ(Form1->Label20->text(), t(msg::PortLabelNoLinkOn).arg(QStringLiteral("ttyZZ9")));
    EXPECT_EQ(Form1->Label2->text(), t(msg::BaudLabelNotSet));
    EXPECT_EQ(exchangeItemsEnabled(), AllOff);
    EXPECT_EQ(Form1->Label9->text(), t("Записей 3")); // the table works without the port

    ASSERT_TRUE(f.showMain());
    EXPECT_EQ(f.prompter.texts(), (QStringList{portFailed, t(msg::NoLink)}));
    EXPECT_EQ(Form1->Label1->text(), t(msg::LinkDown));
    EXPECT_EQ(exchangeItemsEnabled(), AllOff);

    f.stop();
    EXPECT_EQ(fileBytes(cfgPath), before); // same settings, tail kept
}

TEST(MainWindowStartup, SilentScaleGivesNoLink)
{
    GuiFixture f;
    ASSERT_TRUE(f.startSimulator({QStringLiteral("--fault"), QStringLiteral("silent")}));
    f.clock.setStepMs(20);
    ASSERT_TRUE(f.start());
    EXPECT_TRUE(f.prompter.texts().isEmpty());
    ASSERT_TRUE(f.showMain());

    EXPECT_EQ(f.prompter.texts(), QStringList{t(msg::NoLink)});
    EXPECT_EQ(Form1->Label1->text(), t(msg::LinkDown));
    EXPECT_EQ(exchangeItemsEnabled(), AllOff);

    // The scale-number query times out the same way and leaves the box alone.
    f.clock.setStepMs(500);
    Form2->Edit3->setText(QStringLiteral("9"));
    Form1->Button1Click();
    EXPECT_EQ(f.prompter.texts().last(), t(msg::NoLink));
    EXPECT_EQ(Form2->Edit3->text(), QStringLiteral("9"));
}

TEST(MainWindowStartup, NonDatabaseFileIsReportedAndLeftAlone)
{
    GuiFixture f;
    const QString db = f.path(files::ProductStore);
    {
        QFile file(db);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("this is no database at all; ").repeated(100));
    }
    const QByteArray before = fileBytes(db);
    ASSERT_TRUE(f.writePortConfig(QStringLiteral("ttyZZ9"), 9600));
    ASSERT_TRUE(f.start());

    // The port message, then the store's own error text; the window is there without records.
    ASSERT_EQ(f.prompter.texts().size(), 2) << f.prompter.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(f.prompter.texts()[0].startsWith(t(msg::PortOpenFailed))) << qPrintable(f.prompter.texts()[0]);
    EXPECT_FALSE(f.prompter.texts()[1].isEmpty());
    ASSERT_NE(Form1, nullptr);
    EXPECT_TRUE(Form1->startedOk());
    EXPECT_FALSE(Form1->dataset()->isOpen());
    EXPECT_EQ(Form1->DBGrid1->model()->rowCount(), 0);
    Form1->FormActivate();
    EXPECT_EQ(Form1->Label9->text(), t("Записей 0"));

    f.stop();
    EXPECT_EQ(fileBytes(db), before);
}
