#pragma once
// The one open result set over "lm_t1", as the main window uses it: a snapshot of
// the rows of an SQL text (static cursor: the count is known and the cursor moves
// freely), a current record that can be edited, inserted, stored and deleted, and
// the store rules that run for every store, whoever stores.
//
// Records are identified by the store's row id (SQLite's rowid, the server's
// ztk_rowid), so a record whose "N" changes while it is edited is still found. NULL numbers read as 0, NULL texts as empty.

#include "products/Product.h"
#include "products/ProductFields.h"
#include "products/ProductStore.h"
#include "shared/Seams.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace ztk {

enum class DatasetState { Inactive, Browse, Edit, Insert };

// Which product type every store forces: the selections "Вес" and "Штука" force
// "0" and "1"; any other selection keeps the type.
enum class TypeRule { Keep, Weight, Piece };

class ProductDataset : public QObject {
    Q_OBJECT
public:
    // The store, the clock and the prompter outlive the dataset.
    ProductDataset(ProductStore &store, const Clock &clock, Prompter &prompter, QObject *parent = nullptr);
    ~ProductDataset() override;

    // --- result set
    // Runs `sql` (any "select * from lm_t1 ..." text) and takes its rows. A pending
    // edit is dropped. False and errorText() when the store refuses it: the dataset
    // is then closed and holds no rows.
    bool open(const QString &sql);
    // Runs the open text again, the current record kept current where it still is
    // (else the one at its position). A record being edited or inserted is never
    // touched: the refresh then waits until it is stored or cancelled. False with
    // errorText() when the store refuses; the rows shown stay.
    bool refresh();
    // Refreshes whenever another PC changes the shared table (a server store only),
    // then calls `refreshed`; false when the store cannot tell.
    bool followStoreChanges(std::function<void()> refreshed = {});
    void close();
    bool isOpen() const;
    QString errorText() const { return m_error; }
    int recordCount() const;
    int position() const; // 1-based; 0 when there is no current record

    // Moves store a modified pending edit first (checkBrowseMode); when that store
    // fails the cursor does not move and the result is false.
    bool first();
    bool last();
    bool next();  // false at the last record (after storing)
    bool prior();
    // Moves n records forward (negative: back), stopping at either end; returns the moves made.
    int moveBy(int n);

    // --- editing
    DatasetState state() const { return m_state; }
    bool isModified() const { return m_modified; }
    bool edit();          // the current record into edit state; false when there is none
    void insert();        // a new empty record at the current position, in insert state
    // Applies the store rules and stores. On failure the store's error text is shown
    // through the prompter and the record stays in edit (or insert) state with its changes;
    // except when another PC has stored the record since it was read: then that is
    // said, and the record is shown as it now stands, in browse state.
    bool post();
    void cancel();
    // Stores a modified edit, or leaves edit state when nothing changed. False when a store failed.
    bool checkBrowseMode();
    // Deletes the current record from the store and the result set; a neighbour becomes current.
    bool deleteCurrent();

    // --- fields of the current record (the edit buffer while editing)
    QVariant value(const char *field) const;
    // "" for NULL; "Цена" with the locale's decimal separator and no trailing zeros.
    QString text(const char *field) const;
    qint64 integer(const char *field, bool *ok = nullptr) const; // NULL and empty read as 0
    double number(const char *field, bool *ok = nullptr) const;
    // Puts the record into edit state and sets the field. Setting "N" above 5000
    // shows the number message and sets 0.
    void setValue(const char *field, const QVariant &value);
    // The current record as it stands (the edit buffer while editing); nothing without one.
    std::optional<Product> current() const;
    // Puts the record into edit state (an empty result set: a new record) and takes the
    // fields `edit` changes, each as setValue takes it.
    void change(const std::function<void(Product &record)> &edit);
    // Converts the operator's text by the column type (the locale's decimal
    // separator for "Цена"); false and errorText() when it does not convert.
    bool setText(const char *field, const QString &text);
    // "Goden", "Dcorr", "ПрефиксCal" of the current record.
    QString calculated(const char *field) const;

    // --- any row of the snapshot (0-based), for the grid
    QVariant rowValue(int row, const char *field) const;
    QString rowCalculated(int row, const char *field) const;
    qint64 rowId(int row) const;
    const Product *row(int row) const; // nullptr outside the snapshot

    // --- rules and binding
    void setTypeRule(TypeRule rule) { m_typeRule = rule; }
    TypeRule typeRule() const { return m_typeRule; }
    // Called before every store and every move while editing, so that the bound
    // controls write their texts into the record first. A hook that returns false (a
    // text that does not convert, already shown) stops the store or the move: the
    // record stays in edit state with everything typed.
    void setUpdateRecordHook(std::function<bool()> hook) { m_updateRecord = std::move(hook); }
    // Runs the hook now, so that a command's own field values are not overwritten by
    // the bound controls' texts at its store. After a reopen while the controls are
    // disabled the hook is not run until the reset has reached them: what they hold
    // belongs to a record that is gone. False when the hook refused.
    bool updateRecord();

    // Suspends the signals below; the last enableControls sends one reset. A refresh
    // waits until then.
    void disableControls();
    void enableControls();
    // Holds refreshes back while a command asks the operator about the current record,
    // so that the record answered about is the one the command acts on.
    class RefreshHold {
    public:
        explicit RefreshHold(ProductDataset &dataset) : m_dataset(dataset) { m_dataset.holdRefresh(+1); }
        ~RefreshHold() { m_dataset.holdRefresh(-1); }
        RefreshHold(const RefreshHold &) = delete;
        RefreshHold &operator=(const RefreshHold &) = delete;

    private:
        ProductDataset &m_dataset;
    };
    bool controlsDisabled() const { return m_disabled > 0; }

    const Clock &clock() const { return m_clock; }
    Prompter &prompter() const { return m_prompter; }
    ProductStore &store() const { return m_store; }

Q_SIGNALS:
    // Reopened, closed, rows added or removed, or a batch of changes ended: every
    // row and the current record may be others now.
    void reset();
    void currentChanged();         // another record is current, or its values changed
    void rowChanged(int row);      // a row's stored values changed
    void stored();                 // after every store (count label, back to edit state)

private:
    struct Row;
    struct Impl;
    void holdRefresh(int step);
    // Browse: into edit state, or a new record in an empty result set. False when the
    // record cannot be edited.
    bool ensureEditing();
    void runPendingRefresh();
    ProductStore &m_store;
    const Clock &m_clock;
    Prompter &m_prompter;
    DatasetState m_state = DatasetState::Inactive;
    bool m_modified = false;
    TypeRule m_typeRule = TypeRule::Keep;
    std::function<bool()> m_updateRecord;
    int m_disabled = 0;
    QString m_error;
    std::unique_ptr<Impl> m_d;
};


// Every row of the dataset's snapshot, in its order; the cursor is not moved.
std::vector<Product> selectionRows(const ProductDataset &dataset);

} // namespace ztk
