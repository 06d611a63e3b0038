#include "transfer/ui/Vlreadbd.h"

#include "ui/Mess.h"
#include "app/Workspace.h"
#include "ui/ExchangeRun.h"
#include "products/ProductDataset.h"
#include "shared/Messages.h"
#include "transfer/ProductClearer.h"
#include "transfer/ProductReader.h"
#include "transfer/ReadbackRow.h"
#include "transfer/ReadbackSaver.h"
#include "transfer/ui/NumberSpinEdit.h"
#include "transfer/ui/Sohrdata.h"
#include "ui/Named.h"
#include "ui/PickedProduct.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace ztk;

TForm8 *Form8 = nullptr;

namespace {
constexpr int NameCells[] = {readback::ColName, readback::ColName2, readback::ColName3, readback::ColName4,
                             readback::ColName5};
} // namespace

TForm8::TForm8(Workspace &workspace, QWidget *parent) : QDialog(parent), m_ws(workspace)
{
    setObjectName(QStringLiteral("Form8"));
    setWindowTitle(msg::text(msg::ReadCaption));
    setModal(true);

    MainMenu1 = new QMenuBar(this);
    const auto item = [&](const char *name, const QString &text) { return menuItem(MainMenu1, name, text); };
    N1 = item("N1", QStringLiteral("Сохранить в БДТ"));
    N4 = item("N4", QStringLiteral("Чтение"));
    N5 = item("N5", QStringLiteral("Очистка данных о товаре"));
    N6 = item("N6", QStringLiteral("Очистка данных о товарах с... по..."));
    N2 = item("N2", QStringLiteral("?"));
    N3 = item("N3", QStringLiteral("Выход"));

    Label3 = new QLabel(QStringLiteral("Прочитать БДТ из весов  с"), this);
    CSpinEdit1 = new NumberSpinEdit(this);
    CSpinEdit1->setObjectName(QStringLiteral("CSpinEdit1"));
    Label2 = new QLabel(QStringLiteral("по"), this);
    CSpinEdit2 = new NumberSpinEdit(this);
    CSpinEdit2->setObjectName(QStringLiteral("CSpinEdit2"));
    CSpinEdit2->setNumber(CSpinEdit1->number() + 1);
    Label1 = new QLabel(QStringLiteral("товар"), this);

    StringGrid1 = new QTableWidget(1, readback::ColumnCount, this);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setHorizontalHeaderLabels(readback::columnHeaders());
    StringGrid1->verticalHeader()->hide();

    Label6 = new QLabel(QStringLiteral("Наименование товара"), this);
    QLineEdit **edits[] = {&Edit21, &Edit22, &Edit23, &Edit24, &Edit25};
    auto *names = new QVBoxLayout;
    names->addWidget(Label6);
    for (int i = 0; i < 5; ++i) {
        *edits[i] = new QLineEdit(this);
        (*edits[i])->setObjectName(QStringLiteral("Edit%1").arg(21 + i));
        names->addWidget(*edits[i]);
    }

    auto *range = new QHBoxLayout;
    range->addWidget(Label3);
    range->addWidget(CSpinEdit1);
    range->addWidget(Label2);
    range->addWidget(CSpinEdit2);
    range->addWidget(Label1);
    range->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->setMenuBar(MainMenu1);
    layout->addLayout(range);
    layout->addWidget(StringGrid1, 1);
    layout->addLayout(names);
    resize(900, 560);

    initActionsConnections();
}

void TForm8::initActionsConnections()
{
    connect(N1, &QAction::triggered, this, &TForm8::N1Click);
    connect(N4, &QAction::triggered, this, &TForm8::N4Click);
    connect(N5, &QAction::triggered, this, &TForm8::N5Click);
    connect(N6, &QAction::triggered, this, &TForm8::N6Click);
    connect(N3, &QAction::triggered, this, &TForm8::N3Click);
    connect(StringGrid1, &QTableWidget::currentCellChanged, this, &TForm8::StringGrid1SelectCell);
    offWhileExchanging(m_ws.exchangeLock(), this, {N1, N4, N5, N6});
    // N2 "?" has no action.
}

QString TForm8::cell(int tableRow, int column) const
{
    const QTableWidgetItem *it = StringGrid1->item(tableRow, column);
    return it ? it->text() : QString();
}

void TForm8::setCell(int tableRow, int column, const QString &text)
{
    if (QTableWidgetItem *it = StringGrid1->item(tableRow, column))
        it->setText(text);
    else
        StringGrid1->setItem(tableRow, column, new QTableWidgetItem(text));
}

void TForm8::fillRow(int gridRow, const QStringList &cells)
{
    for (int c = 0; c < readback::ColumnCount; ++c)
        setCell(gridRow - 1, c, cells.value(c));
}

void TForm8::blankRow(int gridRow)
{
    if (gridRow < 1 || gridRow > StringGrid1->rowCount())
        return;
    for (int c = readback::ColStamp; c < readback::ColumnCount; ++c)
        setCell(gridRow - 1, c, readback::clearedCell(c));
}

std::vector<QStringList> TForm8::gridRows() const
{
    std::vector<QStringList> rows;
    rows.reserve(std::size_t(StringGrid1->rowCount()));
    for (int r = 0; r < StringGrid1->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < readback::ColumnCount; ++c)
            cells << cell(r, c);
        rows.push_back(cells);
    }
    return rows;
}

void TForm8::StringGrid1SelectCell(int tableRow, int column)
{
    if (tableRow < 0)
        return;
    QLineEdit *edits[] = {Edit21, Edit22, Edit23, Edit24, Edit25};
    for (int i = 0; i < 5; ++i)
        edits[i]->setText(cell(tableRow, NameCells[i]));
    QString number = cell(tableRow, readback::ColNumber);
    if (number.endsWith(QLatin1Char('*')))
        number.chop(1);
    bool ok = false;
    const int n = number.toInt(&ok);
    m_picked.pick(ok ? n : 0, tableRow, column);
}

void TForm8::selectFirstRow()
{
    {
        const QSignalBlocker quiet(StringGrid1); // the handler runs once, below
        StringGrid1->setCurrentCell(0, readback::ColStamp);
    }
    StringGrid1SelectCell(0, readback::ColStamp);
}

void TForm8::N4Click()
{
    if (m_busy)
        return;
    const QScopedValueRollback busy(m_busy, true);
    ExchangeRun run(m_ws, this, Operation::ReadProducts);
    if (!run.started())
        return;

    const int first = CSpinEdit1->number();
    const int last = CSpinEdit2->number();
    const readback::Range range = readback::widened(first, last);
    if (range.first != first)
        CSpinEdit1->setNumber(range.first);
    if (range.last != last)
        CSpinEdit2->setNumber(range.last);
    // Rows beyond the new count go; rows that stay keep their text until overwritten.
    StringGrid1->setRowCount(range.count());

    QLineEdit *edits[] = {Edit21, Edit22, Edit23, Edit24, Edit25};
    const ExchangeResult r = readProducts(run.session(), range.first, range.last,
                                          [&](int k, int number, const ProductRecord &record) {
                                              const QStringList cells = readback::cellsOf(number, record);
                                              fillRow(k + 1, cells);
                                              for (int i = 0; i < 5; ++i)
                                                  edits[i]->setText(cells[NameCells[i]]);
                                          });
    if (!run.finish(r, msg::text(msg::ReadDone).arg(r.done)))
        return;
    selectFirstRow();
}

void TForm8::N1Click()
{
    if (m_busy)
        return;
    const QScopedValueRollback busy(m_busy, true);
    const AppContext &ctx = m_ws.context();
    m_ws.suspendGrid(true);
    SaveResult saved;
    readback::GridRows rows;
    {
        const WaitScope wait(this, msg::text(msg::ReadSaveCaption));
        rows = readback::fieldsOfRows(gridRows(), ctx.clock->now().date());
        const int count = int(rows.rows.size());
        // The type comes from the scale, whatever selection the main window shows.
        ReadbackSaver saver(m_ws.store(), *ctx.clock, *ctx.prompter, TypeRule::Keep);
        saved = saver.save(rows.rows, [&](int index) {
            wait.setPercent(index * 100 / count + 1);
            ctx.pump->pump();
        });
    }
    m_ws.reopenSelection(); // a failed reopen still goes on
    m_ws.suspendGrid(false);
    // The save stopped at a row whose number is no whole number, or the store refused.
    const QString error = !saved.error.isEmpty() ? saved.error : rows.error;
    if (!error.isEmpty()) {
        ctx.prompter->message(MessageKind::Error, error);
        return;
    }
    m_ws.dataset().edit();
    m_ws.storeCurrentRecord();
    if (!saved.incorrect.isEmpty())
        ctx.prompter->message(MessageKind::Warning, incorrectRecordsText(saved.incorrect), msg::text(msg::BadLinesCaption));
}

void TForm8::N5Click()
{
    if (m_busy)
        return;
    const QScopedValueRollback busy(m_busy, true);
    if (m_picked.number == 0) {
        m_ws.prompter().message(msg::text(msg::TotalsNothingSelected));
        return;
    }
    ExchangeRun run(m_ws, this, Operation::ClearProducts, std::nullopt);
    if (!run.started())
        return;
    if (run.finish(clearProducts(run.session(), m_picked.number, m_picked.number)))
        blankRow(m_picked.row + 1);
}

void TForm8::N6Click()
{
    if (!FormSD || m_busy)
        return;
    const QScopedValueRollback busy(m_busy, true);
    // The range as the read window's fields stand bounds the clearing.
    const int first = CSpinEdit1->number();
    FormSD->open(first, CSpinEdit2->number(), [this, first](int number) { blankRow(number - first + 1); });
}

void TForm8::N3Click()
{
    accept();
}
