#pragma once
// A PostgreSQL server of the test program's own: initdb and pg_ctl in a temporary
// folder, listening only on a Unix socket in that folder, run as an unprivileged user
// ("nobody" when the tests run as root). Started when a test first asks for it, once
// per test program, and stopped when the program's tests end.
//
// ZTK_PG_SKIP=1 lets a developer without the server skip the tests that need it;
// otherwise a server that cannot start fails them.

#include "products/StoreLocation.h"

#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <string>

namespace ztk::test {

// The two stores a case can run on. The server's cases are named ".../PostgreSQL":
// each test program runs them together in one process, which starts the server once.
enum class StoreKind { File, Server };

inline std::string storeKindName(const ::testing::TestParamInfo<StoreKind> &info)
{
    return info.param == StoreKind::File ? "File" : "PostgreSQL";
}

class PostgresServer {
public:
    // The running server; nullptr with `why` when it could not be started.
    static PostgresServer *instance(QString *why);
    static bool skipped(); // ZTK_PG_SKIP=1

    // The test database "shop" on the socket, as user "ztk".
    StoreLocation location() const;
    QString url() const { return location().displayName(); }
    QString socketDir() const { return m_dir; }
    // Drops the product table and its functions: every test starts without them.
    bool dropTable(QString *error);
    // Runs statements in the test database, past the program.
    bool run(const QString &sql, QString *error);
    void stop();
    // Stops the server at once, as a crash or a restart would end it, and starts it
    // again after `downMs`: every connection is cut.
    bool restart(int downMs, QString *why);

private:
    QStringList startCommand() const;
    bool start(QString *why);
    QStringList stopCommand() const;
    void startWatchdog();
    QString m_dir;
    QString m_bin;
    bool m_running = false;
    int m_watchdog = -1;     // pid of the child that stops the server when the program ends
    int m_watchdogPipe = -1; // its pipe: closed by the program's end, whatever the cause
};

} // namespace ztk::test

#define INSTANTIATE_ON_BOTH_STORES(fixture)                                                                \
    INSTANTIATE_TEST_SUITE_P(Stores, fixture,                                                              \
                             ::testing::Values(::ztk::test::StoreKind::File, ::ztk::test::StoreKind::Server), \
                             ::ztk::test::storeKindName)
#define INSTANTIATE_ON_THE_SERVER(fixture)                                                                  \
    INSTANTIATE_TEST_SUITE_P(Stores, fixture, ::testing::Values(::ztk::test::StoreKind::Server),            \
                             ::ztk::test::storeKindName)

// A case on the server GTEST_SKIP()s only under ZTK_PG_SKIP=1.
#define ZTK_NEEDS_POSTGRES_OR_SKIP()                                                                  \
    do {                                                                                              \
        if (::ztk::test::PostgresServer::skipped())                                                  \
            GTEST_SKIP() << "ZTK_PG_SKIP=1";                                                          \
    } while (0)
