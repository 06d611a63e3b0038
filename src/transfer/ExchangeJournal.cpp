#include "transfer/ExchangeJournal.h"

#include "products/ProductStore.h"

#include <QSysInfo>

#include <pwd.h>
#include <unistd.h>

namespace ztk {

namespace {

const QString Table = QStringLiteral("ztk_journal");
const QString Columns = QStringLiteral("id, started, ended, host, username, scale, port, operation, written, read, "
                                       "cleared, outcome, message");
const QString MomentFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz");
const QString Ok = QStringLiteral("ok");
const QString Failed = QStringLiteral("failed");

QString userName()
{
    if (const passwd *pw = ::getpwuid(::geteuid()); pw && pw->pw_name)
        return QString::fromLocal8Bit(pw->pw_name);
    return qEnvironmentVariable("USER");
}

QString momentText(const QDateTime &t)
{
    return t.toString(MomentFormat);
}

JournalRow rowOf(const QVariantList &v)
{
    JournalRow r;
    r.id = v.value(0).toLongLong();
    r.started = QDateTime::fromString(v.value(1).toString(), MomentFormat);
    r.ended = QDateTime::fromString(v.value(2).toString(), MomentFormat);
    r.host = v.value(3).toString();
    r.user = v.value(4).toString();
    r.scale = v.value(5).toString();
    r.port = v.value(6).toString();
    r.operation = v.value(7).toString();
    r.written = v.value(8).toInt();
    r.read = v.value(9).toInt();
    r.cleared = v.value(10).toInt();
    r.ok = v.value(11).toString() == Ok;
    r.message = v.value(12).toString();
    return r;
}

bool selectRows(ProductStore &store, const QString &sql, const QVariantList &binds, std::vector<JournalRow> &out)
{
    std::vector<QVariantList> rows;
    if (!store.exec(sql, binds, &rows))
        return false;
    out.clear();
    out.reserve(rows.size());
    for (const QVariantList &row : rows)
        out.push_back(rowOf(row));
    return true;
}

} // namespace

class ExchangeJournal::ScaleLog final : public ExchangeLog {
public:
    ScaleLog(ExchangeJournal &journal, QString name, QString port)
        : m_journal(journal), m_name(std::move(name)), m_port(std::move(port)) {}
    void exchanged(const Entry &e) override
    {
        JournalRow r;
        r.started = e.started;
        r.ended = e.ended;
        r.scale = m_name;
        r.port = m_port;
        r.operation = QString::fromLatin1(operationInfo(e.operation).name);
        r.written = e.counts.written;
        r.read = e.counts.read;
        r.cleared = e.counts.cleared;
        r.ok = e.ok;
        r.message = e.message;
        m_journal.add(std::move(r));
    }
    const QString &name() const { return m_name; }
    const QString &port() const { return m_port; }

private:
    ExchangeJournal &m_journal;
    const QString m_name, m_port;
};

ExchangeJournal::ExchangeJournal() : m_host(QSysInfo::machineHostName()), m_user(userName()) {}

ExchangeJournal::~ExchangeJournal() = default;

ExchangeLog *ExchangeJournal::scale(const QString &name, const QString &port)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto &log : m_scales)
        if (log->name() == name && log->port() == port)
            return log.get();
    m_scales.push_back(std::make_unique<ScaleLog>(*this, name, port));
    return m_scales.back().get();
}

void ExchangeJournal::add(JournalRow row)
{
    row.host = m_host;
    row.user = m_user;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (int(m_waiting.size()) >= MaxWaiting)
        m_waiting.erase(m_waiting.begin());
    m_waiting.push_back(std::move(row));
}

bool ExchangeJournal::keep(ProductStore &store)
{
    std::vector<JournalRow> rows;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        rows.swap(m_waiting);
    }
    if (rows.empty())
        return true;
    std::size_t kept = 0;
    QString error;
    if (!store.isOpen()) {
        error = store.errorText(); // why it did not open
    } else if (!prepare(store)) {
        error = store.errorText();
    } else {
        for (; kept < rows.size(); ++kept) {
            const JournalRow &r = rows[kept];
            if (!store.exec(QStringLiteral("insert into ztk_journal (started, ended, host, username, scale, port, "
                                           "operation, written, read, cleared, outcome, message) "
                                           "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                            {momentText(r.started), momentText(r.ended), r.host, r.user, r.scale, r.port, r.operation,
                             r.written, r.read, r.cleared, r.ok ? Ok : Failed, r.message})) {
                error = store.errorText();
                break;
            }
        }
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    if (kept == rows.size()) {
        m_error.clear();
        m_told = false;
        return true;
    }
    // What was not kept goes before what came meanwhile.
    rows.erase(rows.begin(), rows.begin() + qsizetype(kept));
    rows.insert(rows.end(), std::make_move_iterator(m_waiting.begin()), std::make_move_iterator(m_waiting.end()));
    if (int(rows.size()) > MaxWaiting)
        rows.erase(rows.begin(), rows.end() - MaxWaiting);
    m_waiting.swap(rows);
    m_error = error;
    return false;
}

QString ExchangeJournal::error() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_error;
}

QString ExchangeJournal::failureToTell()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_error.isEmpty() || m_told)
        return QString();
    m_told = true;
    return m_error;
}

int ExchangeJournal::waiting() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return int(m_waiting.size());
}

bool ExchangeJournal::prepare(ProductStore &store)
{
    // The indexes are made with the table (a server would note every "already exists").
    const bool existed = store.exec(QStringLiteral("select id from ztk_journal where 1=0"));
    const QString id = store.isServer() ? QStringLiteral("id bigserial primary key")
                                        : QStringLiteral("id integer primary key");
    return store.ensureTable(Table,
                             QStringLiteral("create table ztk_journal (%1, started text not null, ended text not null, "
                                            "host text, username text, scale text, port text, operation text, "
                                            "written integer, read integer, cleared integer, outcome text, "
                                            "message text)")
                                 .arg(id),
                             Columns.split(QStringLiteral(", ")))
        && (existed
            || (store.exec(QStringLiteral("create index ztk_journal_scale on ztk_journal (scale, id)"))
                && store.exec(QStringLiteral("create index ztk_journal_started on ztk_journal (started)"))));
}

bool ExchangeJournal::prune(ProductStore &store, const QDateTime &now)
{
    return prepare(store)
        && store.exec(QStringLiteral("delete from ztk_journal where started < ?"),
                      {momentText(now.addDays(-KeptDays))});
}

bool ExchangeJournal::list(ProductStore &store, const JournalFilter &filter, std::vector<JournalRow> &rows)
{
    if (!prepare(store))
        return false;
    QStringList where;
    QVariantList binds;
    if (filter.since) {
        where << QStringLiteral("started >= ?");
        binds << filter.since->toString(QStringLiteral("yyyy-MM-dd"));
    }
    if (!filter.scale.isEmpty()) {
        where << QStringLiteral("scale = ?");
        binds << filter.scale;
    }
    if (filter.failedOnly)
        where << QStringLiteral("outcome <> 'ok'");
    const QString sql = QStringLiteral("select %1 from ztk_journal%2 order by started, id")
                            .arg(Columns, where.isEmpty() ? QString() : QStringLiteral(" where ") + where.join(QStringLiteral(" and ")));
    return selectRows(store, sql, binds, rows);
}

bool ExchangeJournal::lastOfEachScale(ProductStore &store, std::vector<JournalRow> &rows)
{
    return prepare(store)
        && selectRows(store,
                      QStringLiteral("select %1 from ztk_journal where id in "
                                     "(select max(id) from ztk_journal group by scale) order by scale")
                          .arg(Columns),
                      {}, rows);
}

std::optional<qint64> ExchangeJournal::lastId(ProductStore &store)
{
    std::vector<QVariantList> rows;
    if (!prepare(store) || !store.exec(QStringLiteral("select max(id) from ztk_journal"), {}, &rows) || rows.empty())
        return std::nullopt;
    return rows.front().value(0).isNull() ? 0 : rows.front().value(0).toLongLong();
}

QString ExchangeJournal::line(const JournalRow &r)
{
    const QString seconds = QStringLiteral("yyyy-MM-dd HH:mm:ss");
    QString message = r.message;
    message.replace(QLatin1Char('\t'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return QStringList{r.started.toString(seconds), r.ended.toString(seconds), r.host, r.user, r.scale, r.port,
                       r.operation, QString::number(r.written), QString::number(r.read), QString::number(r.cleared),
                       r.ok ? Ok : Failed, message}
        .join(QLatin1Char('\t'));
}

} // namespace ztk
