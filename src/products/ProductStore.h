#pragma once
// The store that holds "lm_t1": the SQLite file, or the table on a PostgreSQL server
// that several PCs share. A missing file (or a database without any table) gets the
// schema; a file that is not this database is reported and never touched; a damaged
// one is refused at open. On a server a missing table is created; one of another
// shape is refused and left as it is.

#include "products/Product.h"
#include "products/StoreLocation.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariantList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace ztk {

class StoreBackend;
struct SqlDialect;
class ProductStore;

// Told of every change to "lm_t1" made through the store, so that it can be undone.
class RowRecorder {
public:
    virtual ~RowRecorder() = default;
    // Before the row `rowid` is updated or removed; AllRows: before every row is removed.
    static constexpr qint64 AllRows = -1;
    virtual void aboutToChange(ProductStore &store, qint64 rowid) = 0;
    // After a row was inserted.
    virtual void inserted(qint64 rowid) = 0;
    // The changes until the matching endGroup are one (groups nest). `wholeTable`: many
    // rows may change, so the recorder had better read the table at once.
    virtual void beginGroup(ProductStore &store, bool wholeTable) = 0;
    virtual void endGroup() = 0;
};

class ProductStore {
public:
    ProductStore();
    ~ProductStore();
    ProductStore(const ProductStore &) = delete;
    ProductStore &operator=(const ProductStore &) = delete;

    // False and errorText() when the file cannot be opened as the product store or
    // fails the quick check.
    bool open(const QString &path);
    // The file or the server `location` names. On a server, false and errorText() (the
    // server's text) when it is down, refuses the login or holds a table of another
    // shape; nothing is written then.
    bool open(const StoreLocation &location);
    bool isServer() const { return m_location.isServer(); }
    const StoreLocation &location() const { return m_location; }
    // SQLite's quick check of the whole file; false and errorText() naming the first fault.
    bool quickCheck();
    QString path() const; // the file opened, or the server's address
    void close();
    bool isOpen() const;
    QString errorText() const { return m_error; }
    QSqlDatabase database() const;

    static QString schemaSql();

    // --- rows of "lm_t1"; every function returns false (or nothing) with errorText()
    // set when the store refuses, and leaves the table as it was.

    // The rows of `sql` ("select * from lm_t1 ..."), each with its rowid. `present`
    // tells which columns the table has. A walk that ends in an error is no result:
    // nothing partial is returned.
    bool select(const QString &sql, std::vector<Product> &rows, ColumnSet *present = nullptr);
    // The first row whose "N" is n, whatever the selection; nothing when there is
    // none (errorText() empty) or on an error.
    std::optional<Product> findByNumber(qint64 n);
    // Stores `columns` of the product as a new row and sets its rowid.
    bool insert(Product &product, const ColumnSet &columns = allColumns());
    // Stores every column of the product as a new row under its own rowid (a row
    // brought back); the rowid must be free.
    bool insertKeepingId(Product &product);
    // The rows whose rowids are given, in no particular order; a rowid without a row is left out.
    bool selectByIds(const std::vector<qint64> &rowids, std::vector<Product> &rows);
    // Stores `columns` into the product's row; a row that is gone is an error.
    bool update(const Product &product, const ColumnSet &columns = allColumns());
    bool remove(qint64 rowid);
    // The row again as the store keeps it (NUMERIC may have turned 12.0 into 12).
    bool reload(Product &product);
    // True after an update refused because another PC changed the row since it was
    // read (server only); errorText() then says so.
    bool changedElsewhere() const { return m_changedElsewhere; }
    // The number of rows of "lm_t1"; -1 with errorText() on an error.
    qint64 count();
    // Deletes every row.
    bool removeAll();

    // The recorder told of every change to "lm_t1" (none: nobody); it outlives the store's use of it.
    void setRecorder(RowRecorder *recorder) { m_recorder = recorder; }
    RowRecorder *recorder() const { return m_recorder; }

    // Server only: `handler` runs from the event loop whenever another connection has
    // changed the table. False when the store is a file or the server refuses.
    bool watchChanges(std::function<void()> handler);

    // How the selections' SQL spells its case-blind LIKE here.
    const SqlDialect &dialect() const;

    // --- the program's own tables beside "lm_t1" (what each scale holds, the journal,
    // the sales): the same SQL on either kind of store.

    // One statement with `binds` in order; a select's rows into `rows` when given. False
    // with errorText().
    bool exec(const QString &sql, const QVariantList &binds = {}, std::vector<QVariantList> *rows = nullptr);
    // Makes `table` from `createSql` when the store lacks it; false with errorText() when
    // it is there without one of `columns` (it is then left as it is).
    bool ensureTable(const QString &table, const QString &createSql, const QStringList &columns);
    bool inTransaction() const { return m_inTransaction; }

private:
    friend class StoreTransaction;
    friend class StoreSavepoint;
    friend bool openWorkingStore(ProductStore &, const QString &, const QString &);
    bool execute(const QString &sql);
    // Runs `op`; on a server whose connection was lost (and outside a transaction,
    // whose work would be gone) connects again and runs it once more.
    bool retried(const std::function<bool()> &op);
    bool insertOnce(Product &product, const ColumnSet &columns, bool keepId = false);
    void aboutToChange(qint64 rowid);
    bool updateOnce(const Product &product, const ColumnSet &columns);
    QString columnSql(int c) const;
    QString rowIdSql() const;

    StoreLocation m_location;
    std::unique_ptr<StoreBackend> m_backend; // the kind of store; none while closed
    QString m_connection;
    QString m_error;
    int m_savepoints = 0; // names the next savepoint
    bool m_inTransaction = false;
    bool m_changedElsewhere = false;
    RowRecorder *m_recorder = nullptr;
};

// A transaction for a command that stores many rows: begun when made, rolled back
// when destroyed without commit(). With a savepoint per row, a row that fails is
// rolled back alone and the others stay.
class StoreTransaction {
public:
    explicit StoreTransaction(ProductStore &store);
    ~StoreTransaction();
    StoreTransaction(const StoreTransaction &) = delete;
    StoreTransaction &operator=(const StoreTransaction &) = delete;

    bool active() const { return m_active; } // false: BEGIN was refused (errorText() of the store)
    bool commit();                            // false and rolled back when the store refuses
    void rollback();                          // now, rather than when destroyed

private:
    ProductStore &m_store;
    bool m_active = false;
};

// The changes made through `store` while it lives are one change for its recorder
// (one step to undo): an import, a read-back save, deleting a selection.
class ChangeGroup {
public:
    explicit ChangeGroup(ProductStore &store, bool wholeTable = false);
    ~ChangeGroup();
    ChangeGroup(const ChangeGroup &) = delete;
    ChangeGroup &operator=(const ChangeGroup &) = delete;

private:
    RowRecorder *m_recorder;
};

// A savepoint inside a transaction: released by release(), else rolled back to and
// released when destroyed.
class StoreSavepoint {
public:
    explicit StoreSavepoint(ProductStore &store);
    ~StoreSavepoint();
    StoreSavepoint(const StoreSavepoint &) = delete;
    StoreSavepoint &operator=(const StoreSavepoint &) = delete;

    bool active() const { return m_active; }
    bool release();
    void rollback(); // back to the savepoint now, and released

private:
    ProductStore &m_store;
    QString m_name;
    bool m_active = false;
};

// Opens the store of the working folder `workDir`: `url` when given, else the server
// its "database.ini" names, else its "LM_T.db". False and errorText() on failure.
bool openWorkingStore(ProductStore &store, const QString &workDir, const QString &url = QString());

} // namespace ztk
