#include "support/PostgresServer.h"

#include "support/CliProcess.h"
#include "support/TestApplication.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace ztk::test {

namespace {

constexpr const char kAdminConnection[] = "ztk_test_postgres";
constexpr const char kDatabase[] = "shop";
constexpr const char kUser[] = "ztk";

// The newest server of the machine, or ZTK_PG_BIN.
QString serverBinaries()
{
    const QString given = qEnvironmentVariable("ZTK_PG_BIN");
    if (!given.isEmpty())
        return given;
    const QStringList versions =
        QDir(QStringLiteral("/usr/lib/postgresql")).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    QString best;
    int bestVersion = -1;
    for (const QString &v : versions) {
        const int n = v.toInt();
        if (n > bestVersion && QFileInfo::exists(QStringLiteral("/usr/lib/postgresql/%1/bin/initdb").arg(v))) {
            bestVersion = n;
            best = QStringLiteral("/usr/lib/postgresql/%1/bin").arg(v);
        }
    }
    return best;
}

std::unique_ptr<QTemporaryDir> g_folder;
std::unique_ptr<PostgresServer> g_server;
QString g_failure;

// Stops the server when the program's tests end.
class ServerEnvironment : public ::testing::Environment {
public:
    void TearDown() override
    {
        if (g_server)
            g_server->stop();
    }
};
const ::testing::Environment *const g_environment = ::testing::AddGlobalTestEnvironment(new ServerEnvironment);

} // namespace

bool PostgresServer::skipped()
{
    return qEnvironmentVariable("ZTK_PG_SKIP") == QLatin1String("1");
}

PostgresServer *PostgresServer::instance(QString *why)
{
    if (!g_server && g_failure.isEmpty()) {
        auto server = std::make_unique<PostgresServer>();
        if (server->start(&g_failure))
            g_server = std::move(server);
        else if (g_failure.isEmpty())
            g_failure = QStringLiteral("the server did not start");
    }
    if (!g_server && why)
        *why = g_failure;
    return g_server.get();
}

bool PostgresServer::start(QString *why)
{
    ensureCoreApplication();
    m_bin = serverBinaries();
    if (m_bin.isEmpty()) {
        *why = QStringLiteral("no PostgreSQL server installed (Debian package postgresql)");
        return false;
    }
    // A short path: the socket's name must fit 107 bytes.
    g_folder = std::make_unique<QTemporaryDir>(QStringLiteral("/tmp/ztk-pg-XXXXXX"));
    if (!g_folder->isValid()) {
        *why = g_folder->errorString();
        return false;
    }
    m_dir = g_folder->path();
    QStringList prefix;
    // The server refuses to run as root: as root, it runs as nobody, who must own the folder.
    if (::geteuid() == 0) {
        const passwd *nobody = ::getpwnam("nobody");
        if (!nobody || ::chown(QFile::encodeName(m_dir).constData(), nobody->pw_uid, nobody->pw_gid) != 0) {
            *why = QStringLiteral("the folder could not be given to nobody");
            return false;
        }
        prefix = {QStringLiteral("/usr/sbin/runuser"), QStringLiteral("-u"), QStringLiteral("nobody"), QStringLiteral("--")};
    }
    auto run = [&](const QString &program, const QStringList &args) {
        QStringList line = prefix;
        line << program << args;
        const CliRun r = runProgram(line.takeFirst(), m_dir, line);
        if (r.exitCode != 0)
            *why = QStringLiteral("%1 failed: %2%3").arg(QFileInfo(program).fileName(), r.out, r.err);
        return r.exitCode == 0;
    };
    const QString data = m_dir + QStringLiteral("/data");
    // UTF-8 under C.UTF-8: code-point order as SQLite's, and lower() and ILIKE know Cyrillic.
    if (!run(m_bin + QStringLiteral("/initdb"),
             {QStringLiteral("-D"), data, QStringLiteral("-E"), QStringLiteral("UTF8"), QStringLiteral("--locale=C.UTF-8"),
              QStringLiteral("-A"), QStringLiteral("trust"), QStringLiteral("-U"), QLatin1String(kUser),
              QStringLiteral("--no-sync")}))
        return false;
    QStringList start = startCommand();
    start = start.mid(start.indexOf(m_bin + QStringLiteral("/pg_ctl")));
    if (!run(start.takeFirst(), start))
        return false;
    m_running = true;
    startWatchdog();

    QSqlDatabase admin = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QLatin1String(kAdminConnection));
    admin.setHostName(m_dir);
    admin.setDatabaseName(QStringLiteral("postgres"));
    admin.setUserName(QLatin1String(kUser));
    if (!admin.open()) {
        *why = admin.lastError().text();
        return false;
    }
    QSqlQuery q(admin);
    if (!q.exec(QStringLiteral("create database %1").arg(QLatin1String(kDatabase)))) {
        *why = q.lastError().text();
        return false;
    }
    admin.close();
    admin.setDatabaseName(QLatin1String(kDatabase));
    if (!admin.open()) {
        *why = admin.lastError().text();
        return false;
    }
    // "does not exist, skipping" of every case's fresh start is no news.
    return PostgresServer::run(QStringLiteral("set client_min_messages = warning"), why);
}

StoreLocation PostgresServer::location() const
{
    StoreLocation l;
    l.kind = StoreLocation::Server;
    l.host = m_dir;
    l.port = 5432;
    l.database = QLatin1String(kDatabase);
    l.user = QLatin1String(kUser);
    return l;
}

bool PostgresServer::run(const QString &sql, QString *error)
{
    QSqlQuery q(QSqlDatabase::database(QLatin1String(kAdminConnection), false));
    if (q.exec(sql))
        return true;
    if (error)
        *error = q.lastError().text();
    return false;
}

bool PostgresServer::dropTable(QString *error)
{
    // The program's own tables go with it: each test starts from a store made anew.
    return run(QStringLiteral("drop table if exists lm_t1 cascade; "
                              "drop function if exists ztk_lm_t1_notify, ztk_lm_t1_version cascade; "
                              "drop table if exists ztk_scale, ztk_slot, ztk_journal, ztk_reception_line, ztk_reception, "
                              "ztk_totals_clear cascade"),
               error);
}

QStringList PostgresServer::startCommand() const
{
    QStringList line;
    if (::geteuid() == 0)
        line = {QStringLiteral("/usr/sbin/runuser"), QStringLiteral("-u"), QStringLiteral("nobody"), QStringLiteral("--")};
    return line << m_bin + QStringLiteral("/pg_ctl") << QStringLiteral("-D") << m_dir + QStringLiteral("/data")
                << QStringLiteral("-l") << m_dir + QStringLiteral("/server.log") << QStringLiteral("-w")
                << QStringLiteral("-o")
                << QStringLiteral("-c listen_addresses='' -k %1 -c fsync=off -c synchronous_commit=off "
                                  "-c full_page_writes=off")
                       .arg(m_dir)
                << QStringLiteral("start");
}

bool PostgresServer::restart(int downMs, QString *why)
{
    QStringList stopLine = stopCommand();
    const CliRun stopped = runProgram(stopLine.takeFirst(), m_dir, stopLine);
    if (stopped.exitCode != 0) {
        *why = QStringLiteral("pg_ctl stop failed: %1%2").arg(stopped.out, stopped.err);
        return false;
    }
    QThread::msleep(std::uint64_t(downMs));
    QStringList startLine = startCommand();
    const CliRun started = runProgram(startLine.takeFirst(), m_dir, startLine);
    if (started.exitCode != 0) {
        *why = QStringLiteral("pg_ctl start failed: %1%2").arg(started.out, started.err);
        return false;
    }
    // The test's own connection is made again.
    QSqlDatabase admin = QSqlDatabase::database(QLatin1String(kAdminConnection), false);
    admin.close();
    if (!admin.open()) {
        *why = admin.lastError().text();
        return false;
    }
    return PostgresServer::run(QStringLiteral("set client_min_messages = warning"), why);
}

QStringList PostgresServer::stopCommand() const
{
    QStringList line;
    if (::geteuid() == 0)
        line = {QStringLiteral("/usr/sbin/runuser"), QStringLiteral("-u"), QStringLiteral("nobody"), QStringLiteral("--")};
    return line << m_bin + QStringLiteral("/pg_ctl") << QStringLiteral("-D") << m_dir + QStringLiteral("/data")
                << QStringLiteral("-m") << QStringLiteral("immediate") << QStringLiteral("-w") << QStringLiteral("stop");
}

// A test program that crashes never reaches stop(): a child of its own waits for the
// program's end (its pipe closing, however the program ends) and stops the server then.
void PostgresServer::startWatchdog()
{
    std::vector<QByteArray> bytes;
    for (const QString &a : stopCommand())
        bytes.push_back(QFile::encodeName(a));
    std::vector<char *> argv;
    for (QByteArray &b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return;
    const pid_t pid = ::fork();
    if (pid == 0) {
        // Only what is safe after a fork: close, read, open, dup2, exec.
        ::close(fds[1]);
        char c;
        for (;;) {
            const ssize_t n = ::read(fds[0], &c, 1);
            if (n == 0 || (n < 0 && errno != EINTR))
                break;
        }
        const int devNull = ::open("/dev/null", O_RDWR);
        if (devNull >= 0) {
            ::dup2(devNull, 1);
            ::dup2(devNull, 2);
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(fds[0]);
    if (pid < 0) {
        ::close(fds[1]);
        return;
    }
    m_watchdog = pid;
    m_watchdogPipe = fds[1];
}

void PostgresServer::stop()
{
    if (QSqlDatabase::contains(QLatin1String(kAdminConnection))) {
        QSqlDatabase::database(QLatin1String(kAdminConnection), false).close();
        QSqlDatabase::removeDatabase(QLatin1String(kAdminConnection));
    }
    if (m_watchdogPipe >= 0) {
        // The watchdog stops the server now; its end is the server's.
        ::close(m_watchdogPipe);
        m_watchdogPipe = -1;
        int status = 0;
        ::waitpid(m_watchdog, &status, 0);
        m_running = false;
    }
    if (m_running) {
        QStringList line = stopCommand();
        runProgram(line.takeFirst(), m_dir, line);
        m_running = false;
    }
    g_folder.reset();
}

} // namespace ztk::test
