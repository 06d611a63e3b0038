#include "totals/ui/Pdsd.h"

#include "ui/Help.h"
#include "app/Workspace.h"
#include "ui/ExchangeRun.h"
#include "sales/SalesRecorder.h"
#include "shared/Messages.h"
#include "totals/SelectionProducts.h"
#include "totals/TotalsExchange.h"
#include "totals/TotalsText.h"
#include "ui/Named.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QEventLoop>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHorizontalBarSeries>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QPieSeries>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QValueAxis>
#include <QVBoxLayout>
#include <QWindow>

TForm5 *Form5 = nullptr;

using namespace ztk;

namespace {

constexpr int DesignRows = 5001;
constexpr int NameColumnWidth = 220;
constexpr int ChartTopProducts = 10;
constexpr int NameColumn = 4;

// A cell as the grid's fixed first column shows it: not selectable, in the button colour.
void makeFixed(QTableWidgetItem *item, const QPalette &palette)
{
    item->setFlags(Qt::ItemIsEnabled);
    item->setBackground(palette.button());
}

QString percentText(std::int64_t part, std::int64_t whole)
{
    return QLocale().toString(whole > 0 ? 100.0 * double(part) / double(whole) : 0.0, 'f', 1) + QLatin1Char('%');
}

} // namespace

QString TotalsSaveDialog::execute(Prompter &prompter) const
{
    const QString path = prompter.saveFileName(title, filter);
    if (path.isEmpty() || defaultExtension.isEmpty())
        return path;
    return withTotalsExtension(path);
}

TForm5::TForm5(Workspace &workspace, QWidget *parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      SaveDialog1{msg::text(msg::TotalsSaveTitle), msg::text(msg::TotalsSaveFilter), QStringLiteral("id")},
      m_ws(workspace)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(msg::text(msg::TotalsCaption));
    buildControls();
    initActionsConnections();
    FormCreate();
    // The window refuses every resize.
    setFixedSize(1180, 620);
}

void TForm5::buildControls()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    auto item = [bar](const char *text, const char *name) { return menuItem(bar, name, msg::text(text)); };
    N4 = item(msg::TotalsSaveItem, "N4");
    N1 = item(msg::TotalsClearAllItem, "N1");
    N2 = item(msg::TotalsClearOneItem, "N2");
    N5 = addHelpItem(this, QStringLiteral("Topic80"));
    N5->setObjectName(QStringLiteral("N5"));
    N3 = item(msg::TotalsExitItem, "N3");

    auto *c = new QWidget(this);
    setCentralWidget(c);
    Label1 = new QLabel(msg::text(msg::TotalsCountLabel), c);
    Label1->setObjectName(QStringLiteral("Label1"));
    Edit1 = new QLineEdit(c);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setReadOnly(true);
    Edit1->setFixedWidth(80);

    StringGrid1 = new QTableWidget(0, TotalsColumns, c);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid1->verticalHeader()->hide();
    StringGrid1->verticalHeader()->setDefaultSectionSize(20);
    StringGrid1->horizontalHeader()->setHighlightSections(false);
    // A click gives the focus; nothing else may pick a cell the operator did not choose.
    StringGrid1->setFocusPolicy(Qt::ClickFocus);
    StringGrid1->setColumnWidth(NameColumn, NameColumnWidth);
    StringGrid1->setFixedWidth(640);

    Memo2 = new QPlainTextEdit(c);
    Memo2->setObjectName(QStringLiteral("Memo2"));
    Memo2->hide();

    Chart1 = new QChartView(c);
    Chart1->setObjectName(QStringLiteral("Chart1"));
    Chart1->setRenderHint(QPainter::Antialiasing);
    Chart2 = new QChartView(c);
    Chart2->setObjectName(QStringLiteral("Chart2"));
    Chart2->setRenderHint(QPainter::Antialiasing);

    auto *count = new QHBoxLayout;
    count->addWidget(Label1);
    count->addWidget(Edit1);
    count->addStretch();
    LabelNote = new QLabel(msg::text(msg::TotalsNotInTableNote), c);
    LabelNote->setObjectName(QStringLiteral("LabelNote"));

    auto *left = new QVBoxLayout;
    left->addLayout(count);
    left->addWidget(StringGrid1);
    left->addWidget(LabelNote);
    auto *right = new QVBoxLayout;
    right->addWidget(Chart1, 3);
    right->addWidget(Chart2, 2);
    auto *all = new QHBoxLayout(c);
    all->addLayout(left);
    all->addLayout(right, 1);
}

void TForm5::initActionsConnections()
{
    connect(N4, &QAction::triggered, this, &TForm5::N4Click);
    connect(N1, &QAction::triggered, this, &TForm5::N1Click);
    connect(N2, &QAction::triggered, this, &TForm5::N2Click);
    connect(N3, &QAction::triggered, this, &TForm5::N3Click);
    connect(StringGrid1, &QTableWidget::currentCellChanged, this,
            [this](int row, int column) { StringGrid1SelectCell(row, column); });
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &TForm5::focusWindowChanged);
    offWhileExchanging(m_ws.exchangeLock(), this, {N1, N2});
}

Prompter &TForm5::prompter() const
{
    return m_ws.prompter();
}

QString TForm5::cell(int row, int column) const
{
    const QTableWidgetItem *item = StringGrid1->item(row, column);
    return item ? item->text() : QString();
}

// ---------------------------------------------------------------- showing

void TForm5::FormCreate()
{
    StringGrid1->setRowCount(DesignRows);
    StringGrid1->setHorizontalHeaderLabels({msg::text(msg::TotalsHeaderN), msg::text(msg::TotalsHeaderWeight),
                                            msg::text(msg::TotalsHeaderMoney), msg::text(msg::TotalsHeaderWeighings),
                                            msg::text(msg::TotalsHeaderName)});
    m_picked.number = 0;
}

void TForm5::setImage(const TotalsImage &image, const QString &notKept)
{
    m_image = image;
    m_table = TotalsTable();
    m_cleared.clear();
    m_notKept = notKept;
    m_filling = true;
    StringGrid1->clearContents();
    m_filling = false;
    const TotalsCells headers = totalsHeaders();
    StringGrid1->setHorizontalHeaderLabels(QStringList(headers.begin(), headers.end()));
}

void TForm5::showModal()
{
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
    QEventLoop loop;
    m_modalLoop = &loop;
    if (isVisible())
        loop.exec();
    m_modalLoop = nullptr;
}

void TForm5::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    FormActivate();
}

void TForm5::hideEvent(QHideEvent *event)
{
    QMainWindow::hideEvent(event);
    if (m_modalLoop)
        m_modalLoop->quit();
}

void TForm5::focusWindowChanged(QWindow *now)
{
    QWindow *mine = windowHandle();
    if (!mine)
        return;
    // Coming back from its own message box or save dialog, or from another program, is
    // no new activation: the rows (and the zeros of a clearing) stay as they are.
    if (now == mine && isVisible() && !m_backFromElsewhere)
        FormActivate();
    m_backFromElsewhere = !now || (now != mine && now->transientParent() == mine);
}

void TForm5::FormActivate()
{
    m_ws.suspendGrid(true);
    std::vector<TotalsProduct> products = totalsProducts(m_ws.dataset());
    const QString point = QLocale().decimalPoint();
    m_table = buildTotalsRows(m_image, TotalsLookup(std::move(products)), point);
    for (const int number : m_cleared)
        m_table.markCleared(number, point);
    fillGrid();
    m_ws.suspendGrid(false);
    Edit1->setText(QString::number(m_table.rows.size()));
    drawCharts();
}

void TForm5::fillGrid()
{
    m_filling = true;
    StringGrid1->setUpdatesEnabled(false);
    const int count = int(m_table.rows.size());
    StringGrid1->setRowCount(count + 1); // the product rows and the sum row
    const QPalette palette = StringGrid1->palette();
    auto put = [&](int row, const TotalsCells &cells, const TotalsRow *of) {
        for (int col = 0; col < TotalsColumns; ++col) {
            auto *item = new QTableWidgetItem(cells[std::size_t(col)]);
            if (col == 0)
                makeFixed(item, palette);
            if (col < NameColumn)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (of && of->cleared)
                item->setForeground(palette.brush(QPalette::Disabled, QPalette::Text));
            StringGrid1->setItem(row, col, item);
        }
        if (of && !of->found)
            StringGrid1->item(row, 0)->setToolTip(msg::text(msg::TotalsNotInTable));
    };
    for (int r = 0; r < count; ++r) {
        const TotalsRow &row = m_table.rows[std::size_t(r)];
        put(r, shownTotalsCells(row), &row);
    }
    put(count, m_table.sumRow, nullptr);
    StringGrid1->setUpdatesEnabled(true);
    m_filling = false;
}

void TForm5::drawCharts()
{
    const TotalsSummary s = summarizeTotals(m_table, ChartTopProducts);
    const QString point = QLocale().decimalPoint();

    // Bars, the most money on top; the exact sum is written beside each name.
    auto *bars = new QHorizontalBarSeries;
    auto *money = new QBarSet(msg::text(msg::TotalsHeaderMoney));
    QStringList categories;
    for (auto it = s.top.rbegin(); it != s.top.rend(); ++it) {
        *money << double(it->money) / 100.0; // drawing only
        categories << it->label + QStringLiteral("  ") + fixedText(std::uint64_t(it->money), 2, point);
    }
    bars->append(money);
    auto *topChart = new QChart;
    topChart->setTitle(msg::text(msg::TotalsChartTop));
    topChart->addSeries(bars);
    auto *names = new QBarCategoryAxis;
    names->append(categories);
    topChart->addAxis(names, Qt::AlignLeft);
    bars->attachAxis(names);
    auto *values = new QValueAxis;
    values->setLabelFormat(QStringLiteral("%.0f"));
    topChart->addAxis(values, Qt::AlignBottom);
    bars->attachAxis(values);
    if (s.top.empty())
        values->setRange(0, 1); // nothing left to draw: no range to make nice
    else
        values->applyNiceNumbers();
    topChart->legend()->hide();

    auto *share = new QPieSeries;
    const std::int64_t total = s.weighedMoney + s.pieceMoney;
    const std::pair<const char *, std::int64_t> parts[] = {{msg::TotalsWeighed, s.weighedMoney},
                                                           {msg::TotalsPieces, s.pieceMoney}};
    for (const auto &[label, part] : parts) {
        if (part <= 0)
            continue;
        QPieSlice *slice = share->append(msg::text(label) + QLatin1Char(' ') + percentText(part, total) + QStringLiteral("  ")
                                             + fixedText(std::uint64_t(part), 2, point),
                                         double(part));
        slice->setLabelVisible(true);
    }
    auto *shareChart = new QChart;
    shareChart->setTitle(msg::text(msg::TotalsChartShare));
    shareChart->addSeries(share);
    shareChart->legend()->hide();

    // The views take the new charts and let go of the old ones.
    for (auto [view, chart] : {std::pair{Chart1, topChart}, std::pair{Chart2, shareChart}}) {
        QChart *old = view->chart();
        view->setChart(chart);
        delete old;
    }
}

void TForm5::StringGrid1SelectCell(int row, int column)
{
    if (m_filling || row < 0)
        return;
    // The sum row or a cleared row: nothing to clear.
    const bool clearable = row < int(m_table.rows.size()) && !m_table.rows[std::size_t(row)].cleared;
    m_picked.pick(clearable ? m_table.rows[std::size_t(row)].number : 0, row, column);
}

// ---------------------------------------------------------------- commands

TForm5::Saved TForm5::saveTotals()
{
    // What was received, whatever has been cleared since: the file is the day's sales.
    const QStringList lines = totalsLines(totalsHeaders(), m_table.cells());
    Memo2->setPlainText(lines.join(QLatin1Char('\n')));

    const QString path = SaveDialog1.execute(prompter());
    if (path.isEmpty())
        return Saved::Cancelled;
    QString error;
    if (!writeTotalsFile(m_ws.context().workDir, path, totalsFileBytes(lines), &error)) {
        prompter().message(ztk::MessageKind::Error, error);
        return Saved::Failed;
    }
    return Saved::Yes;
}

bool TForm5::mayClear()
{
    if (m_notKept.isEmpty())
        return true;
    prompter().message(ztk::MessageKind::Error, m_notKept);
    return false;
}

void TForm5::N4Click()
{
    saveTotals();
}

void TForm5::N1Click()
{
    if (!mayClear())
        return;
    // A cancelled save still clears (the reception is kept under totals/); a failed one does not.
    if (saveTotals() == Saved::Failed)
        return;
    std::vector<int> numbers;
    for (const TotalsRow &row : m_table.rows) {
        if (!row.cleared)
            numbers.push_back(row.number);
    }
    clearRows(numbers);
}

void TForm5::N2Click()
{
    if (m_picked.number == 0) {
        prompter().message(ztk::MessageKind::Warning, msg::text(msg::TotalsNothingSelected));
        return;
    }
    if (mayClear())
        clearRows({m_picked.number});
}

void TForm5::clearRows(const std::vector<int> &numbers)
{
    ExchangeRun run(m_ws, this, Operation::ClearTotals, std::nullopt);
    if (!run.started())
        return;
    const ExchangeResult r = clearTotals(run.session(), numbers);
    SalesRecorder(m_ws.store(), m_ws.scales().nameOfPort(QString::fromLocal8Bit(m_ws.portConfig().portName)), prompter())
        .cleared(m_ws.clock().now(), std::span(numbers).first(std::size_t(r.done)));
    // What went out is cleared in the scale, whether the rest did or not.
    const QString point = QLocale().decimalPoint();
    for (int k = 0; k < r.done; ++k) {
        m_cleared.insert(numbers[std::size_t(k)]);
        m_table.markCleared(numbers[std::size_t(k)], point);
    }
    if (r.done > 0) {
        fillGrid();
        drawCharts();
    }
    // A cleared row is no longer a product to clear.
    if (m_picked.number != 0 && m_cleared.count(m_picked.number))
        m_picked.number = 0;
    run.finish(r, msg::text(msg::TotalsClearedDone).arg(r.done));
}

void TForm5::N3Click()
{
    close();
}
