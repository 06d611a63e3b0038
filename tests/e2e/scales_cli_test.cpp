// ztk-cli --scales against three simulators at once: two on pseudo-terminals, one
// over TCP. What each scale holds, which one failed, and the kept totals.
#include "transfer/ProductRows.h"

#include "shared/Files.h"
#include "shared/Messages.h"
#include "support/CliProcess.h"
#include "support/SimProcess.h"

#include <QDir>

using namespace ztk;
using namespace ztk::test;

namespace {

class Shop : public ProductRowsFixture {
public:
    Shop()
    {
        for (int n : {1, 2, 40, 300, 4999}) {
            StoredRow p(n, QStringLiteral("Товар %1").arg(n));
            p.price = n * 0.25;
            add(p);
        }
        store.close();
        sims[2] = std::make_unique<SimProcess>(Transport::Tcp);
        for (std::size_t i = 0; i < 3; ++i) {
            if (!sims[i])
                sims[i] = std::make_unique<SimProcess>();
            EXPECT_TRUE(sims[i]->start({QStringLiteral("--number"), QString::number(i + 1)})) << qPrintable(sims[i]->error());
            list(names[i], *sims[i], int(i) + 1);
        }
    }

    // Puts the scale into the list with ztk-cli, as the operator would.
    void list(const QString &name, const SimProcess &sim, int number)
    {
        const CliRun r = cli({QStringLiteral("scales"), QStringLiteral("add"), name, QStringLiteral("--port"), sim.port(),
                              QStringLiteral("--number"), QString::number(number)});
        EXPECT_EQ(r.exitCode, 0) << qPrintable(r.err);
    }

    CliRun cli(const QStringList &args, int clockRate = 0) const
    {
        return runCli(dir.path(), QStringList{QStringLiteral("--dir"), dir.path()} + args, clockRate);
    }

    QByteArray image() const { return readFileBytes(dir.filePath(QString::fromUtf8(files::ProductImage))); }

    const QStringList names{QStringLiteral("kassa1"), QStringLiteral("kassa2"), QStringLiteral("net")};
    std::array<std::unique_ptr<SimProcess>, 3> sims;
};

} // namespace

TEST(ScalesCli, WriteToAllThenOneSilentFailsAlone)
{
    Shop shop;
    CliRun r = shop.cli({QStringLiteral("--scales"), QStringLiteral("all"), QStringLiteral("write-products")});
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.err);
    for (const QString &name : shop.names) {
        EXPECT_TRUE(r.out.contains(name + QStringLiteral(": 5\n"))) << qPrintable(r.out);
        EXPECT_TRUE(r.err.contains(name + QStringLiteral(": ok\n"))) << qPrintable(r.err);
    }
    const QByteArray image = shop.image();
    ASSERT_EQ(image.size(), ProductImage::ImageSize);
    // A simulator saves what it holds before it acknowledges.
    for (auto &sim : shop.sims)
        EXPECT_TRUE(sim->stateFile(QStringLiteral("products.bin")) == image) << qPrintable(sim->port());

    // The second scale falls silent: only it fails, by name; the others take the write.
    ASSERT_TRUE(shop.sims[1]->start({QStringLiteral("--fault"), QStringLiteral("silent")}));
    ASSERT_EQ(shop.cli({QStringLiteral("scales"), QStringLiteral("remove"), QStringLiteral("kassa2")}).exitCode, 0);
    shop.list(QStringLiteral("kassa2"), *shop.sims[1], 2);
    r = shop.cli({QStringLiteral("--scales"), QStringLiteral("kassa1,kassa2,net"), QStringLiteral("write-products"),
                  QStringLiteral("--list"), QStringLiteral("2,40")}, 20);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("kassa2: ") + msg::noLinkAtStage(1))) << qPrintable(r.err);
    EXPECT_TRUE(r.err.contains(QStringLiteral("kassa2: no answer\n")));
    EXPECT_TRUE(r.err.endsWith(msg::text(msg::ScalesFailed).arg(QStringLiteral("kassa2")) + '\n')) << qPrintable(r.err);
    EXPECT_TRUE(r.out.contains(QStringLiteral("kassa1: 2\n")) && r.out.contains(QStringLiteral("net: 2\n")));
    const QByteArray listed = shop.image();
    for (std::size_t i : {0, 2}) {
        shop.sims[i]->stop();
        for (int n : {2, 40})
            EXPECT_EQ(shop.sims[i]->slot(n - 1), listed.mid((n - 1) * 256, 256)) << n;
    }
}

TEST(ScalesCli, TotalsFromAllKeepsAnImageAndAFilePerScale)
{
    Shop shop;
    const CliRun r = shop.cli({QStringLiteral("--scales"), QStringLiteral("all"), QStringLiteral("totals"),
                               QStringLiteral("--out"), QStringLiteral("day.txt")});
    ASSERT_EQ(r.exitCode, 0) << qPrintable(r.err);
    const QDir dir(shop.dir.path());
    for (const QString &name : shop.names) {
        const QStringList kept = QDir(dir.filePath(QStringLiteral("totals/") + name)).entryList(QDir::Files);
        ASSERT_EQ(kept.size(), 1) << qPrintable(name);
        EXPECT_EQ(QFileInfo(dir.filePath(QStringLiteral("totals/%1/%2").arg(name, kept[0]))).size(), 153600);
        EXPECT_GT(QFileInfo(dir.filePath(QStringLiteral("day-%1.txt").arg(name))).size(), 0);
    }
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("day.txt"))));
}

TEST(ScalesCli, BadListAndNamesAreBadUsage)
{
    Shop shop;
    QFile ini(shop.dir.filePath(QStringLiteral("scales.ini")));
    ASSERT_TRUE(ini.open(QIODevice::Append));
    ini.write("[kassa1]\nport=ttyS0\n[far]\nport=" + QByteArray(200, 'x') + "\n");
    ini.close();
    // The broken and the repeated scales are named by line; the well-described ones still run.
    CliRun r = shop.cli({QStringLiteral("--scales"), QStringLiteral("net"), QStringLiteral("link-check")});
    EXPECT_EQ(r.exitCode, 0) << qPrintable(r.err);
    EXPECT_TRUE(r.err.contains(QStringLiteral("scales.ini, строка 15: "))) << qPrintable(r.err);
    EXPECT_TRUE(r.err.contains(QStringLiteral("scales.ini, строка 18: "))) << qPrintable(r.err);

    const struct {
        QStringList args;
        QString said;
    } cases[] = {
        {{"--scales", "far", "link-check"}, msg::text(msg::ScalesUnknownName).arg(QStringLiteral("far"))},
        {{"--scales", "all", "read-products"}, QStringLiteral("read-products runs on one scale")},
        {{"--scales", "all", "common-write", "--scale", "2"}, QStringLiteral("--scale goes with one scale")},
        {{"scales", "add", "net", "--port", "ttyS1"}, QStringLiteral("scales.ini, строка 15")},
    };
    for (const auto &c : cases) {
        r = shop.cli(c.args);
        EXPECT_EQ(r.exitCode, 2) << qPrintable(c.args.join(' '));
        EXPECT_TRUE(r.err.contains(c.said)) << qPrintable(r.err);
    }
}
