// The product store as the SQLite file "LM_T.db": made under another name and renamed
// into place when missing, refused (never overwritten) when it is no such database,
// checked whole at open, read straight through SQLite.

#include "products/SqliteBackend.h"

#include "products/SqliteHandle.h"
#include "products/UnicodeLike.h"
#include "shared/Files.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>

#include <array>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace ztk {

namespace {

constexpr const char kRowidAlias[] = "ztk_rowid";

// A new store is made under another name and renamed into place, so that a crash
// while it is made leaves either no store or a complete one.
bool createStoreFile(const QString &path, QString &error)
{
    const QByteArray target = QFile::encodeName(path);
    const QByteArray temp = target + ".creating";
    // What a crashed creation left behind holds nothing.
    ::unlink(temp.constData());
    ::unlink((temp + "-journal").constData());
    sqlite3 *h = nullptr;
    int rc = sqlite3_open_v2(temp.constData(), &h, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(h, productSchemaSql().toUtf8().constData(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        error = QString::fromUtf8(h ? sqlite3_errmsg(h) : sqlite3_errstr(rc));
    sqlite3_close(h);
    if (rc != SQLITE_OK) {
        ::unlink(temp.constData());
        return false;
    }
    // Neither replace a store that appeared meanwhile nor leave the temporary name.
    if (::link(temp.constData(), target.constData()) != 0) {
        const int err = errno;
        ::unlink(temp.constData());
        if (err == EEXIST)
            return true;
        error = QString::fromLocal8Bit(std::strerror(err));
        return false;
    }
    ::unlink(temp.constData());
    return true;
}

// "select * from ..." with the rowid in front, so that every row can be found again.
QString withRowid(const QString &sql)
{
    static const QRegularExpression head(QStringLiteral("^\\s*select\\s+\\*\\s+from\\b"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = head.match(sql);
    if (!m.hasMatch())
        return sql;
    return QStringLiteral("select rowid as %1, * from").arg(QLatin1String(kRowidAlias)) + sql.mid(m.capturedEnd());
}

QVariant columnValue(sqlite3_stmt *st, int i)
{
    switch (sqlite3_column_type(st, i)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(st, i)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(st, i));
    case SQLITE_TEXT:
        return QVariant(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, i)),
                                          sqlite3_column_bytes(st, i)));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char *>(sqlite3_column_blob(st, i)), sqlite3_column_bytes(st, i)));
    default:
        return QVariant();
    }
}

} // namespace

bool SqliteBackend::open(const StoreLocation &location, const QString &connection, QString &error)
{
    const QString &path = location.path;
    if (!QFileInfo::exists(path) && !createStoreFile(path, error))
        return false;

    // Read-write from the start: a journal left by a writer that died is rolled back
    // by the first read, which a read-only connection cannot do. Nothing here writes
    // to a file that is not a database.
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
    db.setDatabaseName(path);
    if (!db.open()) {
        error = db.lastError().text();
        return false;
    }
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("select count(*) from sqlite_master")) || !q.next())
        error = q.lastError().text();
    // A database without any table (an empty file among them) holds nothing to
    // protect: it gets the schema.
    else if (q.value(0).toLongLong() == 0 && !q.exec(productSchemaSql()))
        error = q.lastError().text();
    else if (!q.exec(QStringLiteral("select * from %1 limit 0").arg(QLatin1String(files::TableName))))
        error = q.lastError().text();
    if (!error.isEmpty() || !quickCheck(db, error))
        return false;
    if (!registerUnicodeLike(db)) {
        error = QStringLiteral("LIKE could not be registered");
        return false;
    }
    return true;
}

QString SqliteBackend::column(int c) const
{
    return QLatin1Char('"') + QString::fromUtf8(productColumns()[std::size_t(c)].name) + QLatin1Char('"');
}

bool SqliteBackend::quickCheck(QSqlDatabase &db, QString &error)
{
    QSqlQuery q(db);
    // The first problem is enough to refuse the file; the whole list can be long.
    if (!q.exec(QStringLiteral("pragma quick_check(1)"))) {
        error = q.lastError().text();
        return false;
    }
    if (!q.next()) {
        error = q.lastError().isValid() ? q.lastError().text() : QString::fromUtf8(sqlite3_errstr(SQLITE_CORRUPT));
        return false;
    }
    const QString verdict = q.value(0).toString();
    if (verdict == QLatin1String("ok"))
        return true;
    error = QString::fromUtf8(sqlite3_errstr(SQLITE_CORRUPT)) + QLatin1Char('\n') + verdict;
    return false;
}

bool SqliteBackend::select(QSqlDatabase &db, const QString &sql, std::vector<Product> &rows, ColumnSet *present,
                           QString &error)
{
    // Straight through SQLite on the same connection: the driver's per-cell variants
    // cost more than the rows themselves. Errors are worded as the driver words them.
    sqlite3 *h = sqliteHandle(db);
    if (!h)
        return selectThroughDriver(db, withRowid(sql), QLatin1String(kRowidAlias), QString(), rows, present, error);
    sqlite3_stmt *st = nullptr;
    const QByteArray text = withRowid(sql).toUtf8();
    if (sqlite3_prepare_v2(h, text.constData(), int(text.size()), &st, nullptr) != SQLITE_OK || !st) {
        error = QStringLiteral("%1 Unable to execute statement").arg(QString::fromUtf8(sqlite3_errmsg(h)));
        sqlite3_finalize(st);
        return false;
    }
    const int columns = sqlite3_column_count(st);
    int rowidAt = -1;
    std::array<int, ProductColumnCount> at;
    at.fill(-1);
    for (int i = columns - 1; i >= 0; --i) { // the first of equal names wins, as with the driver
        const char *name = sqlite3_column_name(st, i);
        if (!name)
            continue;
        if (std::strcmp(name, kRowidAlias) == 0)
            rowidAt = i;
        for (int c = 0; c < ProductColumnCount; ++c)
            if (sqlite3_stricmp(name, productColumns()[std::size_t(c)].name) == 0)
                at[std::size_t(c)] = i;
    }
    if (present) {
        for (int c = 0; c < ProductColumnCount; ++c)
            (*present)[std::size_t(c)] = at[std::size_t(c)] >= 0;
    }
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        Product p;
        p.rowid = rowidAt >= 0 ? sqlite3_column_int64(st, rowidAt) : -1;
        for (int c = 0; c < ProductColumnCount; ++c)
            if (at[std::size_t(c)] >= 0)
                p.setValue(ProductColumn(c), columnValue(st, at[std::size_t(c)]));
        rows.push_back(std::move(p));
    }
    // The end of the rows, or an error: a damaged page is no end, and half a table
    // must never pass for the whole of it.
    if (rc != SQLITE_DONE) {
        error = QStringLiteral("%1 Unable to fetch row").arg(QString::fromUtf8(sqlite3_errmsg(h)));
        rows.clear();
    }
    sqlite3_finalize(st);
    return rc == SQLITE_DONE;
}

void SqliteBackend::takeInsertedId(QSqlQuery &query, Product &product) const
{
    product.rowid = query.lastInsertId().toLongLong();
}

bool SqliteBackend::watchChanges(QSqlDatabase &, std::function<void()>, QString &)
{
    return false; // another writer of the file tells nothing
}

bool SqliteBackend::reconnect(QSqlDatabase &, QString &)
{
    return false; // a file's connection is not lost
}

} // namespace ztk
