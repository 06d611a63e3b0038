// ztk-cli sync and compare against the simulator, on either store: what goes on the
// line is exactly the difference between the table and what the scale is known to hold.
#include "transfer/ProductRows.h"

#include "shared/Messages.h"
#include "support/CliProcess.h"
#include "support/Programs.h"
#include "support/SimLog.h"
#include "support/SimProcess.h"

#include <QDateTime>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QThread>

using namespace ztk;
using namespace ztk::test;

namespace {

class SyncShop : public ProductRowsFixture {
public:
    explicit SyncShop(StoreKind kind, int count = 20) : ProductRowsFixture(kind)
    {
        QSqlDatabase db = store.database();
        db.transaction();
        for (int n = 1; n <= count; ++n) {
            StoredRow p(n, QStringLiteral("Товар %1").arg(n));
            p.price = 10 + n;
            add(p);
        }
        db.commit();
    }
    CliRun cli(const QString &port, const QStringList &args) const
    {
        return runCli(dir.path(), QStringList{"--dir", dir.path()} + storeOption() + onPort(port, args));
    }
    void run(const QString &sql)
    {
        QSqlQuery q(store.database());
        ASSERT_TRUE(q.exec(sql)) << q.lastError().text().toStdString();
    }
    // The image of the table as the build writes it (built by ztk-cli, read back).
    QByteArray tableImage()
    {
        const CliRun r = runCli(dir.path(), QStringList{"--dir", dir.path()} + storeOption() + QStringList{"build-image"});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        return readFileBytes(dir.filePath("BDforVes.bd"));
    }
};

// The commands sent since the log had `from` bytes.
std::vector<SentCommand> sentSince(const SimProcess &sim, qsizetype from)
{
    return parseSentCommands(sim.log().mid(from));
}

std::vector<int> range(int first, int last)
{
    std::vector<int> out;
    for (int i = first; i <= last; ++i)
        out.push_back(i);
    return out;
}

class SyncCli : public ::testing::TestWithParam<StoreKind> {
protected:
    void SetUp() override
    {
        if (GetParam() == StoreKind::Server)
            ZTK_NEEDS_POSTGRES_OR_SKIP();
    }
};
INSTANTIATE_ON_BOTH_STORES(SyncCli);

} // namespace

TEST_P(SyncCli, SendsOnlyWhatChangedAndClearsWhatWasRemoved)
{
    SyncShop shop(GetParam());
    SimProcess sim;
    ASSERT_TRUE(sim.start()) << sim.error().toStdString();

    // The first sync knows nothing: every product goes.
    CliRun r = shop.cli(sim.port(), {"sync"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, msg::text(msg::SyncDone).arg(20).arg(0).arg(0).arg(4980) + '\n');
    std::vector<SentCommand> sent = sentSince(sim, 0);
    ASSERT_GE(sent.size(), 2u);
    EXPECT_EQ(sent[0].command, 0x13); // the number first
    EXPECT_EQ(writtenSlots(sent), range(0, 19));

    // Three prices, one product gone, one new: four records and one clear.
    shop.run(QStringLiteral("update lm_t1 set Цена=99 where N in (3, 7, 12)"));
    shop.run(QStringLiteral("delete from lm_t1 where N=5"));
    shop.add(StoredRow(300, QStringLiteral("Новый")));
    qsizetype at = sim.log().size();
    r = shop.cli(sim.port(), {"sync"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, msg::text(msg::SyncDone).arg(4).arg(1).arg(16).arg(4979) + '\n');
    sent = sentSince(sim, at);
    EXPECT_EQ(writtenSlots(sent), (std::vector<int>{2, 6, 11, 299}));
    EXPECT_EQ(clearedProducts(sent), std::vector<int>{5});

    // In step: only the number is asked.
    at = sim.log().size();
    r = shop.cli(sim.port(), {"sync"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(sim.log().mid(at), QByteArray("\x13"));
    EXPECT_EQ(r.out.toStdString(), (msg::text(msg::SyncDone).arg(0).arg(0).arg(21).arg(4979) + '\n').toStdString());

    // A dry run says what would go and sends nothing.
    shop.run(QStringLiteral("update lm_t1 set Цена=1 where N=1"));
    at = sim.log().size();
    r = shop.cli(sim.port(), {"sync", "--dry-run"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.section('\n', 0, 0), msg::text(msg::SyncWouldWrite).arg(1).arg(QStringLiteral("Товар 1")));
    EXPECT_EQ(sim.log().size(), at);

    // The scale then holds exactly the table.
    r = shop.cli(sim.port(), {"sync"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    sim.stop();
    EXPECT_EQ(sim.stateFile("products.bin"), shop.tableImage());
}

TEST_P(SyncCli, AScaleOfAnotherNumberIsWrittenWhole)
{
    SyncShop shop(GetParam(), 5);
    SimProcess sim;
    ASSERT_TRUE(sim.start()) << sim.error().toStdString();
    ASSERT_EQ(shop.cli(sim.port(), {"sync"}).exitCode, 0);
    sim.stop();
    ASSERT_TRUE(sim.start({"--number", "7"})) << sim.error().toStdString(); // another scale on the line
    const qsizetype at = sim.log().size();
    const CliRun r = shop.cli(sim.port(), {"sync"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(msg::text(msg::SyncOtherNumber).arg(7).arg(1))) << r.err.toStdString();
    EXPECT_EQ(writtenSlots(sentSince(sim, at)), range(0, 4));
}

TEST_P(SyncCli, ASyncCutShortIsFinishedWithoutSendingWhatWasAcknowledged)
{
    SyncShop shop(GetParam(), 60);
    SimProcess sim;
    // 60 records at 19,200 bit/s: about 8 s on the line.
    ASSERT_TRUE(sim.start({"--baud", "19200"})) << sim.error().toStdString();
    QProcess first;
    first.start(QStringLiteral(ZTK_CLI_PATH),
                QStringList{"--dir", shop.dir.path()} + shop.storeOption() + QStringList{"--port", sim.port(), "--baud", "19200", "sync"});
    ASSERT_TRUE(first.waitForStarted());
    sim.waitForLog(1 + 3 + 30 * 258, 30000); // about half the records are in
    first.kill();
    first.waitForFinished();
    // The scale goes back to idle once the rest of a command cut short does not come.
    QThread::msleep(2500);
    const std::vector<int> before = writtenSlots(sentSince(sim, 0));
    ASSERT_GT(before.size(), 10u);
    ASSERT_LT(before.size(), 60u);

    // What the store knows the scale holds: never more than the scale took, and the
    // records acknowledged before the kill (a record or two whose acknowledgement was
    // not yet kept may go again).
    const CliRun plan = shop.cli(sim.port(), {"sync", "--dry-run"});
    ASSERT_EQ(plan.exitCode, 0) << plan.err.toStdString();
    const QString wouldWrite = msg::text(msg::SyncWouldWrite).section(' ', 0, 1);
    const int held = 60 - int(plan.out.split('\n').filter(QRegularExpression("^" + wouldWrite + ' ')).size());
    EXPECT_GT(held, 0);
    EXPECT_LE(held, int(before.size()));

    const qsizetype at = sim.log().size();
    const CliRun r = runCli(shop.dir.path(), QStringList{"--dir", shop.dir.path()} + shop.storeOption()
                                                  + QStringList{"--port", sim.port(), "--baud", "19200", "sync"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(writtenSlots(sentSince(sim, at)), range(held, 59));
    sim.stop();
    EXPECT_EQ(sim.stateFile("products.bin"), shop.tableImage());
}

TEST_P(SyncCli, CompareFindsWhatChangedInTheScaleAndTheNextSyncSendsIt)
{
    SyncShop shop(GetParam(), 8);
    SimProcess sim;
    ASSERT_TRUE(sim.start()) << sim.error().toStdString();
    ASSERT_EQ(shop.cli(sim.port(), {"sync"}).exitCode, 0);
    sim.stop();
    // Someone changed product 4 at the scale itself.
    QByteArray products = sim.stateFile("products.bin");
    products[3 * 256 + 4] = 'X';
    ASSERT_TRUE(sim.writeStateFile("products.bin", products));
    ASSERT_TRUE(sim.start()) << sim.error().toStdString();

    CliRun r = shop.cli(sim.port(), {"compare", "--to", "10"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, msg::text(msg::CompareDiffers).arg(4) + '\n'
                         + msg::text(msg::CompareDone).arg(10).arg(1).arg(0).arg(0) + '\n');
    const qsizetype at = sim.log().size();
    r = shop.cli(sim.port(), {"sync"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(writtenSlots(sentSince(sim, at)), std::vector<int>{3});
}

TEST_P(SyncCli, AScaleAnotherPcIsSyncingIsRefusedWithThatPcNamed)
{
    SyncShop shop(GetParam(), 3);
    SimProcess sim;
    ASSERT_TRUE(sim.start()) << sim.error().toStdString();
    ASSERT_EQ(shop.cli(sim.port(), {"sync"}).exitCode, 0);
    // Another PC claimed the scale a moment ago.
    const QString now = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    shop.run(QStringLiteral("update ztk_scale set syncer='kassa2:4242', syncer_seen='%1'").arg(now));
    shop.run(QStringLiteral("update lm_t1 set Цена=77 where N=2"));
    const qsizetype at = sim.log().size();
    CliRun r = shop.cli(sim.port(), {"sync"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains(msg::text(msg::SyncHeldBy).arg(QStringLiteral("kassa2:4242")))) << r.err.toStdString();
    EXPECT_EQ(sim.log().size(), at); // nothing sent

    // A claim not renewed for minutes is of a PC gone mid-sync: taken over.
    shop.run(QStringLiteral("update ztk_scale set syncer_seen='2026-01-01 00:00:00'"));
    r = shop.cli(sim.port(), {"sync"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(writtenSlots(sentSince(sim, at)), std::vector<int>{1});
}
