#include "transfer/ui/Vlsost.h"
#include "ui/WindowRules.h"

#include "app/Workspace.h"
#include "link/Exchange.h"
#include "products/ProductDataset.h"
#include "products/ProductStore.h"
#include "shared/Messages.h"
#include "transfer/ProductImage.h"
#include "transfer/ProductReader.h"
#include "transfer/ScaleStanding.h"
#include "ui/Named.h"
#include "ui/ScalesRun.h"

#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

using namespace ztk;

TFormSost *FormSost = nullptr;

TFormSost::TFormSost(Workspace &workspace, QWidget *parent) : QDialog(parent), m_ws(workspace)
{
    setObjectName(QStringLiteral("FormSost"));
    ztk::applyWindowRule(this); // F1 opens its own section of the help
    setWindowTitle(msg::text(msg::StandingsCaption));
    setModal(true);

    StringGrid1 = named(new QTableWidget(0, ColumnCount, this), "StringGrid1");
    StringGrid1->setHorizontalHeaderLabels({QStringLiteral("Весы"), QStringLiteral("Порт"), QStringLiteral("Связь"),
                                            QStringLiteral("Что ждёт"), QStringLiteral("Последняя синхронизация")});
    StringGrid1->verticalHeader()->hide();
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->horizontalHeader()->setStretchLastSection(true);
    Button1 = named(new QPushButton(QStringLiteral("Проверить связь"), this), "Button1");
    Button2 = named(new QPushButton(msg::text(msg::SyncCaption), this), "Button2");
    Button3 = named(new QPushButton(QStringLiteral("Сравнить"), this), "Button3");
    Button4 = named(new QPushButton(QStringLiteral("Выход"), this), "Button4");
    Memo1 = named(new QPlainTextEdit(this), "Memo1");
    Memo1->setReadOnly(true);

    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {Button1, Button2, Button3})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(Button4);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(StringGrid1, 3);
    layout->addLayout(buttons);
    layout->addWidget(Memo1, 1);
    resize(860, 420);

    initActionsConnections();
}

TFormSost::~TFormSost()
{
    if (FormSost == this)
        FormSost = nullptr;
}

void TFormSost::initActionsConnections()
{
    connect(Button1, &QPushButton::clicked, this, &TFormSost::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TFormSost::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TFormSost::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TFormSost::accept);
    // A record stored (here or on another PC) changes what waits for the scales.
    connect(&m_ws.dataset(), &ProductDataset::stored, this, [this] {
        if (isVisible())
            refresh();
    });
    connect(&m_ws.dataset(), &ProductDataset::reset, this, [this] {
        if (isVisible())
            refresh();
    });
}

void TFormSost::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    refresh();
}

int TFormSost::rowCount() const
{
    return StringGrid1->rowCount();
}

void TFormSost::refresh()
{
    const ScaleList list = m_ws.scales();
    QString error;
    const std::unique_ptr<ProductImage> table = tableImage(m_ws.store(), m_ws.clock().now().date(), error);
    if (!table || !scaleStandings(m_ws.store(), list.scales(), list, *table, m_ws.clock(), m_standings, error)) {
        Memo1->setPlainText(error);
        return;
    }
    StringGrid1->setRowCount(int(m_standings.size()));
    const auto put = [this](int row, int column, const QString &text) {
        if (QTableWidgetItem *item = StringGrid1->item(row, column))
            item->setText(text);
        else
            StringGrid1->setItem(row, column, new QTableWidgetItem(text));
    };
    for (int r = 0; r < int(m_standings.size()); ++r) {
        const ScaleStanding &s = m_standings[std::size_t(r)];
        put(r, ColName, s.scale.name);
        put(r, ColPort, s.scale.port);
        if (!StringGrid1->item(r, ColLink))
            put(r, ColLink, QString()); // known once the link is checked
        put(r, ColStanding, s.text());
        put(r, ColLastSync, s.last ? s.last->moment + QStringLiteral("  ") + s.last->outcome : QString());
    }
}

std::vector<int> TFormSost::pickedRows() const
{
    std::vector<int> rows;
    for (const QModelIndex &index : StringGrid1->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    if (rows.empty()) {
        for (int r = 0; r < rowCount(); ++r)
            rows.push_back(r);
    }
    return rows;
}

void TFormSost::showOutcomes(const QStringList &lines)
{
    Memo1->setPlainText(lines.join(QLatin1Char('\n')));
    refresh();
}

void TFormSost::Button1Click()
{
    QList<ScaleEntry> scales;
    for (const ScaleStanding &s : m_standings)
        scales << s.scale;
    const auto outcomes = runOnScales(m_ws, this, Operation::LinkCheck, msg::text(msg::LinkCheckCaption), scales,
                                      [](ScaleJob &j) {
        ExchangeSession session = j.session();
        return session.logged(Operation::LinkCheck, checkLink(session)).ok ? ScaleStatus::Done : ScaleStatus::NoAnswer;
    });
    if (!outcomes)
        return;
    for (int r = 0; r < int(outcomes->size()) && r < rowCount(); ++r) {
        const bool up = (*outcomes)[r].status == ScaleStatus::Done;
        StringGrid1->item(r, ColLink)->setText(msg::text(up ? msg::LinkUpShort : msg::LinkDownShort));
    }
}

void TFormSost::Button2Click()
{
    QList<ScaleEntry> scales;
    QHash<QString, QString> stateNames; // by the scale's name
    for (const int r : pickedRows()) {
        scales << m_standings[std::size_t(r)].scale;
        stateNames.insert(m_standings[std::size_t(r)].scale.name, m_standings[std::size_t(r)].stateName);
    }
    QString error;
    m_ws.dataset().first(); // a pending edit is stored first
    const std::unique_ptr<ProductImage> table = tableImage(m_ws.store(), m_ws.clock().now().date(), error);
    if (!table) {
        m_ws.prompter().message(MessageKind::Error, error);
        return;
    }
    const SyncJob sync{m_ws.context().workDir, QString(), table.get(), false};
    const auto outcomes = runOnScales(m_ws, this, Operation::Sync, msg::text(msg::SyncCaption), scales,
                                      [&](ScaleJob &j) {
        return syncOnScale(j, sync, stateNames.value(j.scale.name, j.scale.name), j.scale.number);
    });
    if (!outcomes)
        return;
    QStringList lines;
    for (const ScaleOutcome &o : *outcomes) {
        for (const QString &line : o.lines + o.messages)
            lines << o.name + QStringLiteral(": ") + line;
    }
    showOutcomes(lines);
}

void TFormSost::Button3Click()
{
    const std::vector<int> picked = pickedRows();
    if (picked.empty())
        return;
    const ScaleStanding standing = m_standings[std::size_t(picked.front())];
    QString error;
    const std::unique_ptr<ProductImage> table = tableImage(m_ws.store(), m_ws.clock().now().date(), error);
    if (!table) {
        m_ws.prompter().message(MessageKind::Error, error);
        return;
    }
    const QString workDir = m_ws.context().workDir;
    const auto outcomes = runOnScales(m_ws, this, Operation::ReadProducts, msg::text(msg::ReadCaption),
                                      {standing.scale}, [&](ScaleJob &j) {
        OwnScaleState state(workDir, QString(), standing.stateName, j.clock, &j.prompter);
        j.watcher = state.state();
        ExchangeSession session = j.session();
        const ExchangeResult r = session.logged(
            Operation::ReadProducts,
            readProducts(session, readback::FirstNumber, readback::LastNumber,
                         [&](int, int number, const ProductRecord &record) {
                             const Difference d = differenceOf(*table, number - 1, record);
                             if (d != Difference::None)
                                 j.print(differenceText(d, number));
                         }));
        if (!r.ok) {
            j.prompter.message(r.message);
            return ScaleStatus::NoAnswer;
        }
        return ScaleStatus::Done;
    });
    if (!outcomes)
        return;
    showOutcomes(outcomes->first().lines + outcomes->first().messages);
}
