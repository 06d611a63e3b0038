// ztk-cli sync --watch against two simulators, on either store: a stored price reaches
// both, a scale that was away is brought in step when it is back, a second watch is
// refused, SIGTERM ends it cleanly.
#include "transfer/ProductRows.h"

#include "shared/CodePage.h"
#include "shared/Messages.h"
#include "support/CliProcess.h"
#include "support/Programs.h"
#include "support/SimLog.h"
#include "support/SimProcess.h"

#include <QDeadlineTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <csignal>

using namespace ztk;
using namespace ztk::test;

namespace {

class WatchShop : public ProductRowsFixture {
public:
    explicit WatchShop(StoreKind kind) : ProductRowsFixture(kind)
    {
        for (int n = 1; n <= 5; ++n) {
            StoredRow p(n, QStringLiteral("Товар %1").arg(n));
            p.price = 10 + n;
            add(p);
        }
        store.close();
    }
    CliRun cli(const QStringList &args) const
    {
        return runCli(dir.path(), QStringList{"--dir", dir.path()} + storeOption() + args);
    }
    QByteArray tableImage() const
    {
        const CliRun r = cli({"build-image"});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        return readFileBytes(dir.filePath("BDforVes.bd"));
    }
    // Stores a new price of product `n` as the shop does: a product file imported.
    void importPrice(int n, const QString &price) const
    {
        QFile f(dir.filePath("price.txt"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(codepage::toCp1251(QStringLiteral("N;Name;Цена\r\n%1;Товар %1;%2\r\n").arg(n).arg(price)));
        f.close();
        const CliRun r = cli({"import", "price.txt"});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    }
};

// Waits until the simulator holds `image`.
bool holds(const SimProcess &sim, const QByteArray &image, int ms)
{
    QDeadlineTimer deadline(ms);
    while (sim.stateFile("products.bin") != image) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
    return true;
}

class WatchCli : public ::testing::TestWithParam<StoreKind> {
protected:
    void SetUp() override
    {
        if (GetParam() == StoreKind::Server)
            ZTK_NEEDS_POSTGRES_OR_SKIP();
    }
};
INSTANTIATE_ON_BOTH_STORES(WatchCli);

} // namespace

TEST_P(WatchCli, KeepsBothScalesInStepThroughAScaleAwayAndStopsOnSigterm)
{
    WatchShop shop(GetParam());
    SimProcess first(Transport::Tcp), second(Transport::Tcp);
    ASSERT_TRUE(first.start()) << first.error().toStdString();
    ASSERT_TRUE(second.start()) << second.error().toStdString();
    ASSERT_EQ(shop.cli({"scales", "add", "kassa1", "--port", first.port()}).exitCode, 0);
    ASSERT_EQ(shop.cli({"scales", "add", "kassa2", "--port", second.port()}).exitCode, 0);

    QProcess watch;
    watch.setProcessChannelMode(QProcess::SeparateChannels);
    watch.start(cliProgram(), QStringList{"--dir", shop.dir.path()} + shop.storeOption()
                                  + QStringList{"--scales", "all", "sync", "--watch"});
    ASSERT_TRUE(watch.waitForStarted());
    QByteArray image = shop.tableImage();
    EXPECT_TRUE(holds(first, image, 15000));
    EXPECT_TRUE(holds(second, image, 15000));

    // One watch per folder: the second names the first.
    const CliRun again = shop.cli({"--scales", "all", "sync", "--watch"});
    EXPECT_EQ(again.exitCode, 2);
    EXPECT_TRUE(again.err.contains(msg::text(msg::WatchRunning).arg(watch.processId()))) << again.err.toStdString();

    // A price stored reaches both scales without anyone asking.
    shop.importPrice(2, QStringLiteral("99,5"));
    image = shop.tableImage();
    EXPECT_TRUE(holds(first, image, 10000));
    EXPECT_TRUE(holds(second, image, 10000));

    // The second scale is away while a price changes; the first takes it at once and the
    // second once it is back.
    second.kill();
    shop.importPrice(4, QStringLiteral("1,25"));
    image = shop.tableImage();
    EXPECT_TRUE(holds(first, image, 10000));
    QThread::msleep(2500);
    ASSERT_TRUE(second.start()) << second.error().toStdString();
    EXPECT_TRUE(holds(second, image, 40000));

    ::kill(pid_t(watch.processId()), SIGTERM);
    ASSERT_TRUE(watch.waitForFinished(5000));
    EXPECT_EQ(watch.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(watch.exitCode(), 0);
    const QString log = QString::fromUtf8(watch.readAllStandardError());
    EXPECT_TRUE(log.contains(QStringLiteral("kassa2: ") + msg::text(msg::WatchRetry).arg(2))) << log.toStdString();
    EXPECT_TRUE(log.contains(msg::text(msg::WatchStopped))) << log.toStdString();
}

// The server restarted, or the file locked by another writer: the watch waits, syncs
// afterwards, and sends only what changed (nothing acknowledged goes twice); each sync
// is in the journal.
TEST_P(WatchCli, WaitsThroughAStoreAwayAndSendsOnlyWhatChanged)
{
    WatchShop shop(GetParam());
    SimProcess sim(Transport::Tcp);
    ASSERT_TRUE(sim.start()) << sim.error().toStdString();
    ASSERT_EQ(shop.cli({"scales", "add", "kassa1", "--port", sim.port()}).exitCode, 0);
    QProcess watch;
    watch.start(cliProgram(), QStringList{"--dir", shop.dir.path()} + shop.storeOption()
                                  + QStringList{"--scales", "all", "sync", "--watch"});
    ASSERT_TRUE(watch.waitForStarted());
    ASSERT_TRUE(holds(sim, shop.tableImage(), 15000));
    const qsizetype at = sim.log().size();

    if (GetParam() == StoreKind::Server) {
        // The test's server commits without waiting for its log (synchronous_commit off):
        // the first sync's state is given the time to reach it before the crash.
        QThread::msleep(1000);
        QString why;
        ASSERT_TRUE(PostgresServer::instance(&why)->restart(1500, &why)) << why.toStdString();
        shop.importPrice(3, QStringLiteral("7,77"));
    } else {
        // Another writer holds the file while it changes the price.
        QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "other-writer");
        other.setDatabaseName(shop.dir.filePath("LM_T.db"));
        ASSERT_TRUE(other.open());
        {
            QSqlQuery q(other);
            ASSERT_TRUE(q.exec("begin exclusive")) << q.lastError().text().toStdString();
            ASSERT_TRUE(q.exec("update lm_t1 set Цена=7.77 where N=3")) << q.lastError().text().toStdString();
            QThread::msleep(1500);
            ASSERT_TRUE(q.exec("commit")) << q.lastError().text().toStdString();
        }
        other.close();
    }
    const QByteArray image = shop.tableImage();
    EXPECT_TRUE(holds(sim, image, 15000));
    QThread::msleep(500); // the sync's last acknowledgement is in the log
    EXPECT_EQ(writtenSlots(parseSentCommands(sim.log().mid(at))), std::vector<int>{2});

    ::kill(pid_t(watch.processId()), SIGTERM);
    ASSERT_TRUE(watch.waitForFinished(5000));
    EXPECT_EQ(watch.exitCode(), 0);
    SCOPED_TRACE(watch.readAllStandardError().toStdString());
    const CliRun journal = shop.cli({"journal", "--scale", "kassa1"});
    ASSERT_EQ(journal.exitCode, 0) << journal.err.toStdString();
    const QStringList lines = journal.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 2) << journal.out.toStdString();
    EXPECT_EQ(lines.back().section('\t', 6, 6), "sync");
    EXPECT_EQ(lines.back().section('\t', 7, 7), "1");
    EXPECT_EQ(lines.back().section('\t', 10, 10), "ok");
}
