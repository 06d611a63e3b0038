// The journal of exchanges from ztk-cli, on either store: a row for every exchange,
// its counts and outcome as the exchange ended, listed and filtered by ztk-cli journal;
// a journal that cannot be kept never fails the exchange.
#include "transfer/ProductRows.h"

#include "shared/Messages.h"
#include "support/CliProcess.h"
#include "support/SimProcess.h"

#include <QDate>
#include <QSqlQuery>

using namespace ztk;
using namespace ztk::test;

namespace {

class JournalShop : public ProductRowsFixture {
public:
    explicit JournalShop(StoreKind kind) : ProductRowsFixture(kind)
    {
        for (int n : {3, 17, 250}) {
            StoredRow p(n, QStringLiteral("Товар %1").arg(n));
            p.price = 100 + n;
            add(p);
        }
    }
    CliRun cli(const QString &port, const QStringList &args) const
    {
        return runCli(dir.path(), QStringList{"--dir", dir.path()} + storeOption() + onPort(port, args));
    }
    CliRun journal(const QStringList &args = {}) const
    {
        return runCli(dir.path(), QStringList{"--dir", dir.path()} + storeOption() + QStringList{"journal"} + args);
    }
    // The journal's lines, each split into its fields.
    std::vector<QStringList> rows(const QStringList &args = {}) const
    {
        const CliRun r = journal(args);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        std::vector<QStringList> out;
        for (const QString &line : r.out.split('\n', Qt::SkipEmptyParts))
            out.push_back(line.split('\t'));
        return out;
    }
};

enum Field { Started, Ended, Host, User, Scale, Port, Operation_, Written, Read, Cleared, Outcome, Message, FieldCount };

class JournalCli : public ::testing::TestWithParam<StoreKind> {
protected:
    void SetUp() override
    {
        if (GetParam() == StoreKind::Server)
            ZTK_NEEDS_POSTGRES_OR_SKIP();
    }
};
INSTANTIATE_ON_BOTH_STORES(JournalCli);

} // namespace

TEST_P(JournalCli, EachExchangeIsARowWithItsCountsAndOutcome)
{
    JournalShop shop(GetParam());
    SimProcess sim;
    ASSERT_TRUE(sim.start({"--sale", "3:250:100:1", "--sale", "17:1500:4530:3"})) << sim.error().toStdString();
    SimProcess silent;
    ASSERT_TRUE(silent.start({"--fault", "silent"})) << silent.error().toStdString();

    struct Step {
        const char *what;
        bool silentScale;
        QStringList args;
        int exitCode;
        std::vector<QStringList> expected; // operation, written, read, cleared, outcome
    };
    const std::vector<Step> steps = {
        {"write", false, {"write-products"}, 0, {{"write-products", "3", "0", "0", "ok"}}},
        {"failed write", true, {"write-products"}, 1, {{"write-products", "0", "0", "0", "failed"}}},
        {"sync", false, {"sync", "--full"}, 0, {{"sync", "3", "0", "0", "ok"}}},
        {"totals", false, {"totals", "--clear"}, 0,
         {{"totals", "0", "0", "0", "ok"}, {"totals-clear", "0", "0", "2", "ok"}}},
        {"no port", false, {"--port", "/dev/ztk-no-such-port", "link-check"}, 2, {{"link-check", "0", "0", "0", "failed"}}},
    };
    std::size_t seen = 0;
    for (const Step &step : steps) {
        SCOPED_TRACE(step.what);
        const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
        const CliRun r = step.args.first().startsWith("--")
            ? runCli(shop.dir.path(), QStringList{"--dir", shop.dir.path()} + shop.storeOption() + step.args)
            : shop.cli(step.silentScale ? silent.port() : sim.port(), step.args);
        EXPECT_EQ(r.exitCode, step.exitCode) << r.err.toStdString();
        const std::vector<QStringList> rows = shop.rows();
        ASSERT_EQ(rows.size(), seen + step.expected.size());
        for (std::size_t k = 0; k < step.expected.size(); ++k) {
            const QStringList &row = rows[seen + k];
            ASSERT_EQ(row.size(), FieldCount) << row.join('|').toStdString();
            EXPECT_EQ(row.mid(Operation_, 4) << row[Outcome], step.expected[k]) << row.join('|').toStdString();
            const QDateTime started = QDateTime::fromString(row[Started], "yyyy-MM-dd HH:mm:ss");
            EXPECT_GE(started, before.addMSecs(-before.time().msec()));
            EXPECT_LE(started, QDateTime::fromString(row[Ended], "yyyy-MM-dd HH:mm:ss"));
            EXPECT_FALSE(row[Host].isEmpty());
            EXPECT_FALSE(row[User].isEmpty());
            EXPECT_FALSE(row[Scale].isEmpty());
        }
        seen = rows.size();
    }
    const std::vector<QStringList> all = shop.rows();
    ASSERT_EQ(all.size(), 6u);
    // What a failure showed is its message; a sync's row says what it did.
    EXPECT_TRUE(all[1][Message].contains(msg::text(msg::NoLink))) << all[1][Message].toStdString();
    EXPECT_EQ(all[2][Message], msg::text(msg::SyncDone).arg(3).arg(0).arg(0).arg(4997));
    EXPECT_TRUE(all[5][Message].contains("/dev/ztk-no-such-port")) << all[5][Message].toStdString();
    EXPECT_EQ(all[5][Port], "/dev/ztk-no-such-port");

    // The filters: failed only; one scale; a day from tomorrow; a day that is no date.
    std::vector<QStringList> failed = shop.rows({"--failed"});
    ASSERT_EQ(failed.size(), 2u);
    EXPECT_EQ(failed[0][Operation_], "write-products");
    EXPECT_EQ(failed[1][Operation_], "link-check");
    const std::vector<QStringList> oneScale = shop.rows({"--scale", all[0][Scale]});
    EXPECT_EQ(oneScale.size(), std::size_t(std::count_if(all.begin(), all.end(), [&](const QStringList &row) {
                  return row[Scale] == all[0][Scale];
              })));
    EXPECT_LT(oneScale.size(), all.size()); // the silent scale and the missing port are others
    EXPECT_EQ(shop.rows({"--since", QDate::currentDate().toString("yyyy-MM-dd")}).size(), all.size());
    EXPECT_TRUE(shop.rows({"--since", QDate::currentDate().addDays(1).toString("yyyy-MM-dd")}).empty());
    EXPECT_EQ(shop.journal({"--since", "10.12.2026"}).exitCode, 2);
}

TEST_P(JournalCli, AJournalThatCannotBeKeptIsSaidOnceAndTheExchangeGoesOn)
{
    JournalShop shop(GetParam());
    // A table of that name, of another shape: it is left as it is.
    QSqlQuery q(shop.store.database());
    ASSERT_TRUE(q.exec("create table ztk_journal (note text)")) << q.lastError().text().toStdString();
    SimProcess sim;
    ASSERT_TRUE(sim.start()) << sim.error().toStdString();

    const CliRun r = shop.cli(sim.port(), {"sync"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, msg::text(msg::SyncDone).arg(3).arg(0).arg(0).arg(4997) + '\n');
    const QString refused = msg::text(msg::JournalNotKept).arg(msg::text(msg::TableShape).arg("ztk_journal", "id"));
    EXPECT_EQ(r.err.count(refused), 1) << r.err.toStdString();
    // What was sent is known all the same: the next sync sends nothing.
    EXPECT_EQ(shop.cli(sim.port(), {"sync"}).out, msg::text(msg::SyncDone).arg(0).arg(0).arg(3).arg(4997) + '\n');
    const CliRun listed = shop.journal();
    EXPECT_EQ(listed.exitCode, 2);
    EXPECT_TRUE(listed.err.contains(msg::text(msg::TableShape).arg("ztk_journal", "id"))) << listed.err.toStdString();
    ASSERT_TRUE(q.exec("select count(*) from ztk_journal"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 0);
}

TEST_P(JournalCli, RowsOlderThanAYearGo)
{
    JournalShop shop(GetParam());
    SimProcess sim;
    ASSERT_TRUE(sim.start()) << sim.error().toStdString();
    ASSERT_EQ(shop.cli(sim.port(), {"link-check"}).exitCode, 0);
    QSqlQuery q(shop.store.database());
    const QString old = QDateTime::currentDateTime().addDays(-400).toString("yyyy-MM-dd HH:mm:ss.zzz");
    const QString recent = QDateTime::currentDateTime().addDays(-300).toString("yyyy-MM-dd HH:mm:ss.zzz");
    for (const QString &when : {old, recent})
        ASSERT_TRUE(q.exec(QStringLiteral("insert into ztk_journal (started, ended, scale, operation, outcome) "
                                          "values ('%1', '%1', 'Весы 9', 'totals', 'ok')")
                               .arg(when)))
            << q.lastError().text().toStdString();
    const std::vector<QStringList> rows = shop.rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][Started], recent.left(19)); // oldest first
    EXPECT_EQ(rows[1][Operation_], "link-check");
}
