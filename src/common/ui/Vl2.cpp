#include "common/ui/Vl2.h"

#include "ui/Help.h"
#include "ui/Mess.h"
#include "ui/ExchangeRun.h"
#include "common/CommonExchange.h"
#include "common/KeyLayout.h"
#include "common/ui/CompanyNameValidator.h"
#include "common/ui/Fi.h"
#include "common/ui/Pdop.h"
#include "link/ScaleLink.h"
#include "shared/Files.h"
#include "shared/Messages.h"
#include "ui/Named.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>

#include <QScopeGuard>

#include <algorithm>
#include <limits>

using namespace ztk;
using ztk::common::CommonDataForm;

TForm2 *Form2 = nullptr;

namespace {

constexpr int GridRows = common::KeyCount + 1;
constexpr int GaugeStep = 6; // Timer1 adds this to the wait window's gauge every second

QTableWidget *makeGrid(QWidget *parent, const char *name)
{
    auto *grid = new QTableWidget(GridRows, 2, parent);
    grid->setObjectName(QString::fromLatin1(name));
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(18);
    grid->setColumnWidth(0, 44);
    grid->setColumnWidth(1, 96);
    // Row 0 and column 0 are fixed, as the header row and the key numbers.
    const QStringList header{QStringLiteral("Nп/п"), QStringLiteral("Ном товара")};
    for (int c = 0; c < 2; ++c) {
        auto *item = new QTableWidgetItem(header[c]);
        item->setFlags(Qt::ItemIsEnabled);
        item->setBackground(grid->palette().button());
        grid->setItem(0, c, item);
    }
    for (int r = 1; r < GridRows; ++r) {
        auto *key = new QTableWidgetItem(QString::number(r));
        key->setFlags(Qt::ItemIsEnabled);
        key->setBackground(grid->palette().button());
        grid->setItem(r, 0, key);
        grid->setItem(r, 1, new QTableWidgetItem);
    }
    return grid;
}

QStringList cellsOf(const QTableWidget *grid)
{
    QStringList cells;
    for (int r = 1; r < GridRows; ++r)
        cells << (grid->item(r, 1) ? grid->item(r, 1)->text() : QString());
    return cells;
}

void showCells(QTableWidget *grid, const QStringList &cells)
{
    for (int r = 1; r < GridRows; ++r)
        grid->item(r, 1)->setText(cells.value(r - 1));
}

// An activation that follows one of these is no return from another window of the
// program: a box or dialog of a command, the wait window, or another application.
bool transient(QWidget *window)
{
    return !window || window == Mess1 || qobject_cast<QMessageBox *>(window) || qobject_cast<QFileDialog *>(window)
        || window->objectName().isEmpty();
}

} // namespace

TForm2::TForm2(Workspace &workspace, QWidget *parent)
    : QMainWindow(parent), m_ws(workspace), m_context(workspace.context())
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(msg::text(msg::CommonCaption));
    buildMenu();
    buildControls();

    // FormCreate: the state from the start-up argument and LastScaleNumber.
    QString error;
    m_form = std::make_unique<CommonDataForm>(m_context.workDir, m_context.clock->now().date(),
                                              m_context.startArgument, m_ws.portConfig().lastScaleNumber, &error);
    showControls();
    CGauge1->hide();
    initActionsConnections();
    if (!error.isEmpty())
        m_context.prompter->message(MessageKind::Warning, error);
}

TForm2::~TForm2()
{
    if (Form2 == this)
        Form2 = nullptr;
}

void TForm2::buildMenu()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    auto item = [bar](const char *text, const char *name) { return menuItem(bar, name, QString::fromUtf8(text)); };
    SaveOfData = item("Сохранить", "SaveOfData");
    N2 = item("Запись ОД", "N2");
    COM2 = item("Чтение ОД", "COM2");
    N3 = item("Раскладка клав. ВесР", "N3");
    N4 = item("Раскладка клав. ШтР", "N4");
    UstOfDateTime = item("Уст дату и время", "UstOfDateTime");
    N1 = item("?", "N1");
    OutFromWin = item("Выход", "OutFromWin");
}

void TForm2::buildControls()
{
    auto *c = new QWidget(this);
    c->setObjectName(QStringLiteral("ClientArea"));
    setCentralWidget(c);
    auto label = [&](const char *name, const char *text, int x, int y, int w) {
        QLabel *l = named(new QLabel(QString::fromUtf8(text), c), name);
        l->setGeometry(x, y, w, 16);
        return l;
    };
    auto spin = [&](const char *name, int min, int max, int value, int x, int y, int w) {
        QSpinBox *s = named(new QSpinBox(c), name);
        s->setRange(min, max);
        s->setValue(value);
        s->setGeometry(x, y, w, 24);
        return s;
    };

    Button1 = named(new QPushButton(QStringLiteral("Номер весов"), c), "Button1");
    Button1->setToolTip(QStringLiteral("Ввод номера подключенных весов"));
    Button1->setGeometry(8, 8, 110, 26);
    Edit3 = named(new QLineEdit(QStringLiteral("0"), c), "Edit3");
    Edit3->setToolTip(QStringLiteral("Номер подключенных весов"));
    Edit3->setReadOnly(true);
    Edit3->setGeometry(126, 10, 52, 22);

    Label1 = label("Label1", "Наименование предприятия", 8, 44, 260);
    Edit1 = named(new QLineEdit(c), "Edit1");
    Edit1->setGeometry(8, 62, 262, 24);
    Edit1->setToolTip(msg::text(msg::CompanyNameRule).arg(common::NameSize));
    m_nameValidator = new CompanyNameValidator(Edit1);
    Label5 = label("Label5", "Дата", 8, 94, 80);
    // Beside the date, under the name it is about.
    NameHint = named(new QLabel(c), "NameHint");
    NameHint->setGeometry(96, 92, 174, 46);
    NameHint->setWordWrap(true);
    NameHint->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette red = NameHint->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    NameHint->setPalette(red);
    NameHint->hide();
    Edit2 = named(new QLineEdit(c), "Edit2");
    Edit2->setReadOnly(true);
    Edit2->setGeometry(8, 112, 80, 24);

    Label3 = label("Label3", "Ном весов", 8, 144, 80);
    CSpinEdit2 = spin("CSpinEdit2", common::Controls::ScaleMin, common::Controls::ScaleMax, 1, 8, 162, 70);
    Label4 = label("Label4", "Номер этикетки", 100, 144, 120);
    CSpinEdit1 = spin("CSpinEdit1", std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), 0, 100, 162, 110);
    Label13 = label("Label13", "№ Отчётной этикетки", 8, 194, 160);
    CSpinEdit5 = spin("CSpinEdit5", common::Controls::ReportMin, common::Controls::ReportMax, 1, 8, 212, 70);
    CheckBox1 = named(new QCheckBox(msg::text(msg::AutoLabel), c), "CheckBox1");
    CheckBox1->setGeometry(8, 246, 200, 22);

    CGauge1 = named(new QProgressBar(c), "CGauge1");
    CGauge1->setOrientation(Qt::Vertical);
    CGauge1->setRange(0, 100);
    CGauge1->setGeometry(246, 144, 24, 180);

    // Each grid shows its 29 rows whole.
    Label2 = label("Label2", "Раскл  вес. товаров", 290, 8, 160);
    StringGrid1 = makeGrid(c, "StringGrid1");
    StringGrid1->setGeometry(290, 26, 144, 526);
    Label9 = label("Label9", "Раскл шт. товаров", 462, 8, 160);
    StringGrid2 = makeGrid(c, "StringGrid2");
    StringGrid2->setGeometry(462, 26, 144, 526);

    Timer1 = named(new QTimer(this), "Timer1");
    Timer1->setInterval(1000);

    // Wide enough for every menu item.
    resize(std::max(622, menuBar()->sizeHint().width() + 8), 560 + menuBar()->sizeHint().height());
}

void TForm2::initActionsConnections()
{
    connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
    connect(CSpinEdit1, &QSpinBox::valueChanged, this, &TForm2::CSpinEdit1Change);
    connect(CSpinEdit2, &QSpinBox::valueChanged, this, &TForm2::CSpinEdit2Change);
    connect(CSpinEdit5, &QSpinBox::valueChanged, this, &TForm2::CSpinEdit5Change);
    connect(SaveOfData, &QAction::triggered, this, &TForm2::SaveOfDataClick);
    connect(N2, &QAction::triggered, this, &TForm2::N2Click);
    connect(COM2, &QAction::triggered, this, &TForm2::COM2Click);
    connect(N3, &QAction::triggered, this, &TForm2::N3Click);
    connect(N4, &QAction::triggered, this, &TForm2::N4Click);
    connect(UstOfDateTime, &QAction::triggered, this, &TForm2::UstOfDateTimeClick);
    connect(N1, &QAction::triggered, this, [] { showHelp(QStringLiteral("Topic50")); });
    connect(OutFromWin, &QAction::triggered, this, &TForm2::OutFromWinClick);
    connect(Timer1, &QTimer::timeout, this, &TForm2::Timer1Timer);
    connect(Edit1, &QLineEdit::inputRejected, this,
            [this] { showNameHint(common::companyNameHint(m_nameValidator->refused())); });
    connect(Edit1, &QLineEdit::textChanged, this, [this] { showNameHint(); });
    offWhileExchanging(m_ws.exchangeLock(), this, {N2, COM2, UstOfDateTime}, {Button1});
    connect(&m_ws, &Workspace::scaleNumberAnswered, this,
            [this](std::int8_t number) { Edit3->setText(QString::number(int(number))); });
}

// ---------------------------------------------------------------- controls and state

void TForm2::readControls()
{
    common::Controls &c = m_form->controls;
    c.companyText = Edit1->text();
    c.autoLabel = CheckBox1->isChecked();
    c.weightCells = cellsOf(StringGrid1);
    c.pieceCells = cellsOf(StringGrid2);
    // The spins are in step already: each change of theirs runs its handler.
}

void TForm2::showControls()
{
    const common::Controls &c = m_form->controls;
    // The program's own settings run no change handlers: the form has done their work.
    const QSignalBlocker b1(CSpinEdit1), b2(CSpinEdit2), b5(CSpinEdit5);
    m_nameValidator->setBoxText(c.companyText);
    Edit2->setText(c.dateText);
    CSpinEdit2->setValue(c.scaleNumber);
    CSpinEdit1->setValue(c.labelNumber);
    CSpinEdit5->setValue(c.reportLabelNumber);
    CheckBox1->setChecked(c.autoLabel);
    showCells(StringGrid1, c.weightCells);
    showCells(StringGrid2, c.pieceCells);
}

void TForm2::showNameHint(const QString &refused)
{
    const QString wrong = common::companyNameHint(common::checkCompanyName(Edit1->text()));
    NameHint->setText(wrong.isEmpty() ? refused : wrong);
    NameHint->setVisible(!NameHint->text().isEmpty());
}

bool TForm2::nameShowable()
{
    const QString wrong = common::companyNameHint(common::checkCompanyName(Edit1->text()));
    if (wrong.isEmpty())
        return true;
    showNameHint();
    m_context.prompter->message(MessageKind::Warning, wrong);
    return false;
}

void TForm2::CSpinEdit1Change()
{
    m_form->setLabelSpin(CSpinEdit1->value());
}

void TForm2::CSpinEdit5Change()
{
    m_form->setReportSpin(CSpinEdit5->value());
}

void TForm2::CSpinEdit2Change()
{
    readControls();
    m_form->setScaleSpin(CSpinEdit2->value());
    showControls();
}

void TForm2::setLayoutCells(bool weight, const QStringList &cells)
{
    readControls();
    m_form->setLayoutCells(weight, cells);
    showControls();
}

void TForm2::takeViewerFields(const common::ViewerTexts &viewer)
{
    readControls();
    const std::optional<QString> error = m_form->carryOver(viewer);
    showControls();
    if (error)
        m_context.prompter->message(MessageKind::Warning, *error);
}

// ---------------------------------------------------------------- activation and the scale's number

void TForm2::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::ActivationChange)
        return;
    if (!isActiveWindow()) {
        // Activation moves on: remember whether it went to another window of the program.
        m_askOnActivate = !transient(QApplication::activeWindow());
        return;
    }
    if (m_askOnActivate)
        FormActivate();
}

void TForm2::FormActivate()
{
    Button1Click();
}

void TForm2::Button1Click()
{
    if (m_busy)
        return;
    m_busy = true;
    m_ws.requestScaleNumber(); // the answer comes into Edit3
    m_busy = false;
}

// ---------------------------------------------------------------- commands

void TForm2::SaveOfDataClick()
{
    if (!nameShowable())
        return;
    readControls();
    const QString path = m_context.prompter->saveFileName(msg::text(msg::SettingsSaveCaption),
                                                          msg::text(msg::SettingsFilter), m_form->settingsPath());
    if (path.isEmpty())
        return;
    if (const std::optional<QString> error = m_form->save(path))
        m_context.prompter->message(MessageKind::Warning, *error);
}

void TForm2::N2Click()
{
    if (m_busy || !nameShowable())
        return;
    readControls();
    if (!common::scaleNumberMatches(Edit3->text(), CSpinEdit2->value())) {
        m_context.prompter->message(MessageKind::Warning, msg::text(msg::ScaleNumberMismatch));
        return;
    }
    const CommonDataForm::Built built = m_form->buildBlock(m_context.clock->now());
    showControls();
    if (!built.error.isEmpty()) {
        m_context.prompter->message(MessageKind::Warning, built.error);
        return;
    }
    const QString path = m_context.path(files::CommonDataBlock);
    if (!common::saveBlockFile(path, built.block)) {
        m_context.prompter->message(MessageKind::Error, msg::text(msg::FileCreateError).arg(path));
        return;
    }

    CGauge1->setValue(0);
    CGauge1->show();
    const auto hideGauge = qScopeGuard([this] { CGauge1->hide(); });
    const std::optional<common::Block> block = common::loadBlockFile(path);
    if (!block) {
        m_context.prompter->message(MessageKind::Error, msg::text(msg::CannotOpenForReading));
        return;
    }
    ExchangeRun run(m_ws, this, Operation::WriteCommonData, std::nullopt,
                    [this](const ProgressStep &step) { CGauge1->setValue(step.percent); });
    if (!run.started())
        return;
    m_busy = true;
    const ExchangeResult r = common::writeBlock(run.session(), *block);
    m_busy = false;
    CGauge1->hide();
    run.finish(r, msg::text(msg::CommonWriteDone));
}

void TForm2::COM2Click()
{
    if (m_busy)
        return;
    ExchangeRun run(m_ws, this, Operation::ReadCommonData, ExchangeRun::Wait{msg::text(msg::CommonReadCaption), msg::text(msg::WritePreparing)});
    if (!run.started())
        return;
    m_busy = true;
    m_reading = &run;
    Timer1->start();
    if (Form4)
        Form4->clearKeyLists();
    common::Block block{};
    const ExchangeResult r = common::readBlock(run.session(), block);
    Timer1->stop();
    m_reading = nullptr;
    const bool read = run.finish(r);
    m_busy = false;
    if (!read)
        return;
    const common::BlockView view = common::decodeBlock(block).value;
    m_form->takeReading(view);
    if (Form4) {
        Form4->showBlock(view);
        Form4->exec();
    }
}

void TForm2::Timer1Timer()
{
    if (m_reading)
        m_reading->advance(GaugeStep);
}

void TForm2::UstOfDateTimeClick()
{
    if (m_busy)
        return;
    ExchangeRun run(m_ws, this, Operation::SetClock, std::nullopt);
    if (run.started())
        run.finish(common::setClock(run.session(), m_context.clock->now()), msg::text(msg::ClockDone));
}

void TForm2::N3Click()
{
    openIndexWindow(true);
}

void TForm2::N4Click()
{
    openIndexWindow(false);
}

void TForm2::openIndexWindow(bool weight)
{
    if (!Form6)
        return;
    m_ws.selectByType(weight);
    const QStringList entries = m_ws.selectionEntries();
    if (!weight && entries.isEmpty()) {
        setLayoutCells(false, common::KeyLayout::noPieceProducts());
    } else {
        Form6->open(weight, entries);
        Form6->exec();
    }
    m_ws.restoreSelection(); // the main window's selection as the operator left it
    if (isVisible())
        activateWindow();
}

void TForm2::OutFromWinClick()
{
    close();
}

void TForm2::closeEvent(QCloseEvent *event)
{
    readControls();
    if (!m_form->unsaved()) {
        event->accept();
        return;
    }
    switch (m_context.prompter->ask(msg::text(msg::CommonUnsavedQuestion), msg::text(msg::CommonCaption),
                                    Buttons::YesNoCancel)) {
    case Answer::Yes:
        SaveOfDataClick();
        // A save cancelled or refused keeps the window, and the changes, open.
        event->setAccepted(!m_form->unsaved());
        return;
    case Answer::No:
        event->accept();
        return;
    default:
        event->ignore();
        return;
    }
}
