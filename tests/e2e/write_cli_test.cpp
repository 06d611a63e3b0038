// ztk-cli build-image and write-products: exit codes, messages and what the scale keeps.
#include "transfer/ProductRows.h"

#include "shared/Files.h"
#include "shared/Messages.h"
#include "support/CliProcess.h"
#include "support/SimProcess.h"


using namespace ztk;
using namespace ztk::test;

namespace {

// ztk-cli on the files of `dir`.
CliRun cli(const QString &dir, const QStringList &args, bool fastClock = false)
{
    return runCli(dir, QStringList{QStringLiteral("--dir"), dir} + args, fastClock ? 50 : 0);
}

class CliStore : public ProductRowsFixture {
public:
    explicit CliStore(StoreKind kind = StoreKind::File) : ProductRowsFixture(kind)
    {
        for (int n = 1; n <= 12; ++n) {
            StoredRow p(n, QStringLiteral("Товар %1").arg(n));
            p.prefix = QString::number(n % 3 == 0 ? 25 : 21);
            add(p);
        }
        store.close(); // the command opens the store itself
    }
    // ztk-cli on the folder and this store.
    CliRun cli(const QStringList &args, bool fastClock = false) const
    {
        return ::cli(path(), storeOption() + args, fastClock);
    }
    QString path() const { return dir.path(); }
    QByteArray imageFile() const { return readFileBytes(dir.filePath(QString::fromUtf8(files::ProductImage))); }
};

QList<int> filled(const QByteArray &image)
{
    QList<int> out;
    for (int i = 0; i * 256 < image.size(); ++i)
        if (image.mid(i * 256, 256) != QByteArray(256, char(0xFF)))
            out.append(i + 1);
    return out;
}

// The image and the write from either store.
class WriteFromStore : public ::testing::TestWithParam<StoreKind> {
protected:
    void SetUp() override
    {
        if (GetParam() == StoreKind::Server)
            ZTK_NEEDS_POSTGRES_OR_SKIP();
    }
};
INSTANTIATE_ON_BOTH_STORES(WriteFromStore);

TEST_P(WriteFromStore, BuildImageOfSelectionAndList)
{
    struct Case { QStringList args; QList<int> products; } cases[] = {
        {{}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
        {{"--selection", "prefix=25"}, {3, 6, 9, 12}},
        {{"--selection", "range=4-7", "--list", "5,7,11"}, {5, 7}},
    };
    for (const Case &c : cases) {
        CliStore s(GetParam());
        const CliRun r = s.cli(QStringList{QStringLiteral("build-image")} + c.args);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_EQ(r.out, QString::number(c.products.size()) + '\n');
        const QByteArray image = s.imageFile();
        EXPECT_EQ(image.size(), 1280000);
        EXPECT_EQ(filled(image), c.products) << c.args.join(' ').toStdString();
    }
    // A list that names nothing would be every product: refused.
    for (const char *empty : {"", ",,,", " , "}) {
        CliStore s(GetParam());
        const CliRun r = s.cli({"build-image", "--list", empty});
        EXPECT_EQ(r.exitCode, 2) << empty;
        EXPECT_TRUE(s.imageFile().isEmpty()) << empty;
    }
    CliStore s(GetParam());
    EXPECT_EQ(s.cli({"build-image", "--out", "other.bd"}).exitCode, 0);
    EXPECT_EQ(readFileBytes(s.dir.filePath("other.bd")).size(), 1280000);
    EXPECT_TRUE(s.imageFile().isEmpty());
}

TEST(WriteProductsCli, BadInput)
{
    struct Case { QStringList args; QString err; } cases[] = {
        {{"build-image", "--list", "3,x"}, msg::text(msg::NotAnInteger).arg("x")},
        {{"build-image", "--selection", "nonsense"}, "bad selection 'nonsense'"},
        {{"build-image", "--frob", "1"}, "unknown option --frob"},
        {{"write-products", "--out", "x.bd"}, "unknown option --out"},
    };
    for (const Case &c : cases) {
        CliStore s;
        const CliRun r = cli(s.path(), c.args);
        EXPECT_EQ(r.exitCode, 2) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(c.err)) << r.err.toStdString();
    }
    QStringList many;
    for (int n = 1; n <= 281; ++n)
        many << QString::number(n);
    CliStore s;
    const CliRun r = cli(s.path(), {"build-image", "--list", many.join(',')});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, msg::text(msg::ListTooMany) + '\n');
}

// The selection written, from either store, over either line.
void writesTheSelection(StoreKind store, Transport transport)
{
    CliStore s(store);
    SimProcess sim(transport);
    ASSERT_TRUE(sim.start()) << sim.error().toStdString();
    const CliRun r = s.cli(onPort(sim.port(), {"write-products", "--selection", "prefix=25", "--list", "3,9,10"}));
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("2\n"));
    EXPECT_TRUE(r.err.contains(msg::text(msg::WriteLoading))); // the progress line
    sim.stop();
    const QByteArray image = s.imageFile();
    EXPECT_EQ(filled(image), (QList<int>{3, 9}));
    EXPECT_EQ(sim.stateFile("products.bin"), image);
    EXPECT_EQ(sim.log().left(5).toHex(), QByteArray("0702000200"));
}

TEST_P(WriteFromStore, WritesTheSelection)
{
    writesTheSelection(GetParam(), Transport::Pty);
}

class WriteProductsCliExchange : public OverTransport {};

TEST_P(WriteProductsCliExchange, WritesTheSelection)
{
    writesTheSelection(StoreKind::File, GetParam());
}

TEST_P(WriteProductsCliExchange, TimeOutGivesTheStageMessage)
{
    struct Case { const char *fault; int stage; } cases[] = {{"no-ack=1", 1}, {"no-ack=2", 2}, {"no-ack=3", 3}};
    for (const Case &c : cases) {
        CliStore s;
        SimProcess sim(GetParam());
        ASSERT_TRUE(sim.start({"--fault", c.fault}));
        const CliRun r = cli(s.path(), onPort(sim.port(), {"write-products"}), true);
        EXPECT_EQ(r.exitCode, 1) << c.fault;
        EXPECT_TRUE(r.err.endsWith(msg::noLinkAtStage(c.stage) + '\n')) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
}

} // namespace

ZTK_OVER_EACH_TRANSPORT(WriteProductsCliExchange);
