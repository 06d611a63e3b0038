#include "app/ui/Pd1.h"

#include "app/PortList.h"
#include "app/Startup.h"
#include "app/ui/DetailPanel.h"
#include "app/ui/Pd1Layout.h"
#include "app/ui/StepSpinBox.h"
#include "ui/Help.h"
#include "ui/WindowRules.h"
#include "ui/Mess.h"
#include "app/ui/About.h"
#include "ui/ExchangeRun.h"
#include "common/ui/Vl2.h"
#include "link/ScaleLink.h"
#include "link/ScaleList.h"
#include "link/SerialPort.h"
#include "link/ui/Selectp.h"
#include "products/EditHistory.h"
#include "products/ProductDataset.h"
#include "products/ProductFields.h"
#include "products/ProductStore.h"
#include "products/ProductTableModel.h"
#include "products/Selection.h"
#include "shared/DateText.h"
#include "shared/Files.h"
#include "shared/Messages.h"
#include "transfer/ProductImage.h"
#include "products/RecordEditing.h"
#include "ui/Named.h"

#include <QButtonGroup>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSerialPortInfo>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QToolButton>

TForm1 *Form1 = nullptr;

namespace fld = ztk::fld;

namespace {

QStringList serialDeviceNames()
{
    QStringList names;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports)
        names << info.portName();
    return names;
}

} // namespace

// ---------------------------------------------------------------- construction

TForm1::TForm1(ztk::Workspace &workspace, QWidget *parent)
    : QMainWindow(parent), m_ws(workspace), m_context(workspace.context()), m_exchange(workspace.exchangeLock()),
      m_selection(workspace.selection()), m_portConfig(workspace.portConfig())
{
    Form1 = this;
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(ztk::msg::text(ztk::msg::MainCaption));
    // The design font is a narrow 11-pixel sans; the layout's label widths are made for it.
    QFont f = font();
    f.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("DejaVu Sans Condensed"),
                   QStringLiteral("Liberation Sans Narrow"), f.family()});
    f.setStretch(QFont::SemiCondensed);
    f.setPixelSize(11);
    setFont(f);

    buildMenu();
    buildControls();
    bindDetailPanel();
    initActionsConnections();
    initKeyboard();

    // No minimum size: the proportional layout follows the window down to a few pixels.
    layout()->setSizeConstraint(QLayout::SetNoConstraint);
    move(59, 87);
    resize(957, 661 + menuBar()->sizeHint().height());

    FormCreate();
    Timer1Timer();
    Timer1->start();
}

ztk::ProductDataset *TForm1::dataset() const
{
    return &m_ws.dataset();
}

ztk::ScaleLink &TForm1::link() const
{
    return m_ws.link();
}

const ztk::ProductImage *TForm1::productImage() const
{
    return m_ws.image();
}

TForm1::~TForm1()
{
    // The reader must be gone before the buffers it fills; the grid before its dataset.
    m_ws.link().stopReader();
    m_ws.link().setLinkStateHandler({});
    m_ws.dataset().setUpdateRecordHook({});
    m_ws.history().changed = {};
    if (DBGrid1)
        DBGrid1->setModel(nullptr);
    delete m_model;
    m_model = nullptr;
    if (Form1 == this)
        Form1 = nullptr;
}

void TForm1::initActionsConnections()
{
    connect(Import, &QAction::triggered, this, &TForm1::ImportClick);
    connect(Export, &QAction::triggered, this, &TForm1::ExportClick);
    connect(N1, &QAction::triggered, this, &TForm1::N1Click);
    connect(N7, &QAction::triggered, this, &TForm1::N7Click);
    connect(N5, &QAction::triggered, this, &TForm1::N5Click);
    connect(N11, &QAction::triggered, this, &TForm1::N11Click);
    connect(N12, &QAction::triggered, this, &TForm1::N12Click);
    connect(N13, &QAction::triggered, this, &TForm1::N13Click);
    connect(N14, &QAction::triggered, this, &TForm1::N14Click);
    connect(N16, &QAction::triggered, this, &TForm1::N16Click);
    connect(N10, &QAction::triggered, this, &TForm1::N10Click);
    connect(N4, &QAction::triggered, this, &TForm1::N4Click);
    connect(N8, &QAction::triggered, this, &TForm1::N8Click);
    connect(N9, &QAction::triggered, this, &TForm1::N9Click);
    connect(N3, &QAction::triggered, this, &TForm1::N3Click);
    connect(UndoItem, &QAction::triggered, this, &TForm1::UndoItemClick);
    connect(RedoItem, &QAction::triggered, this, &TForm1::RedoItemClick);
    connect(InsertItem, &QAction::triggered, this, &TForm1::SpeedButton2Click);
    connect(DeleteItem, &QAction::triggered, this, &TForm1::SpeedButton3Click);
    connect(StoreItem, &QAction::triggered, this, &TForm1::BitBtn1Click);
    connect(RefreshItem, &QAction::triggered, this, &TForm1::RefreshSelection);
    connect(FindItem, &QAction::triggered, this, &TForm1::FindItemClick);
    connect(ReportItem, &QAction::triggered, this, &TForm1::SpeedButton8Click);
    m_ws.history().changed = [this] { applyUndoItems(); };
    connect(&m_ws.dataset(), &ztk::ProductDataset::currentChanged, this, &TForm1::applyUndoItems);
    applyUndoItems();

    connect(SpeedButton2, &QToolButton::clicked, this, &TForm1::SpeedButton2Click);
    connect(SpeedButton3, &QToolButton::clicked, this, &TForm1::SpeedButton3Click);
    connect(SpeedButton4, &QToolButton::clicked, this, &TForm1::SpeedButton4Click);
    connect(SpeedButton5, &QToolButton::clicked, this, &TForm1::SpeedButton5Click);
    connect(SpeedButton6, &QToolButton::clicked, this, &TForm1::SpeedButton6Click);
    connect(SpeedButton7, &QToolButton::clicked, this, &TForm1::SpeedButton7Click);
    connect(SpeedButton8, &QToolButton::clicked, this, &TForm1::SpeedButton8Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TForm1::BitBtn1Click);
    connect(CheckBox2, &QCheckBox::clicked, this, &TForm1::CheckBox2Click);

    connect(ComboBox1, &QComboBox::activated, this, &TForm1::ComboBox1Change); // the operator's pick only
    connect(DBEdit9, &QLineEdit::textChanged, this, &TForm1::DBEdit9Change);
    // DBEdit6Click, DBGrid1KeyUp and DBGrid1MouseUp come through eventFilter.

    // A selection handler runs when its button becomes the checked one, by a click
    // or by the program; a click on the button already checked runs nothing.
    const std::pair<QRadioButton *, void (TForm1::*)()> radios[] = {
        {RadioButton1, &TForm1::RadioButton1Click},   {RadioButton2, &TForm1::RadioButton2Click},
        {RadioButton3, &TForm1::RadioButton3Click},   {RadioButton4, &TForm1::RadioButton4Click},
        {RadioButton5, &TForm1::RadioButton5Click},   {RadioButton6, &TForm1::RadioButton6Click},
        {RadioButton7, &TForm1::RadioButton7Click},   {RadioButton10, &TForm1::RadioButton10Click},
        {RadioButton14, &TForm1::RadioButton14Click}, {RadioButton15, &TForm1::RadioButton15Click},
        {RadioButton16, &TForm1::RadioButton16Click}, {RadioButton17, &TForm1::RadioButton17Click},
    };
    for (const auto &[button, handler] : radios) {
        connect(button, &QRadioButton::toggled, this, [this, handler = handler](bool checked) {
            if (checked)
                (this->*handler)();
        });
    }
    connect(Edit1, &QLineEdit::textChanged, this, &TForm1::Edit1Change);
    connect(Edit4, &QLineEdit::textChanged, this, &TForm1::Edit4Change);
    connect(Edit5, &QLineEdit::textChanged, this, &TForm1::Edit5Change);
    connect(MonthCalendar1, &QCalendarWidget::clicked, this, &TForm1::MonthCalendar1Click);
    connect(CSpinEdit1, &QSpinBox::valueChanged, this, &TForm1::CSpinEdit1Change);

    connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
    connect(&m_exchange, &ztk::ExchangeLock::busyChanged, this, &TForm1::applyExchangeItems);
    // What the other windows ask of this one.
    connect(&m_ws, &ztk::Workspace::scaleNumberRequested, this, &TForm1::Button1Click);
    connect(&m_ws, &ztk::Workspace::storeRecordRequested, this, &TForm1::BitBtn1Click);
    connect(&m_ws, &ztk::Workspace::typeSelectionRequested, this, &TForm1::selectByType);
    connect(&m_ws, &ztk::Workspace::selectionRestoreRequested, this, &TForm1::restoreSelection);
    connect(&m_ws, &ztk::Workspace::gridSuspended, this, [this](bool suspended) { DBGrid1->setHidden(suspended); });
    connect(&m_ws, &ztk::Workspace::exchangeDone, this, [this](const QString &line) { statusBar()->showMessage(line); });
    connect(&m_ws, &ztk::Workspace::linkReopened, this, &TForm1::setExchangeItemsEnabled);

    // The grid follows the dataset; a click or an arrow key in it moves the dataset.
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current, const QModelIndex &) { gridRowChanged(current.row()); });
    connect(&m_ws.dataset(), &ztk::ProductDataset::currentChanged, this, [this] {
        m_panel->refresh();
        syncGridToDataset();
    });
    connect(&m_ws.dataset(), &ztk::ProductDataset::reset, this, [this] {
        m_panel->clearTyped(); // a reopen drops a pending edit
        m_panel->refresh();
        syncGridToDataset();
    });
    connect(&m_ws.dataset(), &ztk::ProductDataset::stored, this, [this] {
        showRecordCount();
        m_panel->refresh();
    });

    // The link display changes on this thread, whatever thread reports it.
    m_ws.link().setLinkStateHandler([this](bool up) {
        QMetaObject::invokeMethod(this, [this, up] { setLinkState(up); }, Qt::QueuedConnection);
    });
}

// ---------------------------------------------------------------- detail panel

void TForm1::bindDetailPanel()
{
    m_panel = new ztk::DetailPanel(m_ws.dataset(), *m_context.prompter,
                                   {
                                       {DBEdit8, fld::N, ztk::DetailPanel::Stored},
                                       {DBEdit1, fld::Name, ztk::DetailPanel::Stored},
                                       {DBEdit2, fld::Name2, ztk::DetailPanel::Stored},
                                       {DBEdit3, fld::Name3, ztk::DetailPanel::Stored},
                                       {DBEdit4, fld::Name4, ztk::DetailPanel::Stored},
                                       {DBEdit5, fld::Name5, ztk::DetailPanel::Stored},
                                       {DBEdit13, fld::Prefix, ztk::DetailPanel::Stored},
                                       {DBEdit7, fld::SK5, ztk::DetailPanel::Stored},
                                       {DBEdit10, fld::Price, ztk::DetailPanel::Stored},
                                       {DBEdit61, fld::BestBefore, ztk::DetailPanel::Stored},
                                       {DBEdit9, fld::Type, ztk::DetailPanel::Stored},
                                       {DBEdit14, fld::CorrStamp, ztk::DetailPanel::Stored},
                                       {DBEdit6, fld::Goden, ztk::DetailPanel::Calculated},
                                       {DBEdit11, fld::Dcorr, ztk::DetailPanel::Calculated},
                                   },
                                   this);
    m_panel->onTyped = [this] { applyUndoItems(); };
}

void TForm1::syncGridToDataset()
{
    if (m_gridSyncing || m_ws.dataset().controlsDisabled())
        return;
    m_gridSyncing = true;
    const int row = m_ws.dataset().isOpen() ? m_ws.dataset().position() - 1 : -1;
    QItemSelectionModel *sel = DBGrid1->selectionModel();
    if (row >= 0 && row < m_model->rowCount()) {
        const int column = qMax(0, sel->currentIndex().column());
        const QModelIndex index = m_model->index(row, column);
        if (sel->currentIndex() != index)
            sel->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        DBGrid1->scrollTo(index);
    } else {
        sel->clear();
    }
    m_gridSyncing = false;
}

void TForm1::gridRowChanged(int row)
{
    if (m_gridSyncing || row < 0 || !m_ws.dataset().isOpen())
        return;
    const int target = row + 1;
    if (target != m_ws.dataset().position())
        m_ws.dataset().moveBy(target - m_ws.dataset().position()); // stores a modified pending edit first
    syncGridToDataset(); // back to the dataset's record when the store failed
}

bool TForm1::runSelection(Failure failure)
{
    m_ws.dataset().disableControls();
    const bool ok = m_ws.reopenSelection();
    m_ws.dataset().enableControls();
    if (!ok && failure == Failure::Shown)
        m_context.prompter->message(ztk::MessageKind::Error, m_ws.dataset().errorText());
    if (ok || failure == Failure::Shown)
        showRecordCount();
    return ok;
}

void TForm1::showRecordCount()
{
    const int count = m_ws.dataset().isOpen() ? m_ws.dataset().recordCount() : 0;
    Label9->setText(ztk::msg::text(ztk::msg::RecordsPrefix) + QString::number(count));
}

// ---------------------------------------------------------------- start-up

void TForm1::FormCreate()
{
    const ztk::StartupSettings start = ztk::settleStartup(m_context);
    if (start.alreadyRunning) {
        m_context.prompter->message(ztk::MessageKind::Warning, ztk::msg::text(ztk::msg::AlreadyRunning));
        m_startedOk = false;
        return;
    }
    m_selection.reset();
    showVersion(start.versionText);

    // The port and the reader thread work even when the table does not open.
    m_portConfig = start.port;
    if (start.portConfigMissing)
        m_context.prompter->message(ztk::MessageKind::Warning, ztk::msg::text(ztk::msg::CfgMissing));
    Label20->setText(QString::fromLocal8Bit(m_portConfig.portName));
    m_portList = ztk::makePortList(serialDeviceNames()) + ztk::stableSerialPaths();
    m_portFailed = m_ws.link().open(m_portConfig, *m_context.prompter).port != ztk::SerialPort::Opened;
    updateAllScalesItem();

    // Without the product table the window goes no further.
    if (!ztk::openWorkingStore(m_ws.store(), m_context.workDir)) {
        m_context.prompter->message(ztk::MessageKind::Error, m_ws.store().errorText());
        return;
    }
    m_selection.setDialect(m_ws.store().dialect());
    m_ws.followScale();
    if (!runSelection())
        return;
    // A table shared on a server: the grid follows what the other PCs store.
    m_ws.dataset().followStoreChanges([this] { showRecordCount(); });
    followScalesSummary();

    showPortStatus();
    m_ws.link().clearModes();
    resetSelectionInputs();
    m_ws.copyBuffer() = ztk::CopyBuffer{};
    restoreSettings();
}

void TForm1::showVersion(const QString &versionText)
{
    m_versionText = versionText;
    m_versionKnown = !versionText.isEmpty();
    if (!m_versionKnown)
        return;
    const QString suffix = ztk::versionSuffix(versionText);
    setWindowTitle(ztk::msg::text(ztk::msg::MainCaption) + suffix);
    const QString title = ztk::applicationTitle();
    if (!title.endsWith(suffix))
        ztk::setApplicationTitle(title + suffix);
}

void TForm1::showPortStatus()
{
    if (m_portFailed) {
        // The port stays named, so that the operator sees which one did not open.
        Label20->setText(ztk::msg::text(ztk::msg::PortLabelNoLinkOn).arg(QString::fromLocal8Bit(m_portConfig.portName)));
        Label20->setToolTip(ztk::msg::text(ztk::msg::PortLabelNoLink));
        Label2->setText(ztk::msg::text(ztk::msg::BaudLabelNotSet));
        setExchangeItemsEnabled(false);
    } else {
        Label20->setText(QString::fromLocal8Bit(m_portConfig.portName));
        Label2->setText(QString::number(m_portConfig.baudRate));
    }
}

// Today in the calendar and the date box; the other input boxes hidden.
void TForm1::resetSelectionInputs()
{
    const QDate today = m_context.clock->now().date();
    MonthCalendar1->setSelectedDate(today);
    Edit1->hide();
    Edit4->hide();
    Edit5->hide();
    Edit2->setText(ztk::datetext::yearFirst(today));
    CSpinEdit1->hide();
}

void TForm1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_shownOnce) {
        m_shownOnce = true;
        // After the window has painted, and with its frame known to the layout.
        QTimer::singleShot(0, this, [this] {
            FormResize();
            FormShow();
        });
    }
}

void TForm1::FormShow()
{
    checkLinkNow();
}

void TForm1::checkLinkNow()
{
    ztk::ExchangeRun run(m_ws, this, ztk::Operation::LinkCheck,
                         ztk::ExchangeRun::Wait{ztk::msg::text(ztk::msg::LinkCheckCaption), QString(), false});
    if (!run.started())
        return;
    setLinkState(run.finish(ztk::checkLink(run.session())));
}

void TForm1::N16Click()
{
    // A port that did not open may be there now (the adapter plugged in).
    if (m_portFailed) {
        m_portFailed = m_ws.link().open(m_portConfig, *m_context.prompter).port != ztk::SerialPort::Opened;
        showPortStatus();
        if (m_portFailed) {
            setLinkState(false);
            return;
        }
    }
    checkLinkNow();
}

void TForm1::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TForm1::FormActivate()
{
    DBGrid1->setFocus();
    showRecordCount();
}

// ---------------------------------------------------------------- link state

void TForm1::setExchangeItemsEnabled(bool enabled)
{
    m_linkUp = enabled;
    applyExchangeItems();
}

void TForm1::applyExchangeItems()
{
    const bool idle = !m_exchange.busy();
    for (QAction *item : {N7, N5, N10, N4})
        item->setEnabled(m_linkUp && idle);
    N1->setEnabled(idle); // a new port would pull the line from under the exchange
    N12->setEnabled(idle);
    N16->setEnabled(idle);
    if (idle)
        updateAllScalesItem();
    else
        N11->setEnabled(false);
}

void TForm1::setLinkState(bool up)
{
    Label1->setText(tr(up ? ztk::msg::LinkUp : ztk::msg::LinkDown));
    setExchangeItemsEnabled(up);
}

void TForm1::SendByte(unsigned char byte)
{
    m_ws.link().sendByte(byte);
}

void TForm1::Button1Click()
{
    ztk::ExchangeRun run(m_ws, this, ztk::Operation::ScaleNumber, std::nullopt);
    if (!run.started())
        return;
    std::int8_t number = 0;
    if (run.finish(ztk::askScaleNumber(run.session(), number)))
        m_ws.announceScaleNumber(number); // the common-data window shows it

}

void TForm1::N1Click()
{
    m_ws.link().stopReader();
    m_portList = ztk::makePortList(serialDeviceNames()) + ztk::stableSerialPaths();
    m_ws.link().closePort();
    if (SelectPort) {
        m_portConfig = SelectPort->edit(m_portConfig, m_portList);
        // A network port or a stable device path does not fit "fbdves.cfg": tried at
        // once, it goes into the scales list when the operator says so.
        const QString listed = SelectPort->listedPort();
        if (!listed.isEmpty())
            offerListedPort(listed);
    }

    m_portFailed = m_ws.link().open(m_portConfig, *m_context.prompter).port != ztk::SerialPort::Opened;
    showPortStatus();
    if (m_portFailed)
        setLinkState(false);
    m_ws.followScale(); // another port, another scale
    updateAllScalesItem();
}

void TForm1::offerListedPort(const QString &port)
{
    const ztk::ScaleEntry scale{QString(), port, m_portConfig.baudRate, int(m_portConfig.lastScaleNumber)};
    // A port that does not open is said with its reason; it may still be listed (a
    // device server not yet switched on).
    bool answered = false;
    {
        ztk::WaitScope wait(this, ztk::msg::text(ztk::msg::LinkCheckCaption), QString(), false);
        answered = ztk::checkLinkOn(scale.portConfig(m_portConfig), *m_context.clock, *m_context.pump,
                                    *m_context.prompter);
    }
    const ztk::Question question{ztk::msg::text(answered ? ztk::msg::ListPortAnswered : ztk::msg::ListPortSilent).arg(port),
                                 ztk::msg::text(ztk::msg::ListPortCaption), ztk::Buttons::YesNo, QString(),
                                 answered ? ztk::Answer::Yes : ztk::Answer::No};
    if (m_context.prompter->ask(question) != ztk::Answer::Yes)
        return;
    QString error;
    if (!ztk::ScaleList::keepPort(m_context.workDir, m_portConfig, port, error))
        m_context.prompter->message(ztk::MessageKind::Error, error);
    else
        statusBar()->showMessage(ztk::msg::text(ztk::msg::ListPortKept).arg(port));
}


// ---------------------------------------------------------------- shutdown

void TForm1::closeEvent(QCloseEvent *event)
{
    FormCloseQuery();
    event->accept(); // the close is never refused
}

void TForm1::FormCloseQuery()
{
    // A refused second instance touches nothing of the first one's files.
    if (!m_startedOk || m_closed)
        return;
    m_closed = true;
    Timer1->stop();
    saveSettings();
    // The reader thread must have left its loop before anything it uses goes.
    m_ws.link().stopReader();
    m_ws.setImage(nullptr);
    // Pending edits are dropped, not stored.
    m_ws.dataset().disableControls();
    if (m_ws.dataset().isOpen()) {
        m_ws.dataset().cancel();
        m_ws.dataset().close();
    }
    m_ws.dataset().enableControls();
    m_portConfig.save(m_context.path(ztk::files::PortConfig));
    m_ws.link().closePort();
}

// ---------------------------------------------------------------- layout and clock

void TForm1::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

// A window manager adds its frame after the first showing, without a resize: the
// outer size grows by the title bar, and the move that comes with it lays out again.
void TForm1::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    if (frameGeometry().size() != m_laidOutSize)
        FormResize();
}

void TForm1::FormResize()
{
    const QSize outer = frameGeometry().size();
    m_laidOutSize = outer;
    for (const ScaledPlace &p : m_scaledPlaces)
        p.widget->setGeometry(ztk::scaledPlace(p.reference, outer));
    for (int column = 0; column < ztk::ProductTableModel::ColumnCount; ++column)
        DBGrid1->setColumnWidth(column, ztk::scaledPlace(QRect(0, 0, ztk::ProductTableModel::referenceWidth(column), 0),
                                                         outer).width());
}

void TForm1::Timer1Timer()
{
    Edit3->setText(ztk::datetext::longTime(m_context.clock->now().time()));
}

// ---------------------------------------------------------------- menu commands

void TForm1::N3Click()
{
    close();
}

void TForm1::N7Click()
{
    if (!Form2)
        return;
    Form2->show();
    Form2->raise();
    Form2->activateWindow();
}

void TForm1::N8Click()
{
    if (AboutProgram1)
        AboutProgram1->exec();
}

void TForm1::N9Click()
{
    ztk::showHelp();
}

// ---------------------------------------------------------------- events

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == DBEdit6 && event->type() == QEvent::MouseButtonRelease) {
        auto *me = static_cast<QMouseEvent *>(event);
        if (me->button() == Qt::LeftButton && DBEdit6->rect().contains(me->position().toPoint()))
            DBEdit6Click();
    } else if (watched == DBGrid1 && event->type() == QEvent::KeyRelease) {
        if (!static_cast<QKeyEvent *>(event)->isAutoRepeat())
            DBGrid1KeyUp();
    } else if (watched == DBGrid1->viewport() && event->type() == QEvent::MouseButtonRelease) {
        DBGrid1MouseUp();
    }
    return QMainWindow::eventFilter(watched, event);
}
