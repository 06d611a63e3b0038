#pragma once
// What differs between the two kinds of product store, behind one interface: the
// SQLite file (SqliteBackend) and the table on a PostgreSQL server shared by several
// PCs (PostgresBackend). ProductStore does the rest the same way for both.

#include "products/Product.h"
#include "products/StoreLocation.h"

#include <QSqlDatabase>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QSqlQuery;

namespace ztk {

// How the selections' SQL spells its case-blind LIKE on a store.
struct SqlDialect {
    const char *like;   // the operator
    const char *escape; // what follows a pattern: PostgreSQL takes "\" as an escape, SQLite as itself
};
inline constexpr SqlDialect SqliteDialect{"LIKE", ""};
inline constexpr SqlDialect PostgresDialect{"ILIKE", " ESCAPE ''"};

class StoreBackend {
public:
    virtual ~StoreBackend() = default;

    // Opens `location` as the connection named `connection`; false with `error` and
    // nothing left open. The table is made when missing, refused when of another shape.
    virtual bool open(const StoreLocation &location, const QString &connection, QString &error) = 0;
    virtual const SqlDialect &dialect() const = 0;
    // The column that finds a row again, and a product column's name in SQL.
    virtual QString rowIdColumn() const = 0;
    virtual QString column(int c) const = 0;

    // The rows of `sql` ("select * from lm_t1 ..."), each with its id (and version);
    // a walk that ends in an error gives no rows.
    virtual bool select(QSqlDatabase &db, const QString &sql, std::vector<Product> &rows, ColumnSet *present,
                        QString &error) = 0;
    // What an insert appends to hand back the new row's id, and taking it afterwards.
    virtual QString insertTail() const = 0;
    // What lets an insert name the rowid itself (between the columns and "values").
    virtual QString keptIdClause() const { return QString(); }
    virtual void takeInsertedId(QSqlQuery &query, Product &product) const = 0;
    // An update stores only over the version it read (another PC may have stored since).
    virtual bool guardsVersions() const = 0;

    // SQLite's check of the whole file; true where there is none.
    virtual bool quickCheck(QSqlDatabase &db, QString &error) = 0;
    // `handler` runs from the event loop when another connection changed the table;
    // false where the store tells nothing.
    virtual bool watchChanges(QSqlDatabase &db, std::function<void()> handler, QString &error) = 0;
    // A connection that was lost, made again (false where a lost connection is final).
    virtual bool reconnect(QSqlDatabase &db, QString &error) = 0;
};

std::unique_ptr<StoreBackend> storeBackendFor(const StoreLocation &location);

// Both backends' walk through Qt's driver: `rowIdName` names the id column of the
// result, `versionName` the version (empty: none).
bool selectThroughDriver(QSqlDatabase &db, const QString &sql, const QString &rowIdName, const QString &versionName,
                         std::vector<Product> &rows, ColumnSet *present, QString &error);

} // namespace ztk
