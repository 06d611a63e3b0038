// ztk-cli read-products and clear-products against the simulator.
#include "transfer/ProductRows.h"

#include "shared/Files.h"
#include "shared/Messages.h"
#include "support/CliProcess.h"
#include "support/SimProcess.h"

using namespace ztk;
using namespace ztk::test;

namespace {

CliRun cli(const QString &dir, const QStringList &args, bool fastClock = false)
{
    return runCli(dir, QStringList{QStringLiteral("--dir"), dir} + args, fastClock ? 50 : 0);
}

// 50 products with every field the scale keeps, 0.29 among the prices.
class FiftyProducts : public ProductRowsFixture {
public:
    FiftyProducts()
    {
        for (int n = 1; n <= 50; ++n) {
            StoredRow p(n, QStringLiteral("Товар №%1 ъЪьЬ").arg(n));
            p.name2 = n % 2 ? QStringLiteral("Вторая строка") : QString();
            p.name5 = QStringLiteral("  пятая");
            p.sk5 = 20000 + n;
            p.price = n == 1 ? 0.29 : n * 1000.01;
            p.bestBefore = QStringLiteral("27.01.%1").arg(n % 28 + 1, 2, 10, QLatin1Char('0'));
            p.stamp = QStringLiteral("2026-11-30 10:20:30");
            p.type = QString::number(n % 2);
            p.prefix = QString::number(20 + n % 5);
            add(p);
        }
        store.close();
    }
    QString path() const { return dir.path(); }
};

class ReadProductsCliExchange : public OverTransport {};

TEST_P(ReadProductsCliExchange, WriteReadAndSaveGivesBackTheProducts)
{
    FiftyProducts source;
    SimProcess sim(GetParam());
    ASSERT_TRUE(sim.start()) << sim.error().toStdString();
    const CliRun written = cli(source.path(), onPort(sim.port(), {"write-products"}));
    ASSERT_EQ(written.exitCode, 0) << written.err.toStdString();

    QTemporaryDir target; // no product store yet
    const CliRun r = cli(target.path(), onPort(sim.port(), {"read-products", "--from", "1", "--to", "50", "--out",
                                                            "records.bin", "--save"}));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 51);
    EXPECT_EQ(lines[0], "N\tДата коррекции\tНаименование\tШК5\tТипТ\tЦена\tName2\tName3\tName4\tName5\tГоден до\tПрефикс");
    const QStringList first = lines[1].split('\t');
    ASSERT_EQ(first.size(), 12);
    EXPECT_EQ(first[0], "1");
    EXPECT_EQ(first[5], "0,29");
    EXPECT_EQ(first[1], "30.11.26 10:20:30");
    EXPECT_EQ(lines[50].split('\t')[5], "50000,50");
    EXPECT_TRUE(r.err.contains(msg::text(msg::ReadCaption) + " 50/50"));

    // The received records, in order, as the image sent them.
    const QByteArray image = readFileBytes(source.dir.filePath(QString::fromUtf8(files::ProductImage)));
    EXPECT_EQ(readFileBytes(target.filePath("records.bin")), image.left(50 * 256));
    EXPECT_EQ(sim.log().right(6).toHex(' '), QByteArray("0a 30 00 0a 31 00"));

    ProductStore original, readBack;
    ASSERT_TRUE(original.open(source.dir.filePath("LM_T.db")));
    ASSERT_TRUE(readBack.open(target.filePath("LM_T.db")));
    for (int n = 1; n <= 50; ++n) {
        const auto a = original.findByNumber(n);
        const auto b = readBack.findByNumber(n);
        ASSERT_TRUE(a && b) << n;
        EXPECT_EQ(b->names, a->names) << n;
        EXPECT_EQ(b->barcode, a->barcode) << n;
        EXPECT_EQ(b->price, a->price) << n;
        EXPECT_EQ(b->prefix, a->prefix) << n;
        EXPECT_EQ(b->type, a->type) << n;
        EXPECT_EQ(b->bestBefore, a->bestBefore) << n;
    }
    std::vector<Product> all;
    ASSERT_TRUE(readBack.select("select * from lm_t1", all));
    EXPECT_EQ(all.size(), 50u);
}

TEST_P(ReadProductsCliExchange, TimeOutStoresNothing)
{
    QTemporaryDir dir;
    SimProcess sim(GetParam());
    ASSERT_TRUE(sim.start({"--fault", "short"})) << sim.error().toStdString();
    const CliRun r = cli(dir.path(), onPort(sim.port(), {"read-products", "--to", "3", "--save", "--out", "r.bin"}), true);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.endsWith(msg::text(msg::NoLink) + '\n')) << r.err.toStdString();
    EXPECT_EQ(r.out.count('\n'), 1); // the header only
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("r.bin")));
    ProductStore store;
    ASSERT_TRUE(store.open(dir.filePath("LM_T.db")));
    std::vector<Product> rows;
    ASSERT_TRUE(store.select("select * from lm_t1", rows));
    EXPECT_TRUE(rows.empty());
}

TEST_P(ReadProductsCliExchange, ClearProductsSendsEachNumber)
{
    QTemporaryDir dir;
    SimProcess sim(GetParam());
    ASSERT_TRUE(sim.start()) << sim.error().toStdString();
    EXPECT_EQ(cli(dir.path(), onPort(sim.port(), {"clear-products", "300"})).exitCode, 0);
    EXPECT_EQ(cli(dir.path(), onPort(sim.port(), {"clear-products", "10-12"})).exitCode, 0);
    EXPECT_EQ(sim.waitForLog(12).toHex(' '), QByteArray("0c 2c 01 0c 0a 00 0c 0b 00 0c 0c 00"));
}

TEST(ReadProductsCli, BadRangesAreBadUsage)
{
    const QStringList cases[] = {
        {"read-products", "--from", "0"},  {"read-products", "--to", "5001"},
        {"read-products", "--from", "5", "--to", "4"}, {"read-products", "--from", "x"},
        {"read-products", "--frob"},       {"read-products", "--out", "LM_T.db"},
        {"clear-products"},                {"clear-products", "0"},
        {"clear-products", "5-3"},         {"clear-products", "1-5001"},
        {"clear-products", "a"},           {"clear-products", "1-2-3"},
    };
    QTemporaryDir dir;
    for (const QStringList &args : cases) {
        const CliRun r = cli(dir.path(), onPort("/dev/null/none", args));
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString() << ": " << r.err.toStdString();
    }
}

} // namespace

ZTK_OVER_EACH_TRANSPORT(ReadProductsCliExchange);
