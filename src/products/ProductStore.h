#pragma once
// The SQLite file that holds "lm_t1". A missing file (or a database without any
// table) gets the schema; a file that is not this database is reported and never
// touched; a damaged one is refused at open.

#include "products/Product.h"

#include <QSqlDatabase>
#include <QString>

#include <optional>
#include <vector>

namespace ztk {

class ProductStore {
public:
    ProductStore();
    ~ProductStore();
    ProductStore(const ProductStore &) = delete;
    ProductStore &operator=(const ProductStore &) = delete;

    // False and errorText() when the file cannot be opened as the product store or
    // fails the quick check.
    bool open(const QString &path);
    // SQLite's quick check of the whole file; false and errorText() naming the first fault.
    bool quickCheck();
    QString path() const; // the file opened
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
    // Stores `columns` into the product's row; a row that is gone is an error.
    bool update(const Product &product, const ColumnSet &columns = allColumns());
    bool remove(qint64 rowid);
    // The row again as the store keeps it (NUMERIC may have turned 12.0 into 12).
    bool reload(Product &product);

private:
    friend class StoreTransaction;
    friend class StoreSavepoint;
    bool execute(const QString &sql);
    bool selectThroughDriver(const QString &sql, std::vector<Product> &rows, ColumnSet *present);

    QString m_connection;
    QString m_error;
    int m_savepoints = 0; // names the next savepoint
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

// Registers LIKE (with and without ESCAPE) that ignores the case of Cyrillic letters
// as well as Latin ones on the connection.
bool registerUnicodeLike(QSqlDatabase &db);

} // namespace ztk
