#include "products/ProductStore.h"

#include "products/Selection.h"
#include "shared/Files.h"
#include "shared/Messages.h"

#include <QAtomicInt>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

#include <sqlite3.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace ztk {

namespace {

QAtomicInt g_connectionCounter;

QString table() { return QLatin1String(files::TableName); }

// One element of a LIKE pattern.
struct PatternItem {
    enum Kind { Literal, AnyOne, AnyRun } kind;
    char32_t ch = 0;
};

std::u32string folded(const unsigned char *utf8)
{
    const QString s = QString::fromUtf8(reinterpret_cast<const char *>(utf8)).toCaseFolded();
    const QList<uint> ucs = s.toUcs4();
    return std::u32string(ucs.begin(), ucs.end());
}

// '%' matches any run, '_' any one character; `escape` (0 for none) makes the
// character after it literal. Both sides are case-folded beforehand.
bool likeMatch(const std::u32string &pattern, const std::u32string &text, char32_t escape)
{
    std::vector<PatternItem> items;
    items.reserve(pattern.size());
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char32_t c = pattern[i];
        if (escape && c == escape) {
            if (i + 1 < pattern.size())
                items.push_back({PatternItem::Literal, pattern[++i]});
            else
                items.push_back({PatternItem::Literal, c});
        } else if (c == U'%') {
            items.push_back({PatternItem::AnyRun, 0});
        } else if (c == U'_') {
            items.push_back({PatternItem::AnyOne, 0});
        } else {
            items.push_back({PatternItem::Literal, c});
        }
    }

    // The usual two-cursor wildcard match: on a mismatch, go back to the last
    // '%' and let it swallow one more character.
    size_t p = 0, t = 0;
    size_t starP = SIZE_MAX, starT = 0;
    while (t < text.size()) {
        if (p < items.size() && items[p].kind == PatternItem::AnyRun) {
            starP = p++;
            starT = t;
        } else if (p < items.size()
                   && (items[p].kind == PatternItem::AnyOne || items[p].ch == text[t])) {
            ++p;
            ++t;
        } else if (starP != SIZE_MAX) {
            p = starP + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < items.size() && items[p].kind == PatternItem::AnyRun)
        ++p;
    return p == items.size();
}

// like(pattern, text) and like(pattern, text, escape), as SQLite calls them for
// "text LIKE pattern [ESCAPE escape]".
void sqlLike(sqlite3_context *ctx, int argc, sqlite3_value **argv)
{
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) {
            sqlite3_result_null(ctx);
            return;
        }
    }
    char32_t escape = 0;
    if (argc == 3) {
        const std::u32string e = folded(sqlite3_value_text(argv[2]));
        if (e.size() != 1) {
            sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
            return;
        }
        escape = e[0];
    }
    const std::u32string pattern = folded(sqlite3_value_text(argv[0]));
    const std::u32string text = folded(sqlite3_value_text(argv[1]));
    sqlite3_result_int(ctx, likeMatch(pattern, text, escape) ? 1 : 0);
}

sqlite3 *sqliteHandle(QSqlDatabase &db)
{
    if (!db.driver())
        return nullptr;
    const QVariant v = db.driver()->handle();
    if (!v.isValid() || qstrcmp(v.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(v.constData());
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

namespace {

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
        rc = sqlite3_exec(h, ProductStore::schemaSql().toUtf8().constData(), nullptr, nullptr, nullptr);
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

} // namespace

bool ProductStore::open(const StoreLocation &location)
{
    if (!location.isServer())
        return open(location.path);
    close();
    m_error.clear();
    m_location = location;
    return openServer();
}

bool ProductStore::open(const QString &path)
{
    close();
    m_error.clear();
    m_location = StoreLocation{};
    m_location.path = path;
    return openFile(path);
}

bool ProductStore::refuseOpen(QSqlDatabase &db, const QString &text)
{
    m_error = text;
    db.close();
    db = QSqlDatabase(); // the last handle goes before the connection
    QSqlDatabase::removeDatabase(m_connection);
    return false;
}

bool ProductStore::openFile(const QString &path)
{
    if (!QFileInfo::exists(path) && !createStoreFile(path, m_error))
        return false;

    // Read-write from the start: a journal left by a writer that died is rolled back
    // by the first read, which a read-only connection cannot do. Nothing here writes
    // to a file that is not a database.
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(path);
    auto fail = [&](const QString &text) { return refuseOpen(db, text); };
    if (!db.open())
        return fail(db.lastError().text());
    QString refused;
    {
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("select count(*) from sqlite_master")) || !q.next())
            refused = q.lastError().text();
        // A database without any table (an empty file among them) holds nothing to
        // protect: it gets the schema.
        else if (q.value(0).toLongLong() == 0 && !q.exec(schemaSql()))
            refused = q.lastError().text();
        else if (!q.exec(QStringLiteral("select * from %1 limit 0").arg(QLatin1String(files::TableName))))
            refused = q.lastError().text();
    }
    if (!refused.isEmpty())
        return fail(refused);
    if (!quickCheck()) {
        const QString text = m_error;
        return fail(text);
    }
    if (!registerUnicodeLike(db))
        return fail(QStringLiteral("LIKE could not be registered"));
    return true;
}

bool ProductStore::quickCheck()
{
    QSqlDatabase db = database();
    QSqlQuery q(db);
    // The first problem is enough to refuse the file; the whole list can be long.
    if (!q.exec(QStringLiteral("pragma quick_check(1)"))) {
        m_error = q.lastError().text();
        return false;
    }
    if (!q.next()) {
        m_error = q.lastError().isValid() ? q.lastError().text() : QString::fromUtf8(sqlite3_errstr(SQLITE_CORRUPT));
        return false;
    }
    const QString verdict = q.value(0).toString();
    if (verdict == QLatin1String("ok"))
        return true;
    m_error = QString::fromUtf8(sqlite3_errstr(SQLITE_CORRUPT)) + QLatin1Char('\n') + verdict;
    return false;
}

QString ProductStore::path() const
{
    return isServer() ? m_location.displayName() : database().databaseName();
}

namespace {

constexpr const char kChangeChannel[] = "ztk_lm_t1_changed";

// Every change of the table tells the other connections (once per transaction, at
// its commit), and every update raises the row's version.
const char *const kServerTableExtras[] = {
    "CREATE OR REPLACE FUNCTION ztk_lm_t1_notify() RETURNS trigger LANGUAGE plpgsql AS "
    "$$ BEGIN PERFORM pg_notify('ztk_lm_t1_changed', ''); RETURN NULL; END $$",
    "CREATE TRIGGER ztk_lm_t1_notify AFTER INSERT OR UPDATE OR DELETE OR TRUNCATE ON lm_t1 "
    "FOR EACH STATEMENT EXECUTE FUNCTION ztk_lm_t1_notify()",
    "CREATE OR REPLACE FUNCTION ztk_lm_t1_version() RETURNS trigger LANGUAGE plpgsql AS "
    "$$ BEGIN NEW.ztk_version := OLD.ztk_version + 1; RETURN NEW; END $$",
    "CREATE TRIGGER ztk_lm_t1_version BEFORE UPDATE ON lm_t1 FOR EACH ROW EXECUTE FUNCTION ztk_lm_t1_version()",
};

} // namespace

bool ProductStore::openServer()
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_connection);
    auto fail = [&](const QString &text) { return refuseOpen(db, text); };
    if (!db.isValid())
        return fail(db.lastError().text());
    db.setHostName(m_location.host);
    db.setPort(m_location.port);
    db.setDatabaseName(m_location.database);
    db.setUserName(m_location.user);
    // A server that does not answer is reported after a few seconds, not a minute.
    db.setConnectOptions(QStringLiteral("connect_timeout=5;application_name=ztk"));
    if (!db.open())
        return fail(db.lastError().text());
    if (!prepareServerTable()) {
        const QString text = m_error;
        return fail(text);
    }
    return true;
}

bool ProductStore::prepareServerTable()
{
    QSqlDatabase db = database();
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("show server_encoding")) || !q.next()) {
        m_error = q.lastError().text();
        return false;
    }
    // Cyrillic names need UTF-8, both to be kept and to be matched without case.
    const QString encoding = q.value(0).toString();
    if (encoding.compare(QLatin1String("UTF8"), Qt::CaseInsensitive) != 0) {
        m_error = msg::text(msg::ServerNotUtf8).arg(m_location.database, encoding);
        return false;
    }
    if (!q.exec(QStringLiteral("select to_regclass('%1') is null").arg(table())) || !q.next()) {
        m_error = q.lastError().text();
        return false;
    }
    if (q.value(0).toBool()) {
        // All of it or nothing, so that a half-made table is never taken for ours.
        StoreTransaction transaction(*this);
        if (!transaction.active() || !execute(productServerSchemaSql()))
            return false;
        for (const char *sql : kServerTableExtras)
            if (!execute(QString::fromUtf8(sql)))
                return false;
        if (!transaction.commit())
            return false;
    }
    if (!q.exec(QStringLiteral("select * from %1 limit 0").arg(table()))) {
        m_error = q.lastError().text();
        return false;
    }
    const QSqlRecord rec = q.record();
    for (const char *column : {ServerRowIdColumn, ServerVersionColumn}) {
        if (rec.indexOf(QLatin1String(column)) < 0) {
            m_error = msg::text(msg::ServerTableShape).arg(m_location.database, QLatin1String(column));
            return false;
        }
    }
    return true;
}

bool ProductStore::watchChanges(std::function<void()> handler)
{
    m_onChange = std::move(handler);
    return subscribe();
}

bool ProductStore::subscribe()
{
    if (!isServer() || !m_onChange || !isOpen())
        return false;
    QSqlDriver *driver = database().driver();
    if (!m_notifyConnected) {
        // The driver goes with the connection (close()), and the connection with it.
        QObject::connect(driver, &QSqlDriver::notification, driver,
                         [this](const QString &name, QSqlDriver::NotificationSource source, const QVariant &) {
                             // Our own changes are in the dataset already.
                             if (name == QLatin1String(kChangeChannel) && source == QSqlDriver::OtherSource && m_onChange)
                                 m_onChange();
                         });
        m_notifyConnected = true;
    }
    if (driver->subscribedToNotifications().contains(QLatin1String(kChangeChannel)))
        return true;
    if (!driver->subscribeToNotification(QLatin1String(kChangeChannel))) {
        m_error = driver->lastError().text();
        return false;
    }
    return true;
}

bool ProductStore::reconnect()
{
    if (!isServer() || m_inTransaction)
        return false;
    QSqlDatabase db = database();
    {
        QSqlQuery probe(db);
        if (db.isOpen() && probe.exec(QStringLiteral("select 1")))
            return false; // the connection is there: the refusal was the server's answer
    }
    db.close(); // the driver stays, and with it the notification's connection
    if (!db.open()) {
        m_error = db.lastError().text();
        return false;
    }
    if (m_onChange)
        subscribe();
    return true;
}

bool ProductStore::retried(const std::function<bool()> &op)
{
    if (op())
        return true;
    if (!isServer() || m_inTransaction)
        return false;
    // With the connection still there the server refused the statement itself, and
    // its text stays; otherwise the text says why connecting again failed.
    if (!reconnect())
        return false;
    return op();
}

void ProductStore::close()
{
    m_notifyConnected = false;
    m_inTransaction = false;
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

namespace {

constexpr const char kRowidAlias[] = "ztk_rowid";

QString quotedColumn(int c)
{
    return QLatin1Char('"') + QString::fromUtf8(productColumns()[std::size_t(c)].name) + QLatin1Char('"');
}

// The server's table was made with unquoted names, which it folds to lower case.
QString serverColumn(int c)
{
    return QString::fromUtf8(productColumns()[std::size_t(c)].name);
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

// NULL binds as NULL whatever the column.
QVariant bindable(const QVariant &v)
{
    return v.isNull() ? QVariant() : v;
}

} // namespace

namespace {

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

bool ProductStore::select(const QString &sql, std::vector<Product> &rows, ColumnSet *present)
{
    rows.clear();
    m_error.clear();
    QSqlDatabase db = database();
    if (!db.isOpen()) {
        m_error = msg::text(msg::StoreNotOpen);
        return false;
    }
    if (isServer())
        return retried([&] { return selectThroughDriver(sql, rows, present); });
    // Straight through SQLite on the same connection: the driver's per-cell variants
    // cost more than the rows themselves. Errors are worded as the driver words them.
    sqlite3 *h = sqliteHandle(db);
    if (!h)
        return selectThroughDriver(sql, rows, present);
    sqlite3_stmt *st = nullptr;
    const QByteArray text = withRowid(sql).toUtf8();
    if (sqlite3_prepare_v2(h, text.constData(), int(text.size()), &st, nullptr) != SQLITE_OK || !st) {
        m_error = QStringLiteral("%1 Unable to execute statement").arg(QString::fromUtf8(sqlite3_errmsg(h)));
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
    ColumnSet has;
    for (int c = 0; c < ProductColumnCount; ++c)
        has[std::size_t(c)] = at[std::size_t(c)] >= 0;
    if (present)
        *present = has;
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
        m_error = QStringLiteral("%1 Unable to fetch row").arg(QString::fromUtf8(sqlite3_errmsg(h)));
        rows.clear();
    }
    sqlite3_finalize(st);
    return rc == SQLITE_DONE;
}

bool ProductStore::selectThroughDriver(const QString &sql, std::vector<Product> &rows, ColumnSet *present)
{
    rows.clear();
    QSqlDatabase db = database();
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(isServer() ? selectionSqlFor(SqlDialect::PostgreSql, sql) : withRowid(sql))) {
        m_error = q.lastError().text();
        return false;
    }
    const QSqlRecord rec = q.record();
    const int rowidAt = rec.indexOf(QLatin1String(isServer() ? ServerRowIdColumn : kRowidAlias));
    const int versionAt = isServer() ? rec.indexOf(QLatin1String(ServerVersionColumn)) : -1;
    std::array<int, ProductColumnCount> at{};
    ColumnSet has;
    for (int c = 0; c < ProductColumnCount; ++c) {
        at[std::size_t(c)] = rec.indexOf(QString::fromUtf8(productColumns()[std::size_t(c)].name));
        has[std::size_t(c)] = at[std::size_t(c)] >= 0;
    }
    if (present)
        *present = has;
    while (q.next()) {
        Product p;
        p.rowid = rowidAt >= 0 ? q.value(rowidAt).toLongLong() : -1;
        p.version = versionAt >= 0 ? q.value(versionAt).toLongLong() : -1;
        for (int c = 0; c < ProductColumnCount; ++c)
            if (at[std::size_t(c)] >= 0)
                p.setValue(ProductColumn(c), q.value(at[std::size_t(c)]));
        rows.push_back(std::move(p));
    }
    if (q.lastError().isValid()) {
        m_error = q.lastError().text();
        rows.clear();
        return false;
    }
    return true;
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
    return retried([&] { return insertOnce(product, columns); });
}

QString ProductStore::columnSql(int c) const
{
    return isServer() ? serverColumn(c) : quotedColumn(c);
}

QString ProductStore::rowIdSql() const
{
    return isServer() ? QLatin1String(ServerRowIdColumn) : QStringLiteral("rowid");
}

bool ProductStore::insertOnce(Product &product, const ColumnSet &columns)
{
    m_error.clear();
    QSqlDatabase db = database();
    QSqlQuery q(db);
    QStringList cols, marks;
    for (int c = 0; c < ProductColumnCount; ++c) {
        if (!columns[std::size_t(c)])
            continue;
        cols << columnSql(c);
        marks << QStringLiteral("?");
    }
    QString sql = QStringLiteral("insert into %1 (%2) values (%3)").arg(table(), cols.join(u','), marks.join(u','));
    if (isServer()) // no last-insert id there: the row says its own
        sql += QStringLiteral(" returning ") + QLatin1String(ServerRowIdColumn);
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
    if (isServer()) {
        product.rowid = q.next() ? q.value(0).toLongLong() : -1;
        product.version = 0;
    } else {
        product.rowid = q.lastInsertId().toLongLong();
    }
    return true;
}

bool ProductStore::update(const Product &product, const ColumnSet &columns)
{
    m_changedElsewhere = false;
    return retried([&] { return updateOnce(product, columns); });
}

bool ProductStore::updateOnce(const Product &product, const ColumnSet &columns)
{
    m_error.clear();
    QSqlDatabase db = database();
    QSqlQuery q(db);
    QStringList sets;
    for (int c = 0; c < ProductColumnCount; ++c)
        if (columns[std::size_t(c)])
            sets << columnSql(c) + QStringLiteral("=?");
    QString sql = QStringLiteral("update %1 set %2 where %3=?").arg(table(), sets.join(u','), rowIdSql());
    // Another PC may have stored the row since it was read: then it is not ours to overwrite.
    const bool checkVersion = isServer() && product.version >= 0;
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

bool registerUnicodeLike(QSqlDatabase &db)
{
    sqlite3 *h = sqliteHandle(db);
    if (!h)
        return false;
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    return sqlite3_create_function(h, "like", 2, flags, nullptr, sqlLike, nullptr, nullptr) == SQLITE_OK
        && sqlite3_create_function(h, "like", 3, flags, nullptr, sqlLike, nullptr, nullptr) == SQLITE_OK;
}

} // namespace ztk
