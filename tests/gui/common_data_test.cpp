// The common-data window, the index window and the viewer, offscreen, against the
// simulator where they talk to the scale.

#include "support/GuiFixture.h"
#include "support/SimProcess.h"

#include "ui/Help.h"
#include "ui/Mess.h"
#include "app/ui/Pd1.h"
#include "common/CommonData.h"
#include "common/CommonDataSettings.h"
#include "common/ui/Fi.h"
#include "common/ui/Pdop.h"
#include "common/ui/Vl2.h"
#include "link/ScaleLink.h"
#include "shared/Files.h"
#include "shared/Messages.h"
#include "shared/PortConfig.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

using namespace ztk;
using namespace ztk::test;

namespace {

QString t(const char *text) { return msg::text(text); }

QString cell(QTableWidget *grid, int row) { return grid->item(row, 1)->text(); }

QStringList column(QTableWidget *grid)
{
    QStringList out;
    for (int r = 1; r <= common::KeyCount; ++r)
        out << cell(grid, r);
    return out;
}

QStringList repeated(QStringList head, const QString &fill)
{
    while (head.size() < common::KeyCount)
        head << fill;
    return head;
}

QList<SeedProduct> products(std::initializer_list<int> numbers, const QString &type = QStringLiteral("0"))
{
    QList<SeedProduct> out;
    for (int n : numbers) {
        SeedProduct p;
        p.n = n;
        p.name = QStringLiteral("Товар %1").arg(n);
        p.type = type;
        out.append(p);
    }
    return out;
}

// Runs `open`; once the modal `dialog` shows, runs `inside` and closes it if still
// open. True when the dialog was shown.
bool whileShown(QDialog *dialog, const std::function<void()> &inside, const std::function<void()> &open)
{
    bool shown = false;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, dialog, [&] {
        if (shown || !dialog->isVisible())
            return;
        shown = true;
        poll.stop();
        inside();
        if (dialog->isVisible())
            dialog->accept();
    });
    poll.start();
    open();
    poll.stop();
    return shown;
}

QListWidgetItem *entryOf(int product)
{
    const auto found = Form6->CheckListBox1->findItems(QString::number(product) + QLatin1Char(' '), Qt::MatchStartsWith);
    return found.isEmpty() ? nullptr : found.first();
}

void tick(int product, bool on = true)
{
    QListWidgetItem *item = entryOf(product);
    ASSERT_NE(item, nullptr) << product;
    item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
}

// The captions as the operator reads them, without the marks of the Alt letters.
QStringList menuTexts(QMenuBar *bar)
{
    QStringList out;
    for (QAction *a : bar->actions())
        out << QString(a->text()).remove(QLatin1Char('&'));
    return out;
}

} // namespace

TEST(CommonDataWindow, ControlsAsCreated)
{
    GuiFixture f;
    ASSERT_TRUE(f.writePortConfig(QStringLiteral("ttyZZ9"), 9600));
    ASSERT_TRUE(f.start());

    EXPECT_EQ(Form2->windowTitle(), t(msg::CommonCaption));
    EXPECT_EQ(menuTexts(Form2->menuBar()),
              (QStringList{QStringLiteral("Сохранить"), QStringLiteral("Запись ОД"), QStringLiteral("Чтение ОД"),
                           QStringLiteral("Раскладка клав. ВесР"), QStringLiteral("Раскладка клав. ШтР"),
                           QStringLiteral("Уст дату и время"), QStringLiteral("?"), QStringLiteral("Выход")}));
    EXPECT_EQ(Form2->Edit3->text(), QStringLiteral("0"));
    EXPECT_TRUE(Form2->Edit3->isReadOnly());
    EXPECT_EQ(Form2->Edit1->text(), QStringLiteral("1234567890123456789012345678"));
    EXPECT_EQ(Form2->Edit2->text(), QStringLiteral("08.12.26"));
    EXPECT_EQ(Form2->CSpinEdit2->minimum(), 1);
    EXPECT_EQ(Form2->CSpinEdit2->maximum(), 127);
    EXPECT_EQ(Form2->CSpinEdit5->minimum(), 1);
    EXPECT_EQ(Form2->CSpinEdit5->maximum(), 99);
    EXPECT_EQ(Form2->CSpinEdit1->value(), 0);
    EXPECT_TRUE(Form2->CGauge1->isHidden());
    EXPECT_EQ(Form2->CGauge1->orientation(), Qt::Vertical);
    EXPECT_FALSE(Form2->Timer1->isActive());
    for (QTableWidget *grid : {Form2->StringGrid1, Form2->StringGrid2}) {
        EXPECT_EQ(grid->rowCount(), 29);
        EXPECT_EQ(grid->item(0, 0)->text(), QStringLiteral("Nп/п"));
        EXPECT_EQ(grid->item(0, 1)->text(), QStringLiteral("Ном товара"));
        EXPECT_EQ(grid->item(28, 0)->text(), QStringLiteral("28"));
        EXPECT_EQ(cell(grid, 28), QStringLiteral("28"));
        EXPECT_FALSE(grid->item(5, 0)->flags() & Qt::ItemIsEditable);
        EXPECT_TRUE(grid->item(5, 1)->flags() & Qt::ItemIsEditable);
    }
    EXPECT_EQ(menuTexts(Form4->MainMenu1), (QStringList{QStringLiteral("Внести данные"), QStringLiteral("?"), QStringLiteral("Выход")}));
    EXPECT_EQ(menuTexts(Form6->MainMenu1), (QStringList{QStringLiteral("Выполнить"), QStringLiteral("?"), QStringLiteral("Выход")}));

    // The main window shows the common-data window without blocking; its activation
    // asks the scale's number, which times out here (no port).
    f.clock.setStepMs(100);
    Form1->N7Click();
    EXPECT_TRUE(Form2->isVisible());
    EXPECT_TRUE(Form1->isEnabled());

    // The help items open their topics.
    const std::pair<QAction *, const char *> help[] = {{Form2->N1, "Topic50"}, {Form6->N2, "Topic180"}, {Form4->N2, "Topic170"}};
    for (const auto &[item, topic] : help) {
        item->trigger();
        ASSERT_NE(helpBrowser(), nullptr);
        EXPECT_EQ(helpBrowser()->source().fragment(), QString::fromLatin1(topic));
    }
}

TEST(CommonDataWindow, StartArgumentAndLastScaleNumber)
{
    GuiFixture f;
    ASSERT_TRUE(f.writePortConfig(QStringLiteral("ttyZZ9"), 9600, 0, 4));
    common::CommonDataSettings s;
    s.setCompanyText(QStringLiteral("Весы семь"));
    s.scaleNumber = 7;
    ASSERT_TRUE(s.save(f.path("VL7.cfg")));
    s.setCompanyText(QStringLiteral("Весы три"));
    s.scaleNumber = 3;
    ASSERT_TRUE(s.save(f.path("VL3.cfg")));

    f.context.startArgument = QStringLiteral("7");
    ASSERT_TRUE(f.start());
    EXPECT_EQ(Form2->CSpinEdit2->value(), 7);
    EXPECT_EQ(Form2->Edit1->text(), QStringLiteral("Весы семь"));
    EXPECT_EQ(Form1->portConfig().lastScaleNumber, 7);

    // The chosen scale's settings come with the spin.
    Form2->CSpinEdit2->setValue(3);
    EXPECT_EQ(Form2->Edit1->text(), QStringLiteral("Весы три"));
    EXPECT_EQ(Form1->portConfig().lastScaleNumber, 3);
    Form2->CSpinEdit2->setValue(120);
    EXPECT_EQ(Form2->Edit1->text(), QStringLiteral("Весы три"));
    EXPECT_EQ(Form1->portConfig().lastScaleNumber, 3);
    f.stop();
    PortConfig written; // kept for the next start
    ASSERT_TRUE(written.load(f.path(files::PortConfig)));
    EXPECT_EQ(written.lastScaleNumber, 3);

    // Not a whole number: the conversion error, and the last scale number stays.
    GuiFixture g;
    ASSERT_TRUE(g.writePortConfig(QStringLiteral("ttyZZ9"), 9600, 0, 4));
    g.context.startArgument = QStringLiteral("abc");
    ASSERT_TRUE(g.start());
    EXPECT_TRUE(g.prompter.texts().contains(t(msg::NotAnInteger).arg(QStringLiteral("abc"))));
    EXPECT_EQ(Form2->CSpinEdit2->value(), 4);
}

TEST(CommonDataWindow, SaveProposesTheScaleFileAndStopsAtABadCell)
{
    GuiFixture f;
    ASSERT_TRUE(f.writePortConfig(QStringLiteral("ttyZZ9"), 9600, 0, 2));
    ASSERT_TRUE(f.start());
    Form2->Edit1->setText(QStringLiteral("Гастроном"));
    Form2->CSpinEdit1->setValue(300);
    Form2->StringGrid1->item(1, 1)->setText(QStringLiteral("77"));
    const QString path = f.path("VL2.cfg");
    f.prompter.file(path);
    Form2->SaveOfData->trigger();
    EXPECT_EQ(f.prompter.proposedPaths, QStringList{path});
    const QByteArray saved = fileBytes(path);
    ASSERT_EQ(saved.size(), 294);
    EXPECT_EQ(saved[284], char(44));
    common::CommonDataSettings back;
    back.load(path);
    EXPECT_EQ(back.companyText(), QStringLiteral("Гастроном"));
    EXPECT_EQ(back.weightKeys[0], 77);

    // A key that is not a whole number: the conversion error, the file as it was.
    Form2->StringGrid2->item(3, 1)->setText(QStringLiteral("12a"));
    f.prompter.file(path);
    f.prompter.clear();
    Form2->SaveOfDataClick();
    EXPECT_EQ(f.prompter.texts(), QStringList{t(msg::NotAnInteger).arg(QStringLiteral("12a"))});
    EXPECT_EQ(fileBytes(path), saved);

    // Cancelled: nothing happens.
    f.prompter.clear();
    Form2->SaveOfDataClick();
    EXPECT_TRUE(f.prompter.texts().isEmpty());
}

// The company name is refused as it is typed when the scale could not show it; a name
// put in by "Внести данные" is shown as wrong and neither saved nor written.
TEST(CommonDataWindow, CompanyNameTheScaleCannotShowIsRefused)
{
    GuiFixture f;
    ASSERT_TRUE(f.writePortConfig(QStringLiteral("ttyZZ9"), 9600));
    ASSERT_TRUE(f.start());
    f.clock.setStepMs(100); // the scale's number is asked for, and not answered
    Form1->N7Click();
    ASSERT_TRUE(Form2->isVisible());
    EXPECT_FALSE(Form2->Edit1->toolTip().isEmpty());

    retype(Form2->Edit1, QStringLiteral("Гастроном"));
    EXPECT_FALSE(Form2->NameHint->isVisible());
    const QString shop = QStringLiteral("Гастроном №1");
    struct Typed {
        QString keys;
        bool pasted; // else typed key by key
        QString text; // the box's after them
        QString hint; // empty: none shown
    } typed[] = {
        {QStringLiteral("€"), false, QStringLiteral("Гастроном"), QStringLiteral("Знак «€» весы показать не могут")},
        {QStringLiteral(" №1"), false, shop, QString()},
        {QStringLiteral("\t"), true, shop, QStringLiteral("Знак «U+0009» весы показать не могут")},
        {QString(17, QLatin1Char('.')), true, shop, QStringLiteral("Не более 28 знаков")},
        {QString(17, QLatin1Char('.')), false, shop + QString(16, QLatin1Char('.')),
         QStringLiteral("Не более 28 знаков")}, // the 29th refused
    };
    for (const Typed &t : typed) {
        if (t.pasted)
            Form2->Edit1->insert(t.keys);
        else
            typeInto(Form2->Edit1, t.keys);
        EXPECT_EQ(Form2->Edit1->text(), t.text) << t.keys.toStdString();
        EXPECT_EQ(Form2->NameHint->isVisible(), !t.hint.isEmpty()) << t.keys.toStdString();
        if (!t.hint.isEmpty()) {
            EXPECT_EQ(Form2->NameHint->text(), t.hint) << t.keys.toStdString();
        }
    }
    EXPECT_EQ(Form2->NameHint->palette().color(QPalette::WindowText), QColor(Qt::red));
    QTest::keyClick(Form2->Edit1, Qt::Key_Backspace);
    EXPECT_FALSE(Form2->NameHint->isVisible());

    // Carried over from the viewer, too long: shown wrong, then mended by deleting.
    common::ViewerTexts viewer = common::ViewerTexts::of(common::BlockView{});
    viewer.companyName = QString(30, QLatin1Char('A'));
    viewer.labelVariant = viewer.reportLabelVariant = viewer.scaleNumber = QStringLiteral("1");
    Form2->takeViewerFields(viewer);
    EXPECT_EQ(Form2->Edit1->text(), viewer.companyName);
    EXPECT_TRUE(Form2->NameHint->isVisible());
    typeInto(Form2->Edit1, QStringLiteral("B")); // no longer than it was
    EXPECT_EQ(Form2->Edit1->text(), viewer.companyName);
    const QString tooLong = QStringLiteral("Не более 28 знаков");
    f.prompter.clear();
    f.prompter.file(f.path("VL1.cfg"));
    Form2->SaveOfDataClick();
    Form2->N2Click();
    EXPECT_EQ(f.prompter.texts(), (QStringList{tooLong, tooLong}));
    EXPECT_FALSE(QFile::exists(f.path("VL1.cfg")));
    EXPECT_FALSE(QFile::exists(f.path(files::CommonDataBlock)));
    Form2->Edit1->setFocus();
    Form2->Edit1->end(false);
    QTest::keyClick(Form2->Edit1, Qt::Key_Backspace);
    EXPECT_EQ(Form2->Edit1->text().size(), 29);
    EXPECT_TRUE(Form2->NameHint->isVisible());
    QTest::keyClick(Form2->Edit1, Qt::Key_Backspace);
    EXPECT_FALSE(Form2->NameHint->isVisible());
}

// Closing with changes not saved asks: Да saves as "Сохранить" does, Нет closes,
// Отмена stays; a save not made keeps the window open.
TEST(CommonDataWindow, ClosingWithUnsavedChangesAsks)
{
    GuiFixture f;
    ASSERT_TRUE(f.writePortConfig(QStringLiteral("ttyZZ9"), 9600));
    ASSERT_TRUE(f.start());
    f.clock.setStepMs(100);
    const QString path = f.path("VL1.cfg");

    Form1->N7Click();
    f.prompter.clear();
    Form2->OutFromWin->trigger(); // nothing changed: no question
    EXPECT_FALSE(Form2->isVisible());
    EXPECT_TRUE(f.prompter.texts().isEmpty());

    struct Row {
        Answer answer;
        QString file; // the save dialog's answer
        bool open;    // the window after the close
    } rows[] = {
        {Answer::Cancel, QString(), true},
        {Answer::Yes, QString(), true}, // the save dialog cancelled
        {Answer::No, QString(), false},
        {Answer::Yes, path, false},
    };
    int k = 0;
    for (const Row &r : rows) {
        Form1->N7Click();
        ASSERT_TRUE(Form2->isVisible());
        const QString name = QStringLiteral("Лавка %1").arg(++k);
        retype(Form2->Edit1, name);
        f.prompter.clear();
        f.prompter.answer(r.answer);
        if (!r.file.isEmpty())
            f.prompter.file(r.file);
        Form2->OutFromWin->trigger();
        EXPECT_EQ(f.prompter.texts(), QStringList{t(msg::CommonUnsavedQuestion)}) << k;
        EXPECT_EQ(Form2->isVisible(), r.open) << k;
        common::CommonDataSettings saved;
        EXPECT_EQ(saved.load(path) >= 0 && saved.companyText() == name, !r.file.isEmpty()) << k;
        if (r.open)
            Form2->hide();
    }

    // Saved: closing again asks nothing.
    Form1->N7Click();
    f.prompter.clear();
    Form2->OutFromWin->trigger();
    EXPECT_FALSE(Form2->isVisible());
    EXPECT_TRUE(f.prompter.texts().isEmpty());
}

TEST(CommonDataWindow, WriteRefusedWhileTheScaleNumberIsUnknown)
{
    GuiFixture f;
    ASSERT_TRUE(f.startSimulator());
    ASSERT_TRUE(f.start());
    ASSERT_TRUE(f.showMain());
    f.prompter.clear();
    Form2->N2Click();
    EXPECT_EQ(f.prompter.texts(), QStringList{t(msg::ScaleNumberMismatch)});
    EXPECT_FALSE(QFile::exists(f.path(files::CommonDataBlock)));
    EXPECT_EQ(f.simulator()->log(), QByteArray("\x0D")); // the link check only
}

TEST(CommonDataWindow, WriteSendsTheBlockWithTheGauge)
{
    GuiFixture f;
    ASSERT_TRUE(f.startSimulator({QStringLiteral("--number"), QStringLiteral("3")}));
    f.context.startArgument = QStringLiteral("3");
    f.clock.set(QDateTime(QDate(2027, 3, 1), QTime(9, 5, 7)));
    ASSERT_TRUE(f.start());
    ASSERT_TRUE(f.showMain());
    Form2->Button1Click();
    ASSERT_EQ(Form2->Edit3->text(), QStringLiteral("3"));
    ASSERT_EQ(Form2->CSpinEdit2->value(), 3);
    Form2->CSpinEdit1->setValue(300);
    Form2->CheckBox1->setChecked(true);

    QList<int> gauge;
    QObject::connect(Form2->CGauge1, &QProgressBar::valueChanged, [&](int v) { gauge.append(v); });
    f.clock.setStepMs(50); // each reading of the clock ends a pause
    f.prompter.clear();
    Form2->N2->trigger();
    f.clock.setStepMs(0);
    EXPECT_TRUE(f.prompter.texts().isEmpty()) << f.prompter.texts().join('|').toStdString();
    EXPECT_TRUE(Form2->CGauge1->isHidden());
    ASSERT_FALSE(gauge.isEmpty());
    gauge.removeAll(0);
    EXPECT_EQ(gauge.first(), 12);
    EXPECT_EQ(gauge.last(), 99);

    const QByteArray block = fileBytes(f.path(files::CommonDataBlock));
    ASSERT_EQ(block.size(), 512);
    EXPECT_EQ(block.mid(60, 4).toHex(), QByteArray("2c000000"));
    EXPECT_EQ(block.mid(64, 8).toHex(), QByteArray("070509ff010327ff"));
    EXPECT_EQ(block.mid(112, 4).toHex(), QByteArray("57280003"));
    EXPECT_EQ(block[432], char(1));
    EXPECT_EQ(Form2->Edit2->text(), QStringLiteral("01.03.27"));

    // The link check, the number, then exactly 441 bytes: 0x05 and offsets 60 .. 499.
    const QByteArray log = f.simulator()->waitForLog(2 + 441);
    ASSERT_EQ(log.size(), 2 + 441);
    EXPECT_EQ(log.left(3).toHex(), QByteArray("0d1305"));
    EXPECT_EQ(log.mid(3), block.mid(60, 440));
}

TEST(CommonDataWindow, ClockSendsTheMomentAsBcd)
{
    GuiFixture f;
    ASSERT_TRUE(f.startSimulator());
    f.clock.set(QDateTime(QDate(1999, 12, 31), QTime(23, 59, 58)));
    ASSERT_TRUE(f.start());
    ASSERT_TRUE(f.showMain());
    f.prompter.clear();
    Form2->UstOfDateTime->trigger();
    EXPECT_TRUE(f.prompter.texts().isEmpty());
    EXPECT_EQ(f.simulator()->waitForLog(10).toHex(), QByteArray("0d0f5859230031129900"));
}

// A reading shows the block as the scale holds it, whatever its scale number.
TEST(CommonDataWindow, ReadShowsTheViewer)
{
    GuiFixture f;
    common::BlockInput in;
    in.scaleNumber = 9;
    in.labelNumber = 200;
    in.reportLabelNumber = 4;
    for (int k = 0; k < common::KeyCount; ++k) {
        in.weightKeys[std::size_t(k)] = k == 0 ? 10 : -1;
        in.pieceKeys[std::size_t(k)] = 500 + k;
    }
    in.companyName = QStringLiteral("Весовая");
    common::Block block = common::buildBlock(in, QDateTime(QDate(2027, 3, 1), QTime(9, 5, 7)));
    block[common::at::ScaleType] = 0x23;
    block[76] = 0x34;
    block[77] = 0x12;
    const QByteArray raw(reinterpret_cast<const char *>(block.data()), 512);
    ASSERT_TRUE(f.startSimulator({}, {{QStringLiteral("common.bin"), raw}}));
    ASSERT_TRUE(f.start());
    ASSERT_TRUE(f.showMain());
    ASSERT_EQ(Form2->CSpinEdit2->value(), 1);
    Form4->Memo3->setPlainText(QStringLiteral("old"));

    const bool shown = whileShown(Form4, [&] {
        EXPECT_FALSE(Mess1->isVisible());
        EXPECT_FALSE(Form2->Timer1->isActive());
        EXPECT_EQ(Mess1->windowTitle(), t(msg::CommonReadCaption));
        EXPECT_EQ(Form4->Edit1->text(), QStringLiteral("Весовая"));
        EXPECT_EQ(Form4->ComboBox1->currentText(), QStringLiteral("15/25"));
        EXPECT_EQ(Form4->ComboBox2->currentText(), QStringLiteral("xxxx.xx"));
        EXPECT_EQ(Form4->Edit2->text(), QStringLiteral("-56"));
        EXPECT_EQ(Form4->Edit3->text(), QStringLiteral("4"));
        EXPECT_EQ(Form4->Edit4->text(), QStringLiteral("9"));
        EXPECT_EQ(Form4->Edit12->text(), QStringLiteral("01.03.27 09:05:07"));
        EXPECT_FALSE(Form4->CheckBox1->isChecked());
        EXPECT_TRUE(Form4->Memo3->toPlainText().startsWith(QStringLiteral("10  -1  -1  ")));
        EXPECT_TRUE(Form4->Memo4->toPlainText().startsWith(QStringLiteral("500  501  ")));
    }, [] { Form2->COM2->trigger(); });
    EXPECT_TRUE(shown);
    EXPECT_EQ(Form2->form().fields.readBackWord, 0x1234);
    EXPECT_EQ(Form2->form().fields.readBackFlag, 1);
    EXPECT_EQ(Form2->CSpinEdit2->value(), 1); // the reading checks no scale number

    // "Внести данные" carries the shown fields over, the key lists by the list rule.
    Form4->Memo3->setPlainText(QStringLiteral("10 20 30"));
    Form4->Memo4->setPlainText(QStringLiteral("5  0  7  "));
    Form4->Edit3->setText(QStringLiteral("300"));
    Form4->N1Click();
    EXPECT_EQ(Form2->CSpinEdit2->value(), 9);
    EXPECT_EQ(Form2->Edit1->text(), QStringLiteral("Весовая"));
    EXPECT_EQ(Form2->CSpinEdit1->value(), -56);
    EXPECT_EQ(Form2->CSpinEdit5->value(), 99);
    EXPECT_EQ(column(Form2->StringGrid1).mid(0, 4),
              (QStringList{QStringLiteral("10"), QStringLiteral("20"), QStringLiteral("30"), QStringLiteral("4")}));
    EXPECT_EQ(column(Form2->StringGrid2).mid(0, 3), (QStringList{QStringLiteral("5"), QStringLiteral("7"), QStringLiteral("3")}));

    Form4->Edit4->setText(QStringLiteral("x9"));
    f.prompter.clear();
    Form4->N1Click();
    EXPECT_EQ(f.prompter.texts(), QStringList{t(msg::NotAnInteger).arg(QStringLiteral("x9"))});
}

TEST(CommonDataWindow, ReadTimesOutWithoutTheViewer)
{
    GuiFixture f;
    ASSERT_TRUE(f.startSimulator({QStringLiteral("--fault"), QStringLiteral("silent")}));
    ASSERT_TRUE(f.start());
    f.clock.setStepMs(100);
    ASSERT_TRUE(f.showMain());
    Form4->Memo3->setPlainText(QStringLiteral("old"));
    f.prompter.clear();
    EXPECT_FALSE(whileShown(Form4, [] {}, [] { Form2->COM2Click(); }));
    EXPECT_EQ(f.prompter.texts(), QStringList{t(msg::NoLink)});
    EXPECT_FALSE(Mess1->isVisible());
    EXPECT_FALSE(Form2->Timer1->isActive());
    EXPECT_FALSE(Form1->link().commonData.on.load());
    EXPECT_TRUE(Form4->Memo3->toPlainText().isEmpty());
    EXPECT_EQ(Form2->form().fields.readBackFlag, 0);
}

TEST(IndexWindow, TicksUntickAndExecute)
{
    GuiFixture f;
    QList<SeedProduct> rows = products({10, 20, 30, 40});
    rows += products({50}, QStringLiteral("1"));
    ASSERT_TRUE(f.seedProducts(rows));
    ASSERT_TRUE(f.writePortConfig(QStringLiteral("ttyZZ9"), 9600));
    ASSERT_TRUE(f.start());

    bool shown = whileShown(Form6, [&] {
        EXPECT_EQ(Form6->windowTitle(), t(msg::IndexWeightCaption));
        EXPECT_EQ(Form6->CheckListBox1->count(), 4); // the weighed products only
        EXPECT_EQ(Form6->CheckListBox1->item(1)->text(), QStringLiteral("20 Товар 20"));
        tick(10);
        tick(20);
        tick(30);
        EXPECT_EQ(Form6->Memo1->toPlainText(), QStringLiteral("10\n20\n30"));
        Form6->N1Click();
        EXPECT_EQ(column(Form2->StringGrid1), repeated({QStringLiteral("10"), QStringLiteral("20"), QStringLiteral("30")}, QStringLiteral("10")));
        tick(20, false);
        EXPECT_EQ(Form6->Memo1->toPlainText(), QStringLiteral("10\n30"));
        EXPECT_EQ(Form6->Label1->text(), QStringLiteral("2"));
        Form6->N1Click();
        EXPECT_TRUE(Form6->isVisible()); // stays open
    }, [] { Form2->N3->trigger(); });
    EXPECT_TRUE(shown);
    EXPECT_EQ(column(Form2->StringGrid1), repeated({QStringLiteral("10"), QStringLiteral("30")}, QStringLiteral("10")));
    // Closed, the main window shows the selection it had before.
    EXPECT_TRUE(Form1->RadioButton1->isChecked());

    // A new opening starts empty.
    shown = whileShown(Form6, [&] {
        EXPECT_EQ(Form6->Label1->text(), QStringLiteral("0"));
        EXPECT_TRUE(Form6->Memo1->toPlainText().isEmpty());
        EXPECT_EQ(Form6->windowTitle(), t(msg::IndexPieceCaption));
        EXPECT_EQ(Form6->CheckListBox1->count(), 1);
        Form6->N1Click(); // nothing ticked: nothing happens
    }, [] { Form2->N4Click(); });
    EXPECT_TRUE(shown);
    EXPECT_TRUE(Form1->RadioButton1->isChecked());
    EXPECT_EQ(cell(Form2->StringGrid2, 1), QStringLiteral("1"));
}

TEST(IndexWindow, TwentyNinthTickIsRefused)
{
    GuiFixture f;
    QList<SeedProduct> rows;
    for (int n = 1; n <= 30; ++n)
        rows += products({n});
    ASSERT_TRUE(f.seedProducts(rows));
    ASSERT_TRUE(f.writePortConfig(QStringLiteral("ttyZZ9"), 9600));
    ASSERT_TRUE(f.start());
    const bool shown = whileShown(Form6, [&] {
        for (int n = 1; n <= 28; ++n)
            tick(n);
        f.prompter.clear();
        tick(29);
        EXPECT_EQ(entryOf(29)->checkState(), Qt::Unchecked);
        EXPECT_EQ(Form6->Label1->text(), QStringLiteral("28"));
        EXPECT_EQ(f.prompter.texts(), QStringList{t(msg::KeysTooMany)});
        EXPECT_EQ(Form6->Memo1->toPlainText().split('\n').size(), 28);
    }, [] { Form2->N3Click(); });
    EXPECT_TRUE(shown);
}

TEST(IndexWindow, PieceLayoutWithoutPieceProducts)
{
    GuiFixture f;
    ASSERT_TRUE(f.seedProducts(products({10, 20})));
    ASSERT_TRUE(f.writePortConfig(QStringLiteral("ttyZZ9"), 9600));
    ASSERT_TRUE(f.start());
    const QStringList weightKeys = column(Form2->StringGrid1);
    EXPECT_FALSE(whileShown(Form6, [] {}, [] { Form2->N4Click(); }));
    EXPECT_EQ(column(Form2->StringGrid2), repeated({}, QStringLiteral("5000")));
    EXPECT_EQ(column(Form2->StringGrid1), weightKeys);
    EXPECT_TRUE(Form1->RadioButton1->isChecked()); // the selection as it was
}
