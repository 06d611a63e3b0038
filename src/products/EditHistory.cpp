#include "products/EditHistory.h"

#include "shared/Files.h"

#include <algorithm>

namespace ztk {

EditHistory::EditHistory(int depth, std::size_t maxRows) : m_depth(std::max(1, depth)), m_maxRows(maxRows) {}

void EditHistory::beginGroup(ProductStore &store, bool wholeTable)
{
    if (m_restoring || m_open++ > 0 || !wholeTable)
        return;
    std::vector<Product> rows;
    // Without the table read, rows are read one at a time as they change.
    if (store.select(QStringLiteral("select * from ") + QLatin1String(files::TableName), rows)) {
        auto &table = m_table.emplace();
        for (Product &p : rows)
            table.emplace(p.rowid, std::move(p));
    }
}

void EditHistory::endGroup()
{
    if (!m_restoring && --m_open == 0)
        endStep();
}

void EditHistory::aboutToChange(ProductStore &store, qint64 rowid)
{
    if (m_restoring)
        return;
    if (rowid != AllRows) {
        record(&store, rowid);
        return;
    }
    // Every row goes: each kept as it was, as one step.
    ++m_open;
    if (m_table) {
        for (const auto &[id, row] : *m_table)
            record(&store, id);
    } else {
        std::vector<Product> rows;
        if (store.select(QStringLiteral("select * from ") + QLatin1String(files::TableName), rows))
            for (Product &p : rows)
                if (m_seen.insert(p.rowid).second)
                    m_step.push_back({p.rowid, std::move(p)});
    }
    if (--m_open == 0)
        endStep();
}

void EditHistory::inserted(qint64 rowid)
{
    if (!m_restoring)
        record(nullptr, rowid);
}

// With a store the row is there now, about to change; without, it was just inserted.
void EditHistory::record(ProductStore *store, qint64 rowid)
{
    if (rowid < 0 || !m_seen.insert(rowid).second)
        return;
    Change change{rowid, std::nullopt};
    if (store) {
        if (m_table) {
            const auto it = m_table->find(rowid);
            if (it != m_table->end())
                change.row = it->second;
        } else {
            std::vector<Product> rows;
            if (store->selectByIds({rowid}, rows) && !rows.empty())
                change.row = rows.front();
        }
    }
    m_step.push_back(std::move(change));
    if (m_open == 0)
        endStep();
}

void EditHistory::endStep()
{
    m_table.reset();
    m_seen.clear();
    if (m_step.empty())
        return;
    push(m_undo, std::move(m_step));
    m_step.clear();
    m_redo.clear();
    notify();
}

void EditHistory::push(std::deque<Changes> &stack, Changes changes)
{
    stack.push_back(std::move(changes));
    // A day of imports must not fill the memory: the oldest steps go first, the last stays.
    const auto rows = [&] {
        std::size_t n = 0;
        for (const Changes &c : stack)
            n += c.size();
        return n;
    };
    while (stack.size() > 1 && (int(stack.size()) > m_depth || rows() > m_maxRows))
        stack.pop_front();
}

void EditHistory::clear()
{
    m_undo.clear();
    m_redo.clear();
    m_step.clear();
    m_seen.clear();
    m_table.reset();
    notify();
}

void EditHistory::notify() const
{
    if (changed)
        changed();
}

bool EditHistory::undo(ProductStore &store, QString &error, std::vector<qint64> *shown)
{
    const bool ok = move(m_undo, m_redo, store, error, shown);
    notify();
    return ok;
}

bool EditHistory::redo(ProductStore &store, QString &error, std::vector<qint64> *shown)
{
    // A redo is a change like any other, except that it keeps the steps still to redo.
    std::deque<Changes> redo = std::move(m_redo);
    m_redo.clear();
    const bool ok = move(redo, m_undo, store, error, shown);
    m_redo = std::move(redo);
    notify();
    return ok;
}

bool EditHistory::move(std::deque<Changes> &from, std::deque<Changes> &to, ProductStore &store, QString &error,
                       std::vector<qint64> *shown)
{
    error.clear();
    if (shown)
        shown->clear();
    // A step whose rows already stand as it would put them (a store that failed) is passed over.
    while (!from.empty()) {
        Changes now;
        if (!restore(store, from.back(), now, error))
            return false;
        const Changes step = std::move(from.back());
        from.pop_back();
        const bool changedAnything = !std::equal(now.begin(), now.end(), step.begin(), step.end(),
                                                 [](const Change &a, const Change &b) { return a.row == b.row; });
        if (!changedAnything)
            continue;
        if (shown)
            for (const Change &c : step)
                if (c.row)
                    shown->push_back(c.rowid);
        push(to, std::move(now));
        return true;
    }
    return true;
}

bool EditHistory::restore(ProductStore &store, const Changes &changes, Changes &now, QString &error)
{
    std::vector<qint64> ids;
    ids.reserve(changes.size());
    for (const Change &c : changes)
        ids.push_back(c.rowid);
    std::vector<Product> rows;
    if (!store.selectByIds(ids, rows)) {
        error = store.errorText();
        return false;
    }
    std::map<qint64, Product> current;
    for (Product &p : rows)
        current.emplace(p.rowid, std::move(p));
    now.clear();
    for (const Change &c : changes) {
        const auto it = current.find(c.rowid);
        now.push_back({c.rowid, it == current.end() ? std::nullopt : std::optional<Product>(it->second)});
    }

    m_restoring = true;
    bool ok = true;
    {
        StoreTransaction transaction(store);
        // Rows that were not there go first and rows that were come back last, so that
        // a number moves from one row to another without meeting itself.
        for (std::size_t i = 0; i < changes.size() && ok; ++i)
            if (!changes[i].row && now[i].row)
                ok = store.remove(changes[i].rowid);
        for (std::size_t i = 0; i < changes.size() && ok; ++i)
            if (changes[i].row && now[i].row && !(*changes[i].row == *now[i].row)) {
                Product p = *changes[i].row;
                p.version = now[i].row->version;
                ok = store.update(p);
            }
        for (std::size_t i = 0; i < changes.size() && ok; ++i)
            if (changes[i].row && !now[i].row) {
                Product p = *changes[i].row;
                ok = store.insertKeepingId(p);
            }
        if (ok && transaction.active())
            ok = transaction.commit();
        if (!ok)
            error = store.errorText();
    }
    m_restoring = false;
    return ok;
}

} // namespace ztk
