// Through a real serial device server: Debian's ser2net in raw TCP mode in front of the
// simulator's pseudo-terminal. Each exchange must put on the line exactly the bytes it
// puts there over the pseudo-terminal, and give the same output.
#include "transfer/ProductRows.h"

#include "support/CliProcess.h"
#include "support/SimProcess.h"

using namespace ztk;
using namespace ztk::test;

namespace {

struct Exchange {
    const char *name;
    QStringList simArgs;
    QStringList cliArgs;
    QStringList againArgs; // a second command in the same shop (empty: none)
};

void PrintTo(const Exchange &e, std::ostream *os) { *os << e.name; }

class DeviceServerShop : public ProductRowsFixture {
public:
    DeviceServerShop()
    {
        for (int n : {1, 2, 260, 4999}) {
            StoredRow p(n, QStringLiteral("Товар %1").arg(n));
            p.price = 100 + n;
            add(p);
        }
        store.close();
    }
    CliRun cli(const QString &port, const QStringList &args) const
    {
        return runCli(dir.path(), QStringList{"--dir", dir.path()} + onPort(port, args));
    }
};

struct Outcome {
    QByteArray line;    // what the scale received
    QString out;        // what the commands printed
    QByteArray held;    // what the scale holds afterwards
    int exitCode = -1;
};

Outcome runOver(Transport transport, const Exchange &e)
{
    DeviceServerShop shop;
    SimProcess sim(transport);
    Outcome o;
    if (!sim.start(e.simArgs)) {
        ADD_FAILURE() << sim.error().toStdString();
        return o;
    }
    CliRun r = shop.cli(sim.port(), e.cliArgs);
    o.exitCode = r.exitCode;
    o.out = r.out;
    EXPECT_EQ(r.exitCode, 0) << e.name << ": " << r.err.toStdString();
    if (!e.againArgs.isEmpty()) {
        r = shop.cli(sim.port(), e.againArgs);
        EXPECT_EQ(r.exitCode, 0) << e.name << ": " << r.err.toStdString();
        o.out += r.out;
    }
    sim.stop();
    o.line = sim.log();
    o.held = sim.stateFile(QStringLiteral("products.bin"));
    return o;
}

class DeviceServer : public ::testing::TestWithParam<Exchange> {};

} // namespace

TEST_P(DeviceServer, PutsTheSameBytesOnTheLineAsThePseudoTerminal)
{
    const Exchange &e = GetParam();
    const Outcome direct = runOver(Transport::Pty, e);
    const Outcome served = runOver(Transport::Ser2net, e);
    ASSERT_FALSE(direct.line.isEmpty()) << e.name;
    EXPECT_EQ(served.exitCode, 0);
    EXPECT_EQ(served.line.toHex().toStdString(), direct.line.toHex().toStdString());
    EXPECT_EQ(served.out.toStdString(), direct.out.toStdString());
    EXPECT_EQ(served.held, direct.held);
}

INSTANTIATE_TEST_SUITE_P(
    Ser2net, DeviceServer,
    ::testing::Values(
        Exchange{"write", {}, {"write-products"}, {}},
        Exchange{"readback", {}, {"write-products"}, {"read-products", "--from", "1", "--to", "5"}},
        Exchange{"totals", {"--sale", "5:250:100:1", "--sale", "260:1500:4530:3"}, {"totals", "--clear"}, {}},
        // A first sync, then a full one: the number question and every record, twice.
        Exchange{"sync", {}, {"sync"}, {"sync", "--full"}}),
    [](const ::testing::TestParamInfo<Exchange> &info) { return std::string(info.param.name); });
