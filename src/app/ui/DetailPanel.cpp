#include "app/ui/DetailPanel.h"

#include "products/ProductDataset.h"
#include "shared/Seams.h"

#include <QLineEdit>

#include <algorithm>

namespace ztk {

DetailPanel::DetailPanel(ProductDataset &dataset, Prompter &prompter, std::vector<Box> boxes, QObject *parent)
    : QObject(parent), m_dataset(dataset), m_prompter(prompter)
{
    for (const Box &b : boxes) {
        m_bound.push_back({b, false});
        if (b.kind == Calculated || b.edit->isReadOnly())
            continue;
        QLineEdit *edit = b.edit;
        connect(edit, &QLineEdit::textEdited, this, [this, edit] { edited(edit); });
    }
    m_dataset.setUpdateRecordHook([this] { return write(); });
}

void DetailPanel::edited(QLineEdit *edit)
{
    if (m_updating || !m_dataset.isOpen() || m_dataset.position() == 0)
        return;
    // Typing puts the record into edit state; the text goes in at the next store or move.
    if (m_dataset.state() == DatasetState::Browse)
        m_dataset.edit();
    for (Bound &b : m_bound)
        if (b.box.edit == edit)
            b.typed = true;
    if (onTyped)
        onTyped();
}

bool DetailPanel::anyTyped() const
{
    return std::any_of(m_bound.begin(), m_bound.end(), [](const Bound &b) { return b.typed; });
}

void DetailPanel::clearTyped()
{
    for (Bound &b : m_bound)
        b.typed = false;
}

qint64 DetailPanel::currentRecordKey() const
{
    if (!m_dataset.isOpen() || m_dataset.position() == 0)
        return 0;
    if (m_dataset.state() == DatasetState::Insert)
        return -1;
    return m_dataset.rowId(m_dataset.position() - 1);
}

void DetailPanel::refresh()
{
    const bool hasRecord = m_dataset.isOpen() && m_dataset.position() > 0;
    const qint64 key = currentRecordKey();
    if (key != m_shownKey) {
        clearTyped();
        m_shownKey = key;
    }
    m_updating = true;
    for (Bound &b : m_bound) {
        if (b.typed)
            continue;
        QString text;
        if (hasRecord)
            text = b.box.kind == Calculated ? m_dataset.calculated(b.box.field) : m_dataset.text(b.box.field);
        if (b.box.edit->text() != text) {
            b.box.edit->setText(text);
            b.box.edit->setCursorPosition(0);
        }
    }
    m_updating = false;
}

bool DetailPanel::write()
{
    if (m_writing)
        return true;
    if (!m_dataset.isOpen() || m_dataset.position() == 0) {
        clearTyped(); // no record to take the texts
        return true;
    }
    m_writing = true;
    bool ok = true;
    for (Bound &b : m_bound) {
        if (!b.typed)
            continue;
        if (!m_dataset.setText(b.box.field, b.box.edit->text())) {
            // The conversion error names the bad text; the box keeps it and the
            // store waits until the operator mends it.
            m_prompter.message(MessageKind::Error, m_dataset.errorText());
            b.box.edit->setFocus();
            ok = false;
            break;
        }
        b.typed = false;
    }
    m_writing = false;
    return ok;
}

} // namespace ztk
