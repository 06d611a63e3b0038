#include "products/ProductStore.h"

#include "products/Selection.h"
#include "products/StoreBackend.h"
#include "shared/Files.h"
#include "shared/Messages.h"

#include <QAtomicInt>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

#include <algorithm>

namespace ztk {

namespace {

QAtomicInt g_connectionCounter;

QString table() { return QLatin1String(files::TableName); }

// NULL binds as NULL whatever the column.
QVariant bindable(const QVariant &v)
{
    return v.isNull() ? QVariant() : v;
}

} // namespace

ProductStore::ProductStore()
    : m_connection(QStringLiteral("ztk_products_%1").arg(g_connectionCounter.fetchAndAddRelaxed(1)))
{
}

ProductStore::~ProductStore()
{
    close();
}

QString ProductStore::schemaSql()
{
    return productSchemaSql();
}

bool ProductStore::open(const QString &path)
{
    StoreLocation location;
    location.path = path;
    return open(location);
}

bool ProductStore::open(const StoreLocation &location)
{
    close();
    m_error.clear();
    m_location = location;
    m_backend = storeBackendFor(location);
    if (m_backend->open(location, m_connection, m_error))
        return true;
    // The last handle goes before the connection.
    {
        QSqlDatabase db = database();
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
    m_backend.reset();
    return false;
}

bool ProductStore::quickCheck()
{
    QSqlDatabase db = database();
    return m_backend && m_backend->quickCheck(db, m_error);
}

QString ProductStore::path() const
{
    return isServer() ? m_location.displayName() : database().databaseName();
}

const SqlDialect &ProductStore::dialect() const
{
    return m_backend ? m_backend->dialect() : SqliteDialect;
}

bool ProductStore::watchChanges(std::function<void()> handler)
{
    if (!m_backend || !isOpen())
        return false;
    QSqlDatabase db = database();
    return m_backend->watchChanges(db, std::move(handler), m_error);
}

bool ProductStore::retried(const std::function<bool()> &op)
{
    if (op())
        return true;
    // Work of a transaction would be gone with the connection: no second try inside one.
    // With the connection still there the server refused the statement itself, and
    // its text stays; otherwise the text says why connecting again failed.
    if (!m_backend || m_inTransaction)
        return false;
    QSqlDatabase db = database();
    if (!m_backend->reconnect(db, m_error))
        return false;
    return op();
}

void ProductStore::close()
{
    m_inTransaction = false;
    m_backend.reset();
    if (!QSqlDatabase::contains(m_connection))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

bool ProductStore::isOpen() const
{
    return QSqlDatabase::contains(m_connection) && QSqlDatabase::database(m_connection, false).isOpen();
}

QSqlDatabase ProductStore::database() const
{
    return QSqlDatabase::database(m_connection, false);
}

// --- rows

bool ProductStore::select(const QString &sql, std::vector<Product> &rows, ColumnSet *present)
{
    rows.clear();
    m_error.clear();
    if (!isOpen() || !m_backend) {
        m_error = msg::text(msg::StoreNotOpen);
        return false;
    }
    return retried([&] {
        QSqlDatabase db = database();
        rows.clear();
        return m_backend->select(db, sql, rows, present, m_error);
    });
}

std::optional<Product> ProductStore::findByNumber(qint64 n)
{
    std::vector<Product> rows;
    if (!select(numberLookupSql(n), rows) || rows.empty())
        return std::nullopt;
    return rows.front();
}

bool ProductStore::insert(Product &product, const ColumnSet &columns)
{
    if (!retried([&] { return insertOnce(product, columns); }))
        return false;
    if (m_recorder)
        m_recorder->inserted(product.rowid);
    return true;
}

bool ProductStore::insertKeepingId(Product &product)
{
    if (!retried([&] { return insertOnce(product, allColumns(), true); }))
        return false;
    if (m_recorder)
        m_recorder->inserted(product.rowid);
    return true;
}

void ProductStore::aboutToChange(qint64 rowid)
{
    if (m_recorder && m_backend)
        m_recorder->aboutToChange(*this, rowid);
}

QString ProductStore::columnSql(int c) const
{
    return m_backend->column(c);
}

QString ProductStore::rowIdSql() const
{
    return m_backend ? m_backend->rowIdColumn() : QStringLiteral("rowid");
}

bool ProductStore::insertOnce(Product &product, const ColumnSet &columns, bool keepId)
{
    m_error.clear();
    if (!m_backend) {
        m_error = msg::text(msg::StoreNotOpen);
        return false;
    }
    QSqlDatabase db = database();
    QSqlQuery q(db);
    QStringList cols, marks;
    if (keepId)
        cols << rowIdSql(), marks << QString::number(product.rowid);
    for (int c = 0; c < ProductColumnCount; ++c) {
        if (!columns[std::size_t(c)])
            continue;
        cols << columnSql(c);
        marks << QStringLiteral("?");
    }
    const QString sql = QStringLiteral("insert into %1 (%2)%3 values (%4)")
                            .arg(table(), cols.join(u','), keepId ? m_backend->keptIdClause() : QString(), marks.join(u','))
        + m_backend->insertTail();
    bool ok = db.isOpen() && q.prepare(sql);
    if (ok) {
        for (int c = 0; c < ProductColumnCount; ++c)
            if (columns[std::size_t(c)])
                q.addBindValue(bindable(product.value(ProductColumn(c))));
        ok = q.exec();
    }
    if (!ok) {
        m_error = db.isOpen() ? q.lastError().text() : msg::text(msg::StoreNotOpen);
        return false;
    }
    m_backend->takeInsertedId(q, product);
    return true;
}

bool ProductStore::update(const Product &product, const ColumnSet &columns)
{
    m_changedElsewhere = false;
    aboutToChange(product.rowid);
    return retried([&] { return updateOnce(product, columns); });
}

bool ProductStore::updateOnce(const Product &product, const ColumnSet &columns)
{
    m_error.clear();
    if (!m_backend) {
        m_error = msg::text(msg::StoreNotOpen);
        return false;
    }
    QSqlDatabase db = database();
    QSqlQuery q(db);
    QStringList sets;
    for (int c = 0; c < ProductColumnCount; ++c)
        if (columns[std::size_t(c)])
            sets << columnSql(c) + QStringLiteral("=?");
    QString sql = QStringLiteral("update %1 set %2 where %3=?").arg(table(), sets.join(u','), rowIdSql());
    // Another PC may have stored the row since it was read: then it is not ours to overwrite.
    const bool checkVersion = m_backend->guardsVersions() && product.version >= 0;
    if (checkVersion)
        sql += QStringLiteral(" and %1=?").arg(QLatin1String(ServerVersionColumn));
    bool ok = db.isOpen() && q.prepare(sql);
    if (ok) {
        for (int c = 0; c < ProductColumnCount; ++c)
            if (columns[std::size_t(c)])
                q.addBindValue(bindable(product.value(ProductColumn(c))));
        q.addBindValue(product.rowid);
        if (checkVersion)
            q.addBindValue(product.version);
        ok = q.exec();
    }
    if (!ok) {
        m_error = db.isOpen() ? q.lastError().text() : msg::text(msg::StoreNotOpen);
        return false;
    }
    if (q.numRowsAffected() == 0) {
        Product now;
        now.rowid = product.rowid;
        m_changedElsewhere = checkVersion && reload(now);
        m_error = msg::text(m_changedElsewhere ? msg::RowChangedElsewhere : msg::RowNotFound);
        return false;
    }
    return true;
}

bool ProductStore::remove(qint64 rowid)
{
    aboutToChange(rowid);
    return retried([&] {
        m_error.clear();
        QSqlDatabase db = database();
        QSqlQuery q(db);
        bool ok = db.isOpen() && q.prepare(QStringLiteral("delete from %1 where %2=?").arg(table(), rowIdSql()));
        if (ok) {
            q.addBindValue(rowid);
            ok = q.exec();
        }
        if (!ok)
            m_error = db.isOpen() ? q.lastError().text() : msg::text(msg::StoreNotOpen);
        return ok;
    });
}

bool ProductStore::removeAll()
{
    aboutToChange(RowRecorder::AllRows);
    return execute(QStringLiteral("delete from %1").arg(table()));
}

qint64 ProductStore::count()
{
    qint64 n = -1;
    const bool ok = retried([&] {
        QSqlDatabase db = database();
        QSqlQuery q(db);
        if (!db.isOpen() || !q.exec(QStringLiteral("select count(*) from %1").arg(table())) || !q.next()) {
            m_error = db.isOpen() ? q.lastError().text() : msg::text(msg::StoreNotOpen);
            return false;
        }
        n = q.value(0).toLongLong();
        return true;
    });
    return ok ? n : -1;
}

ChangeGroup::ChangeGroup(ProductStore &store, bool wholeTable) : m_recorder(store.recorder())
{
    if (m_recorder)
        m_recorder->beginGroup(store, wholeTable);
}

ChangeGroup::~ChangeGroup()
{
    if (m_recorder)
        m_recorder->endGroup();
}

bool ProductStore::selectByIds(const std::vector<qint64> &rowids, std::vector<Product> &rows)
{
    rows.clear();
    constexpr std::size_t Chunk = 500; // well within any statement's length
    for (std::size_t i = 0; i < rowids.size(); i += Chunk) {
        QStringList ids;
        for (std::size_t k = i; k < std::min(rowids.size(), i + Chunk); ++k)
            ids << QString::number(rowids[k]);
        std::vector<Product> part;
        if (!select(QStringLiteral("select * from %1 where %2 in (%3)").arg(table(), rowIdSql(), ids.join(u',')), part))
            return false;
        rows.insert(rows.end(), part.begin(), part.end());
    }
    return true;
}

bool ProductStore::reload(Product &product)
{
    std::vector<Product> rows;
    if (!select(QStringLiteral("select * from %1 where %2=%3").arg(table(), rowIdSql()).arg(product.rowid), rows))
        return false;
    if (rows.empty()) {
        m_error = msg::text(msg::RowNotFound);
        return false;
    }
    product = rows.front();
    return true;
}

bool ProductStore::exec(const QString &sql, const QVariantList &binds, std::vector<QVariantList> *rows)
{
    return retried([&] {
        m_error.clear();
        if (rows)
            rows->clear();
        QSqlDatabase db = database();
        if (!db.isOpen()) {
            m_error = msg::text(msg::StoreNotOpen);
            return false;
        }
        QSqlQuery q(db);
        q.setForwardOnly(true);
        bool ok;
        if (binds.isEmpty()) { // a server prepares no table definitions
            ok = q.exec(sql);
        } else {
            ok = q.prepare(sql);
            for (const QVariant &v : binds)
                q.addBindValue(v);
            ok = ok && q.exec();
        }
        if (!ok) {
            m_error = q.lastError().text();
            return false;
        }
        if (rows) {
            const int columns = q.record().count();
            while (q.next()) {
                QVariantList row;
                row.reserve(columns);
                for (int c = 0; c < columns; ++c)
                    row << q.value(c);
                rows->push_back(std::move(row));
            }
            if (q.lastError().isValid()) {
                m_error = q.lastError().text();
                rows->clear();
                return false;
            }
        }
        return true;
    });
}

bool ProductStore::ensureTable(const QString &table, const QString &createSql, const QStringList &columns)
{
    std::vector<QVariantList> found;
    // A table of that name: its columns, by the row of a select that returns none.
    {
        QSqlDatabase db = database();
        QSqlQuery q(db);
        if (q.exec(QStringLiteral("select * from %1 where 1=0").arg(table))) {
            const QSqlRecord rec = q.record();
            for (const QString &column : columns) {
                if (rec.indexOf(column) < 0) {
                    m_error = msg::text(msg::TableShape).arg(table, column);
                    return false;
                }
            }
            return true;
        }
    }
    // Inside a transaction the failed select above has spoilt it on a server.
    if (m_inTransaction && isServer()) {
        m_error = msg::text(msg::TableShape).arg(table, columns.value(0));
        return false;
    }
    return exec(createSql);
}

bool ProductStore::execute(const QString &sql)
{
    return retried([&] {
        QSqlDatabase db = database();
        QSqlQuery q(db);
        if (!db.isOpen() || !q.exec(sql)) {
            m_error = db.isOpen() ? q.lastError().text() : msg::text(msg::StoreNotOpen);
            return false;
        }
        return true;
    });
}

// --- transactions

StoreTransaction::StoreTransaction(ProductStore &store) : m_store(store)
{
    m_active = m_store.execute(QStringLiteral("BEGIN"));
    m_store.m_inTransaction = m_active;
}

StoreTransaction::~StoreTransaction()
{
    rollback();
}

void StoreTransaction::rollback()
{
    if (!m_active)
        return;
    m_active = false;
    const QString error = m_store.m_error; // the reason for rolling back, not the rollback's
    m_store.execute(QStringLiteral("ROLLBACK"));
    m_store.m_inTransaction = false;
    m_store.m_error = error;
}

bool StoreTransaction::commit()
{
    if (!m_active)
        return false;
    m_active = false;
    const bool committed = m_store.execute(QStringLiteral("COMMIT"));
    if (!committed) {
        const QString error = m_store.m_error;
        m_store.execute(QStringLiteral("ROLLBACK"));
        m_store.m_error = error;
    }
    m_store.m_inTransaction = false;
    return committed;
}

StoreSavepoint::StoreSavepoint(ProductStore &store)
    : m_store(store), m_name(QStringLiteral("ztk_sp%1").arg(++store.m_savepoints))
{
    m_active = m_store.execute(QStringLiteral("SAVEPOINT ") + m_name);
}

StoreSavepoint::~StoreSavepoint()
{
    rollback();
}

bool StoreSavepoint::release()
{
    if (!m_active)
        return false;
    m_active = false;
    return m_store.execute(QStringLiteral("RELEASE ") + m_name);
}

void StoreSavepoint::rollback()
{
    if (!m_active)
        return;
    m_active = false;
    // Keep the error that made the caller roll back.
    const QString error = m_store.m_error;
    m_store.execute(QStringLiteral("ROLLBACK TO ") + m_name);
    m_store.execute(QStringLiteral("RELEASE ") + m_name);
    m_store.m_error = error;
}

bool openWorkingStore(ProductStore &store, const QString &workDir, const QString &url)
{
    StoreLocation location;
    QString error;
    if (!storeLocationOf(workDir, url, location, error)) {
        store.close();
        store.m_error = error;
        return false;
    }
    return store.open(location);
}

} // namespace ztk
