#include "sales/ui/Istprod.h"
#include "ui/WindowRules.h"

#include "app/Workspace.h"
#include "products/ProductStore.h"
#include "products/print/ReportPrinter.h"
#include "sales/SalesReport.h"
#include "shared/Messages.h"
#include "shared/OutputFile.h"
#include "ui/Named.h"

#include <QAbstractTableModel>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTimeAxis>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHorizontalBarSeries>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QLocale>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QValueAxis>
#include <QVBoxLayout>

#include <algorithm>

using namespace ztk;

namespace ztk {

// The listing's rows as the table shows them; each cell sorts by its value, not its text.
class SalesTableModel final : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void show(const SalesListing &listing, SalesGrouping by)
    {
        beginResetModel();
        m_by = by;
        m_headers = salesHeaders(by);
        const QString point = QLocale().decimalPoint();
        m_cells.clear();
        m_keys.clear();
        m_cells.reserve(listing.rows.size());
        m_keys.reserve(listing.rows.size());
        const int first = by == SalesGrouping::Product ? 0 : 1;
        for (const SalesRow &r : listing.rows) {
            m_cells.push_back(salesCells(r, by, point));
            QVariantList keys;
            if (first)
                keys << r.group;
            keys << r.product << r.name << (r.weighed ? double(r.sold.amount) / 1000.0 : double(r.sold.amount))
                 << qint64(r.sold.money) << qint64(r.sold.weighings);
            m_keys.push_back(keys);
        }
        endResetModel();
    }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : int(m_cells.size());
    }
    int columnCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : int(m_headers.size());
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid())
            return {};
        const auto row = std::size_t(index.row());
        if (role == Qt::DisplayRole)
            return m_cells[row].value(index.column());
        if (role == Qt::UserRole)
            return m_keys[row].value(index.column());
        if (role == Qt::TextAlignmentRole && index.column() != nameColumn())
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
            return m_headers.value(section);
        return QAbstractTableModel::headerData(section, orientation, role);
    }

private:
    int nameColumn() const { return m_by == SalesGrouping::Product ? 1 : 2; }

    SalesGrouping m_by = SalesGrouping::Product;
    QStringList m_headers;
    std::vector<QStringList> m_cells;
    std::vector<QVariantList> m_keys;
};

} // namespace ztk

namespace {

constexpr int ChartTopProducts = 10;

} // namespace

TFormIstprod::TFormIstprod(Workspace &workspace, QWidget *parent)
    : QDialog(parent, Qt::Window), m_ws(workspace)
{
    setObjectName(QStringLiteral("FormIstprod"));
    ztk::applyWindowRule(this); // F1 opens its own section of the help
    setWindowTitle(msg::text(msg::SalesCaption));
    buildControls();
    initActionsConnections();
    SpeedButton3Click(); // this month, until the operator picks another period
    resize(1180, 680);
}

TFormIstprod::~TFormIstprod() = default;

TFormIstprod *TFormIstprod::open(Workspace &workspace, QWidget *parent)
{
    auto *window = parent->findChild<TFormIstprod *>(QString(), Qt::FindDirectChildrenOnly);
    if (!window)
        window = new TFormIstprod(workspace, parent); // the parent owns it
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

void TFormIstprod::buildControls()
{
    DateEdit1 = named(new QDateEdit(this), "DateEdit1");
    DateEdit2 = named(new QDateEdit(this), "DateEdit2");
    for (QDateEdit *d : {DateEdit1, DateEdit2}) {
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    }
    SpeedButton1 = named(new QPushButton(msg::text(msg::SalesToday), this), "SpeedButton1");
    SpeedButton2 = named(new QPushButton(msg::text(msg::SalesThisWeek), this), "SpeedButton2");
    SpeedButton3 = named(new QPushButton(msg::text(msg::SalesThisMonth), this), "SpeedButton3");
    ComboBox1 = named(new QComboBox(this), "ComboBox1");
    ComboBox1->addItem(msg::text(msg::SalesByProduct), int(SalesGrouping::Product));
    ComboBox1->addItem(msg::text(msg::SalesByDay), int(SalesGrouping::Day));
    ComboBox1->addItem(msg::text(msg::SalesByScale), int(SalesGrouping::Scale));
    CheckListBox1 = named(new QListWidget(this), "CheckListBox1");
    CheckListBox1->setMaximumHeight(90);
    Button1 = named(new QPushButton(msg::text(msg::SalesShow), this), "Button1");
    Button2 = named(new QPushButton(msg::text(msg::SalesExport), this), "Button2");
    Button3 = named(new QPushButton(msg::text(msg::SalesPrint), this), "Button3");
    Button4 = named(new QPushButton(msg::text(msg::SalesExit), this), "Button4");

    m_model = new SalesTableModel(this);
    m_sorted = new QSortFilterProxyModel(this);
    m_sorted->setSourceModel(m_model);
    m_sorted->setSortRole(Qt::UserRole);
    StringGrid1 = named(new QTableView(this), "StringGrid1");
    StringGrid1->setModel(m_sorted);
    StringGrid1->setSortingEnabled(true);
    StringGrid1->sortByColumn(-1, Qt::AscendingOrder); // as listed until a header is clicked
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid1->verticalHeader()->hide();
    StringGrid1->verticalHeader()->setDefaultSectionSize(20);
    StringGrid1->horizontalHeader()->setStretchLastSection(true);
    Label1 = named(new QLabel(this), "Label1");

    Chart1 = named(new QChartView(this), "Chart1");
    Chart2 = named(new QChartView(this), "Chart2");
    for (QChartView *v : {Chart1, Chart2})
        v->setRenderHint(QPainter::Antialiasing);

    auto *period = new QHBoxLayout;
    period->addWidget(new QLabel(msg::text(msg::SalesFrom), this));
    period->addWidget(DateEdit1);
    period->addWidget(new QLabel(msg::text(msg::SalesTo), this));
    period->addWidget(DateEdit2);
    for (QPushButton *b : {SpeedButton1, SpeedButton2, SpeedButton3})
        period->addWidget(b);
    period->addSpacing(16);
    period->addWidget(new QLabel(msg::text(msg::SalesGroupLabel), this));
    period->addWidget(ComboBox1);
    period->addStretch();
    auto *scales = new QHBoxLayout;
    scales->addWidget(new QLabel(msg::text(msg::SalesScalesLabel), this), 0, Qt::AlignTop);
    scales->addWidget(CheckListBox1, 1);
    auto *buttons = new QVBoxLayout;
    for (QPushButton *b : {Button1, Button2, Button3, Button4})
        buttons->addWidget(b);
    scales->addLayout(buttons);

    auto *left = new QVBoxLayout;
    left->addWidget(StringGrid1, 1);
    left->addWidget(Label1);
    auto *right = new QVBoxLayout;
    right->addWidget(Chart1, 1);
    right->addWidget(Chart2, 1);
    auto *body = new QHBoxLayout;
    body->addLayout(left, 3);
    body->addLayout(right, 2);
    auto *all = new QVBoxLayout(this);
    all->addLayout(period);
    all->addLayout(scales);
    all->addLayout(body, 1);
}

void TFormIstprod::initActionsConnections()
{
    connect(SpeedButton1, &QPushButton::clicked, this, &TFormIstprod::SpeedButton1Click);
    connect(SpeedButton2, &QPushButton::clicked, this, &TFormIstprod::SpeedButton2Click);
    connect(SpeedButton3, &QPushButton::clicked, this, &TFormIstprod::SpeedButton3Click);
    connect(Button1, &QPushButton::clicked, this, &TFormIstprod::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TFormIstprod::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TFormIstprod::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TFormIstprod::close);
}

void TFormIstprod::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    fillScales();
    Button1Click();
}

void TFormIstprod::fillScales()
{
    QStringList names;
    SalesHistory history(m_ws.store());
    if (!history.scales(names))
        m_ws.prompter().message(MessageKind::Error, history.errorText());
    const ScaleList list = m_ws.scales();
    for (const ScaleEntry &s : list.scales()) {
        if (!names.contains(s.name))
            names << s.name;
    }
    names.sort();
    CheckListBox1->clear();
    for (const QString &name : names) {
        auto *item = new QListWidgetItem(name, CheckListBox1);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
}

void TFormIstprod::setPeriod(const QDate &from, const QDate &to)
{
    DateEdit1->setDate(from);
    DateEdit2->setDate(to);
}

void TFormIstprod::SpeedButton1Click()
{
    const QDate today = m_ws.clock().now().date();
    setPeriod(today, today);
}

void TFormIstprod::SpeedButton2Click()
{
    const QDate today = m_ws.clock().now().date();
    setPeriod(today.addDays(1 - today.dayOfWeek()), today); // from Monday
}

void TFormIstprod::SpeedButton3Click()
{
    const QDate today = m_ws.clock().now().date();
    setPeriod(QDate(today.year(), today.month(), 1), today);
}

std::optional<SalesQuery> TFormIstprod::readQuery()
{
    SalesQuery q;
    q.period.from = DateEdit1->date();
    q.period.to = DateEdit2->date();
    if (*q.period.from > *q.period.to) {
        m_ws.prompter().message(MessageKind::Warning,
                                msg::text(msg::SalesBadPeriod)
                                    .arg(q.period.from->toString(Qt::ISODate), q.period.to->toString(Qt::ISODate)));
        return std::nullopt;
    }
    q.by = SalesGrouping(ComboBox1->currentData().toInt());
    bool allTicked = true;
    for (int i = 0; i < CheckListBox1->count(); ++i) {
        const QListWidgetItem *item = CheckListBox1->item(i);
        if (item->checkState() == Qt::Checked)
            q.scales << item->text();
        else
            allTicked = false;
    }
    // All ticked: every scale of the history, also one that left the list since.
    if (allTicked)
        q.scales.clear();
    else if (q.scales.isEmpty())
        q.scales << QString(); // none ticked: no scale, an empty listing
    return q;
}

void TFormIstprod::Button1Click()
{
    const std::optional<SalesQuery> q = readQuery();
    if (!q)
        return;
    SalesHistory history(m_ws.store());
    SalesListing listing;
    std::vector<DayMoney> days;
    if (!history.listing(*q, listing) || !history.moneyByDay(*q, days)) {
        m_ws.prompter().message(MessageKind::Error, history.errorText());
        return;
    }
    m_listing = std::move(listing);
    m_days = std::move(days);
    m_shown = *q;
    m_model->show(m_listing, q->by);
    StringGrid1->resizeColumnsToContents();
    const QString point = QLocale().decimalPoint();
    Label1->setText(QStringLiteral("%1: %2  %3  %4  %5")
                        .arg(msg::text(msg::SalesTotal), msg::text(msg::TotalsHeaderMoney),
                             unitsText(m_listing.total.money, 2, point), msg::text(msg::TotalsHeaderWeighings))
                        .arg(m_listing.total.weighings));
    drawCharts();
}

void TFormIstprod::drawCharts()
{
    const QString point = QLocale().decimalPoint();
    // The products with the most money over the period, whatever the grouping.
    std::map<int, std::pair<QString, std::int64_t>> byProduct;
    for (const SalesRow &r : m_listing.rows) {
        auto &[label, money] = byProduct[r.product];
        label = r.name.isEmpty() ? QString::number(r.product) : r.name;
        money += r.sold.money;
    }
    std::vector<std::pair<std::int64_t, std::pair<int, QString>>> top;
    for (const auto &[product, entry] : byProduct)
        top.push_back({entry.second, {product, entry.first}});
    std::sort(top.begin(), top.end(), [](const auto &a, const auto &b) {
        return a.first != b.first ? a.first > b.first : a.second.first < b.second.first;
    });
    top.resize(std::min<std::size_t>(top.size(), ChartTopProducts));

    auto *bars = new QHorizontalBarSeries;
    auto *money = new QBarSet(msg::text(msg::TotalsHeaderMoney));
    QStringList categories;
    for (auto it = top.rbegin(); it != top.rend(); ++it) { // the most money on top
        *money << double(it->first) / 100.0;               // drawing only
        categories << it->second.second + QStringLiteral("  ") + unitsText(it->first, 2, point);
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
    values->applyNiceNumbers();
    topChart->legend()->hide();

    auto *line = new QLineSeries;
    line->setName(msg::text(msg::TotalsHeaderMoney));
    double highest = 0;
    for (const DayMoney &d : m_days) {
        const double rubles = double(d.money) / 100.0;
        line->append(double(d.day.startOfDay().toMSecsSinceEpoch()), rubles);
        highest = std::max(highest, rubles);
    }
    auto *dayChart = new QChart;
    dayChart->setTitle(msg::text(msg::SalesChartDays));
    dayChart->addSeries(line);
    auto *time = new QDateTimeAxis;
    time->setFormat(QStringLiteral("dd.MM"));
    if (m_shown.period.from && m_shown.period.to)
        time->setRange(m_shown.period.from->startOfDay(), m_shown.period.to->startOfDay());
    dayChart->addAxis(time, Qt::AlignBottom);
    line->attachAxis(time);
    auto *sums = new QValueAxis;
    sums->setLabelFormat(QStringLiteral("%.0f"));
    sums->setRange(0, std::max(highest, 1.0));
    dayChart->addAxis(sums, Qt::AlignLeft);
    line->attachAxis(sums);
    sums->applyNiceNumbers();
    dayChart->legend()->hide();

    // The views take the new charts and let go of the old ones.
    for (auto [view, chart] : {std::pair{Chart1, topChart}, std::pair{Chart2, dayChart}}) {
        QChart *old = view->chart();
        view->setChart(chart);
        delete old;
    }
}

void TFormIstprod::Button2Click()
{
    QString path = m_ws.prompter().saveFileName(msg::text(msg::SalesExportTitle), msg::text(msg::SalesExportFilter));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".csv");
    const QString error = writeOutputFile(m_ws.context().workDir, path, salesCsv(m_listing, m_shown.by), msg::FileNotWritten);
    if (!error.isEmpty())
        m_ws.prompter().message(MessageKind::Error, error);
}

QString TFormIstprod::reportText() const
{
    return salesReport(m_listing, m_shown.by, m_shown.period);
}

void TFormIstprod::printOn(QPagedPaintDevice &device) const
{
    drawReport(device, reportText());
}

void TFormIstprod::Button3Click()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(msg::text(msg::SalesCaption));
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    printOn(printer);
}
