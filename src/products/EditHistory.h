#pragma once
// The undo and redo of this run's changes to the product table. The store tells the
// history of every change before it is made, so each row is kept as it was; the
// changes between the making and the end of a Step are one step (an import, a
// read-back save, deleting a selection), any other change is a step of its own. Undo
// puts the rows back exactly (rowid, number, every field, the stamps) and keeps how
// they stood, for redo. Nothing is kept in a file: the server's table is undone the
// same way as the file's.

#include "products/ProductStore.h"

#include <QString>

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <vector>

namespace ztk {

class EditHistory final : public RowRecorder {
public:
    static constexpr int DefaultDepth = 100;
    // The rows kept over all steps of one direction, at most (a step of more stays alone).
    static constexpr std::size_t DefaultMaxRows = 100000;
    explicit EditHistory(int depth = DefaultDepth, std::size_t maxRows = DefaultMaxRows);

    bool canUndo() const { return !m_undo.empty(); }
    bool canRedo() const { return !m_redo.empty(); }
    int undoCount() const { return int(m_undo.size()); }
    // Puts back the rows of the last step that changed anything, in one transaction.
    // `shown`: the rowids of the rows it brought back or changed (not those it removed).
    // False with `error` when the store refused; the step then stays to be tried again.
    bool undo(ProductStore &store, QString &error, std::vector<qint64> *shown = nullptr);
    bool redo(ProductStore &store, QString &error, std::vector<qint64> *shown = nullptr);
    // Forgets every step (another store was opened).
    void clear();
    // Called whenever canUndo or canRedo may have changed.
    std::function<void()> changed;

    void aboutToChange(ProductStore &store, qint64 rowid) override;
    void inserted(qint64 rowid) override;
    void beginGroup(ProductStore &store, bool wholeTable) override;
    void endGroup() override;

private:
    struct Change {
        qint64 rowid;
        std::optional<Product> row; // none: there was no such row
    };
    using Changes = std::vector<Change>;

    void record(ProductStore *store, qint64 rowid);
    void endStep();
    void push(std::deque<Changes> &stack, Changes changes);
    // Puts `changes` into the store; what the rows held before into `now`.
    bool restore(ProductStore &store, const Changes &changes, Changes &now, QString &error);
    bool move(std::deque<Changes> &from, std::deque<Changes> &to, ProductStore &store, QString &error,
              std::vector<qint64> *shown);
    void notify() const;

    int m_depth;
    std::size_t m_maxRows;
    std::deque<Changes> m_undo, m_redo; // the last at the back
    int m_open = 0;                     // groups begun and not ended
    Changes m_step;
    std::set<qint64> m_seen;               // rowids of m_step
    std::optional<std::map<qint64, Product>> m_table; // a group's whole table, as it was
    bool m_restoring = false;
};

} // namespace ztk
