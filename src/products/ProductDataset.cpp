#include "products/ProductDatasetRows.h"

#include "products/CalculatedFields.h"
#include "products/StoreRules.h"
#include "shared/DateText.h"
#include "shared/Messages.h"

#include <QLocale>

#include <array>
#include <cmath>
#include <cstring>

namespace ztk {


ProductDataset::ProductDataset(ProductStore &store, const Clock &clock, Prompter &prompter, QObject *parent)
    : QObject(parent), m_store(store), m_clock(clock), m_prompter(prompter), m_d(std::make_unique<Impl>())
{
}

ProductDataset::~ProductDataset()
{
    if (m_d->following)
        m_store.watchChanges(nullptr);
}

// --- signals

void ProductDataset::disableControls()
{
    ++m_disabled;
}

void ProductDataset::enableControls()
{
    if (m_disabled == 0)
        return;
    if (--m_disabled == 0) {
        Q_EMIT reset();
        m_d->hookStale = false;
        runPendingRefresh();
    }
}

void ProductDataset::holdRefresh(int step)
{
    m_d->refreshHeld += step;
    runPendingRefresh();
}

void ProductDataset::runPendingRefresh()
{
    if (m_d->refreshPending && m_d->refreshHeld == 0 && m_disabled == 0)
        refresh();
}

// --- result set

bool ProductDataset::open(const QString &sql)
{
    m_error.clear();
    m_d->rows.clear();
    m_d->cur = -1;
    m_state = DatasetState::Inactive;
    m_modified = false;
    if (m_disabled)
        m_d->hookStale = true;

    m_d->sql = sql;
    m_d->refreshPending = false;
    std::vector<Product> products;
    if (!m_store.select(sql, products, &m_d->present)) {
        m_error = m_store.errorText();
        if (!m_disabled)
            Q_EMIT reset();
        return false;
    }
    m_d->take(products, m_clock.now());
    m_state = DatasetState::Browse;
    m_d->cur = m_d->rows.empty() ? -1 : 0;
    if (!m_disabled)
        Q_EMIT reset();
    return true;
}

bool ProductDataset::refresh()
{
    if (m_state == DatasetState::Inactive)
        return false;
    // Never under a command that walks the rows or waits for an answer about one.
    if (m_disabled || m_d->refreshHeld) {
        m_d->refreshPending = true;
        return true;
    }
    if (m_state == DatasetState::Edit && !m_modified)
        updateRecord(); // what is typed and not yet in the record counts as an edit
    if (m_state == DatasetState::Insert || (m_state == DatasetState::Edit && m_modified)) {
        m_d->refreshPending = true;
        return true;
    }
    std::vector<Product> products;
    ColumnSet present;
    if (!m_store.select(m_d->sql, products, &present)) {
        m_error = m_store.errorText();
        return false;
    }
    const qint64 keep = rowId(m_d->cur);
    const int was = m_d->cur;
    m_d->refreshPending = false;
    m_d->present = present;
    m_d->take(products, m_clock.now());
    const int count = int(m_d->rows.size());
    m_d->cur = count == 0 ? -1 : std::clamp(was, 0, count - 1);
    for (int i = 0; i < count; ++i) {
        if (m_d->rows[std::size_t(i)]->product.rowid == keep) {
            m_d->cur = i;
            break;
        }
    }
    m_state = DatasetState::Browse;
    m_modified = false;
    Q_EMIT reset();
    Q_EMIT currentChanged();
    return true;
}

bool ProductDataset::followStoreChanges(std::function<void()> refreshed)
{
    m_d->following = m_store.watchChanges([this, refreshed = std::move(refreshed)] {
        refresh();
        if (refreshed)
            refreshed();
    });
    return m_d->following;
}

void ProductDataset::close()
{
    if (m_disabled)
        m_d->hookStale = true;
    m_d->rows.clear();
    m_d->cur = -1;
    m_state = DatasetState::Inactive;
    m_modified = false;
    if (!m_disabled)
        Q_EMIT reset();
}

bool ProductDataset::isOpen() const
{
    return m_state != DatasetState::Inactive;
}

int ProductDataset::recordCount() const
{
    return int(m_d->rows.size());
}

int ProductDataset::position() const
{
    if (m_state == DatasetState::Insert)
        return m_d->rows.empty() ? 1 : m_d->cur + 1;
    return m_d->cur + 1;
}

// --- moves

bool ProductDataset::first()
{
    if (!checkBrowseMode() || m_d->rows.empty())
        return false;
    if (m_d->cur != 0) {
        m_d->cur = 0;
        m_state = DatasetState::Browse;
        if (!m_disabled)
            Q_EMIT currentChanged();
    }
    return true;
}

bool ProductDataset::last()
{
    if (!checkBrowseMode() || m_d->rows.empty())
        return false;
    const int lastRow = int(m_d->rows.size()) - 1;
    if (m_d->cur != lastRow) {
        m_d->cur = lastRow;
        m_state = DatasetState::Browse;
        if (!m_disabled)
            Q_EMIT currentChanged();
    }
    return true;
}

bool ProductDataset::next()
{
    return moveBy(1) == 1;
}

bool ProductDataset::prior()
{
    return moveBy(-1) == -1;
}

int ProductDataset::moveBy(int n)
{
    if (!checkBrowseMode() || m_d->rows.empty())
        return 0;
    const int count = int(m_d->rows.size());
    const int target = std::clamp(m_d->cur + n, 0, count - 1);
    const int moved = target - m_d->cur;
    if (moved != 0) {
        m_d->cur = target;
        m_state = DatasetState::Browse;
        if (!m_disabled)
            Q_EMIT currentChanged();
    }
    return moved;
}

// --- editing

bool ProductDataset::edit()
{
    if (m_state == DatasetState::Edit || m_state == DatasetState::Insert)
        return true;
    if (m_state != DatasetState::Browse || m_d->cur < 0)
        return false;
    m_d->buffer = *m_d->rows[m_d->cur];
    m_state = DatasetState::Edit;
    m_modified = false;
    return true;
}

void ProductDataset::insert()
{
    if (m_state == DatasetState::Inactive || !checkBrowseMode())
        return;
    m_d->buffer = Row{};
    m_state = DatasetState::Insert;
    m_modified = false;
    if (m_d->cur < 0)
        m_d->cur = 0;
    if (!m_disabled)
        Q_EMIT currentChanged();
}

void ProductDataset::cancel()
{
    if (m_state != DatasetState::Edit && m_state != DatasetState::Insert)
        return;
    const bool changed = m_modified || m_state == DatasetState::Insert;
    if (m_state == DatasetState::Insert && m_d->rows.empty())
        m_d->cur = -1;
    m_state = DatasetState::Browse;
    m_modified = false;
    if (changed && !m_disabled)
        Q_EMIT currentChanged();
    runPendingRefresh();
}

bool ProductDataset::updateRecord()
{
    if (!m_updateRecord || m_d->inHook || m_d->hookStale)
        return true;
    if (m_state != DatasetState::Edit && m_state != DatasetState::Insert)
        return true;
    m_d->inHook = true;
    const bool ok = m_updateRecord();
    m_d->inHook = false;
    return ok;
}

bool ProductDataset::checkBrowseMode()
{
    if (m_state != DatasetState::Edit && m_state != DatasetState::Insert)
        return true;
    if (!updateRecord())
        return false;
    if (m_modified)
        return post();
    cancel();
    return true;
}

bool ProductDataset::post()
{
    if (m_state != DatasetState::Edit && m_state != DatasetState::Insert)
        return true;
    if (!updateRecord())
        return false;
    const Row typed = m_d->buffer;
    Row &r = m_d->buffer;
    const bool inserting = m_state == DatasetState::Insert;

    // The store rules: each step only where its column exists, so that a missing
    // column skips its step and the store goes on.
    const QDateTime now = m_clock.now();
    const ColumnSet has = m_d->present;
    Product &p = r.product;
    applyStoreRules(p, now, m_typeRule, has, recordCount(), m_prompter);

    const bool ok = inserting ? m_store.insert(p, has) : m_store.update(p, has);
    if (!ok && !inserting && m_store.changedElsewhere()) {
        // Not ours to overwrite: the other PC's values are what the table holds now.
        m_error = m_store.errorText();
        Row now = *m_d->rows[std::size_t(m_d->cur)];
        m_store.reload(now.product);
        now.calculated = false;
        *m_d->rows[std::size_t(m_d->cur)] = now;
        m_state = DatasetState::Browse;
        m_modified = false;
        m_prompter.message(MessageKind::Warning, m_error);
        if (!m_disabled) {
            Q_EMIT rowChanged(m_d->cur);
            Q_EMIT currentChanged();
        }
        return false;
    }
    if (!ok) {
        m_error = m_store.errorText();
        m_d->buffer = typed;
        m_prompter.message(MessageKind::Error, m_error);
        if (!m_disabled)
            Q_EMIT currentChanged();
        return false;
    }

    auto stored = std::make_unique<Row>(r);
    // Read the record back as the store keeps it (NUMERIC may turn 12.0 into 12).
    m_store.reload(stored->product);
    stored->calc = calculateFields(stored->product, now);
    stored->calculated = true;

    int row = m_d->cur;
    if (inserting) {
        row = std::clamp(m_d->cur, 0, int(m_d->rows.size()));
        m_d->rows.insert(m_d->rows.begin() + row, std::move(stored));
    } else {
        *m_d->rows[row] = *stored;
    }
    m_d->cur = row;
    // Back into edit state, nothing modified.
    m_d->buffer = *m_d->rows[row];
    m_state = DatasetState::Edit;
    m_modified = false;

    Q_EMIT this->stored();
    if (!m_disabled) {
        if (inserting)
            Q_EMIT reset();
        else
            Q_EMIT rowChanged(row);
        Q_EMIT currentChanged();
    }
    runPendingRefresh();
    return true;
}

bool ProductDataset::deleteCurrent()
{
    if (m_state == DatasetState::Insert) {
        cancel();
        return true;
    }
    if (m_state == DatasetState::Edit) {
        m_state = DatasetState::Browse;
        m_modified = false;
    }
    if (m_state != DatasetState::Browse || m_d->cur < 0)
        return false;

    if (!m_store.remove(m_d->rows[std::size_t(m_d->cur)]->product.rowid)) {
        m_error = m_store.errorText();
        m_prompter.message(MessageKind::Error, m_error);
        return false;
    }
    m_d->rows.erase(m_d->rows.begin() + m_d->cur);
    if (m_d->cur >= int(m_d->rows.size()))
        m_d->cur = int(m_d->rows.size()) - 1;
    if (!m_disabled)
        Q_EMIT reset();
    return true;
}

std::vector<Product> selectionRows(const ProductDataset &dataset)
{
    std::vector<Product> rows;
    const int count = dataset.isOpen() ? dataset.recordCount() : 0;
    rows.reserve(std::size_t(std::max(count, 0)));
    for (int i = 0; i < count; ++i)
        rows.push_back(*dataset.row(i));
    return rows;
}

} // namespace ztk
