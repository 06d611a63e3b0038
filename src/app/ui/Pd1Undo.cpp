// Undo and redo of the stored record changes, and the name search key.

#include "app/ui/Pd1.h"

#include "app/ui/DetailPanel.h"

#include "products/EditHistory.h"
#include "products/ProductDataset.h"
#include "shared/Messages.h"

#include <QAction>
#include <QLineEdit>
#include <QRadioButton>
#include <QStatusBar>
#include <QTableView>

void TForm1::UndoItemClick()
{
    undoOrRedo(false);
}

void TForm1::RedoItemClick()
{
    undoOrRedo(true);
}

bool TForm1::unstoredTyping() const
{
    return m_ws.dataset().isModified() || (m_panel && m_panel->anyTyped());
}

void TForm1::applyUndoItems()
{
    UndoItem->setEnabled(m_ws.history().canUndo() || unstoredTyping());
    RedoItem->setEnabled(m_ws.history().canRedo());
}

void TForm1::undoOrRedo(bool redo)
{
    ztk::ProductDataset &ds = m_ws.dataset();
    // Typing not yet stored is what the operator means to take back first.
    if (!redo && unstoredTyping()) {
        ds.cancel();
        m_panel->clearTyped();
        m_panel->refresh();
        applyUndoItems();
        return;
    }
    ds.cancel();
    QString error;
    std::vector<qint64> rows;
    ztk::EditHistory &history = m_ws.history();
    const bool ok = redo ? history.redo(m_ws.store(), error, &rows) : history.undo(m_ws.store(), error, &rows);
    openSelection();
    if (!ok) {
        m_context.prompter->message(ztk::MessageKind::Error, ztk::msg::text(ztk::msg::UndoFailed).arg(error));
        return;
    }
    if (!rows.empty())
        showRow(rows.front());
    showRecordCount();
    statusBar()->showMessage(ztk::msg::text(redo ? ztk::msg::Redone : ztk::msg::Undone).arg(rows.size()));
    DBGrid1->setFocus();
}

bool TForm1::showRow(qint64 rowid, bool anySelection)
{
    ztk::ProductDataset &ds = m_ws.dataset();
    auto find = [&] {
        for (int r = 0; r < ds.recordCount(); ++r)
            if (ds.rowId(r) == rowid) {
                ds.first();
                ds.moveBy(r);
                return true;
            }
        return false;
    };
    if (find())
        return true;
    if (!anySelection)
        return false;
    if (!RadioButton1->isChecked())
        RadioButton1->setChecked(true); // the whole table, where every row is
    else
        openSelection();
    return find();
}

void TForm1::FindItemClick()
{
    if (!RadioButton7->isChecked())
        RadioButton7->setChecked(true);
    Edit1->show();
    Edit1->setFocus();
    Edit1->selectAll();
}
