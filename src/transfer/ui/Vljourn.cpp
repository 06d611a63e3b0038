#include "transfer/ui/Vljourn.h"
#include "ui/WindowRules.h"

#include "app/Workspace.h"
#include "products/ProductStore.h"
#include "shared/Messages.h"
#include "transfer/ExchangeJournal.h"
#include "ui/Named.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

using namespace ztk;

TFormJourn *FormJourn = nullptr;

TFormJourn::TFormJourn(Workspace &workspace, QWidget *parent) : QDialog(parent), m_ws(workspace)
{
    setObjectName(QStringLiteral("FormJourn"));
    ztk::applyWindowRule(this); // F1 opens its own section of the help
    setWindowTitle(msg::text(msg::JournalCaption));
    setModal(true);

    CheckSince = named(new QCheckBox(msg::text(msg::JournalSince), this), "CheckSince");
    DateSince = named(new QDateEdit(this), "DateSince");
    DateSince->setCalendarPopup(true);
    DateSince->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    ComboScale = named(new QComboBox(this), "ComboScale");
    CheckFailed = named(new QCheckBox(msg::text(msg::JournalFailedOnly), this), "CheckFailed");
    Button1 = named(new QPushButton(msg::text(msg::JournalShow), this), "Button1");
    Button2 = named(new QPushButton(QStringLiteral("Выход"), this), "Button2");
    const QStringList columns = msg::text(msg::JournalColumns).split(QLatin1Char('|'));
    StringGrid1 = named(new QTableWidget(0, int(columns.size()), this), "StringGrid1");
    StringGrid1->setHorizontalHeaderLabels(columns);
    StringGrid1->verticalHeader()->hide();
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->horizontalHeader()->setStretchLastSection(true);
    Label1 = named(new QLabel(this), "Label1");

    auto *filters = new QHBoxLayout;
    filters->addWidget(CheckSince);
    filters->addWidget(DateSince);
    filters->addSpacing(12);
    filters->addWidget(new QLabel(msg::text(msg::JournalScale), this));
    filters->addWidget(ComboScale, 1);
    filters->addSpacing(12);
    filters->addWidget(CheckFailed);
    filters->addWidget(Button1);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(Label1, 1);
    bottom->addWidget(Button2);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(StringGrid1, 1);
    layout->addLayout(bottom);
    resize(1000, 480);

    connect(Button1, &QPushButton::clicked, this, &TFormJourn::refresh);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(CheckSince, &QCheckBox::toggled, DateSince, &QWidget::setEnabled);
    connect(CheckSince, &QCheckBox::toggled, this, &TFormJourn::refresh);
    connect(CheckFailed, &QCheckBox::toggled, this, &TFormJourn::refresh);
    connect(ComboScale, &QComboBox::activated, this, &TFormJourn::refresh);
    connect(DateSince, &QDateEdit::dateChanged, this, [this] {
        if (CheckSince->isChecked())
            refresh();
    });
    // What is kept while the window is open shows at once.
    connect(&m_ws, &Workspace::journalKept, this, [this] {
        if (isVisible())
            refresh();
    });
    DateSince->setEnabled(false);
}

void TFormJourn::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    DateSince->setDate(m_ws.clock().now().date());
    m_ws.keepJournal();
    fillScales();
    refresh();
}

void TFormJourn::fillScales()
{
    const QString picked = ComboScale->currentIndex() > 0 ? ComboScale->currentText() : QString();
    QStringList names;
    const ScaleList list = m_ws.scales();
    for (const ScaleEntry &s : list.scales())
        names << s.name;
    std::vector<JournalRow> last;
    if (m_ws.store().isOpen() && ExchangeJournal::lastOfEachScale(m_ws.store(), last)) {
        for (const JournalRow &r : last)
            if (!names.contains(r.scale))
                names << r.scale;
    }
    ComboScale->clear();
    ComboScale->addItem(msg::text(msg::JournalAllScales));
    ComboScale->addItems(names);
    ComboScale->setCurrentIndex(std::max(0, int(ComboScale->findText(picked))));
}

void TFormJourn::refresh()
{
    JournalFilter filter;
    if (CheckSince->isChecked())
        filter.since = DateSince->date();
    if (ComboScale->currentIndex() > 0)
        filter.scale = ComboScale->currentText();
    filter.failedOnly = CheckFailed->isChecked();
    std::vector<JournalRow> rows;
    if (!m_ws.store().isOpen() || !ExchangeJournal::list(m_ws.store(), filter, rows)) {
        m_ws.prompter().message(MessageKind::Error, m_ws.store().errorText());
        return;
    }
    StringGrid1->setRowCount(int(rows.size()));
    for (int r = 0; r < int(rows.size()); ++r) {
        const QStringList cells = ExchangeJournal::line(rows[std::size_t(r)]).split(QLatin1Char('\t'));
        for (int c = 0; c < int(cells.size()) && c < StringGrid1->columnCount(); ++c) {
            auto *item = new QTableWidgetItem(cells[c]);
            if (c == ColOutcome)
                item->setText(msg::text(rows[std::size_t(r)].ok ? msg::OutcomeOk : msg::OutcomeFailed));
            StringGrid1->setItem(r, c, item);
        }
    }
    StringGrid1->resizeColumnsToContents();
    if (!rows.empty())
        StringGrid1->scrollToBottom();
    Label1->setText(msg::text(msg::JournalCount).arg(rows.size()));
}
