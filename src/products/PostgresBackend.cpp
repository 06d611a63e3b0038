#include "products/PostgresBackend.h"

#include "shared/Files.h"
#include "shared/Messages.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace ztk {

namespace {

constexpr const char kChangeChannel[] = "ztk_lm_t1_changed";

QString table() { return QLatin1String(files::TableName); }

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

bool PostgresBackend::open(const StoreLocation &location, const QString &connection, QString &error)
{
    m_database = location.database;
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection);
    if (!db.isValid()) {
        error = db.lastError().text();
        return false;
    }
    db.setHostName(location.host);
    db.setPort(location.port);
    db.setDatabaseName(location.database);
    db.setUserName(location.user);
    // A server that does not answer is reported after a few seconds, not a minute.
    db.setConnectOptions(QStringLiteral("connect_timeout=5;application_name=ztk"));
    if (!db.open()) {
        error = db.lastError().text();
        return false;
    }
    return prepareTable(db, error);
}

bool PostgresBackend::prepareTable(QSqlDatabase &db, QString &error)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("show server_encoding")) || !q.next()) {
        error = q.lastError().text();
        return false;
    }
    // Cyrillic names need UTF-8, both to be kept and to be matched without case.
    const QString encoding = q.value(0).toString();
    if (encoding.compare(QLatin1String("UTF8"), Qt::CaseInsensitive) != 0) {
        error = msg::text(msg::ServerNotUtf8).arg(m_database, encoding);
        return false;
    }
    if (!q.exec(QStringLiteral("select to_regclass('%1') is null").arg(table())) || !q.next()) {
        error = q.lastError().text();
        return false;
    }
    if (q.value(0).toBool()) {
        // All of it or nothing, so that a half-made table is never taken for ours.
        if (!q.exec(QStringLiteral("BEGIN"))) {
            error = q.lastError().text();
            return false;
        }
        bool made = q.exec(productServerSchemaSql());
        for (const char *sql : kServerTableExtras)
            made = made && q.exec(QString::fromUtf8(sql));
        made = made && q.exec(QStringLiteral("COMMIT"));
        if (!made) {
            error = q.lastError().text();
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
            return false;
        }
    }
    if (!q.exec(QStringLiteral("select * from %1 limit 0").arg(table()))) {
        error = q.lastError().text();
        return false;
    }
    const QSqlRecord rec = q.record();
    for (const char *column : {ServerRowIdColumn, ServerVersionColumn}) {
        if (rec.indexOf(QLatin1String(column)) < 0) {
            error = msg::text(msg::ServerTableShape).arg(m_database, QLatin1String(column));
            return false;
        }
    }
    return true;
}

// The table was made with unquoted names, which the server folds to lower case.
QString PostgresBackend::column(int c) const
{
    return QString::fromUtf8(productColumns()[std::size_t(c)].name);
}

bool PostgresBackend::select(QSqlDatabase &db, const QString &sql, std::vector<Product> &rows, ColumnSet *present,
                             QString &error)
{
    return selectThroughDriver(db, sql, QLatin1String(ServerRowIdColumn), QLatin1String(ServerVersionColumn), rows,
                               present, error);
}

// No last-insert id here: the row says its own.
QString PostgresBackend::insertTail() const
{
    return QStringLiteral(" returning ") + QLatin1String(ServerRowIdColumn);
}

void PostgresBackend::takeInsertedId(QSqlQuery &query, Product &product) const
{
    product.rowid = query.next() ? query.value(0).toLongLong() : -1;
    product.version = 0;
}

bool PostgresBackend::watchChanges(QSqlDatabase &db, std::function<void()> handler, QString &error)
{
    m_onChange = std::move(handler);
    return subscribe(db, error);
}

bool PostgresBackend::subscribe(QSqlDatabase &db, QString &error)
{
    if (!m_onChange || !db.isOpen())
        return false;
    QSqlDriver *driver = db.driver();
    if (!m_notifyConnected) {
        // The driver goes with the connection, and this connection with it.
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
        error = driver->lastError().text();
        return false;
    }
    return true;
}

bool PostgresBackend::reconnect(QSqlDatabase &db, QString &error)
{
    {
        QSqlQuery probe(db);
        if (db.isOpen() && probe.exec(QStringLiteral("select 1")))
            return false; // the connection is there: the refusal was the server's answer
    }
    db.close(); // the driver stays, and with it the notification's connection
    if (!db.open()) {
        error = db.lastError().text();
        return false;
    }
    if (m_onChange) {
        QString ignored;
        subscribe(db, ignored);
    }
    return true;
}

} // namespace ztk
