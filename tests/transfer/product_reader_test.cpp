// Reading products back and clearing them, over the link, against the simulator.
#include "link/ScaleLink.h"
#include "shared/Messages.h"
#include "support/Exchanges.h"
#include "support/Scripted.h"
#include "support/SimProcess.h"
#include "support/TestApplication.h"
#include "transfer/ProductClearer.h"
#include "transfer/ProductReader.h"
#include "transfer/ReadbackRow.h"

#include <QLocale>
#include <gtest/gtest.h>

#include <vector>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

using namespace ztk;
using namespace ztk::test;
using ztk::test::probeLink;

namespace {

QByteArray record(int seed)
{
    QByteArray r(256, char(0xFF));
    r.replace(0, 4, QByteArray::fromHex("39300000")); // SK5 12345
    r.replace(4, 28, QByteArray("Name ") + QByteArray::number(seed) + QByteArray(28 - 5 - QByteArray::number(seed).size(), ' '));
    r.replace(32, 4, QByteArray::fromHex("d2040000")); // 12,34
    r[92] = 1;
    r[254] = char(seed);
    return r;
}

// A simulator whose slots `filled` (0-based) hold record(slot), and a link on it.
class ReadRig {
public:
    explicit ReadRig(const QList<int> &filled, const QStringList &simArgs = {})
    {
        ensureCoreApplication();
        QByteArray products(5000 * 256, char(0xFF));
        for (int slot : filled)
            products.replace(slot * 256, 256, record(slot));
        started = sim.writeStateFile("products.bin", products) && sim.start(simArgs)
                  && link.openPort(sim.port(), 115200, 0, 0) == SerialPort::Opened && link.startReader();
    }

    // Reads first..last with a clock fast enough that a time-out passes in a third of a second.
    ExchangeResult read(int first, int last, const RecordReceived &received = {})
    {
        ExchangeSession session(link, fast, pump);
        return readProducts(session, first, last, [&](int k, int n, const ProductRecord &r) {
            got.push_back(readback::cellsOf(n, r, QLocale(QLocale::Russian)));
            if (received)
                received(k, n, r);
        });
    }

    SimProcess sim;
    ScaleLink link;
    bool started = false;
    ScaledClock fast{50};
    NullEventPump pump;
    std::vector<QStringList> got;
};

TEST(ProductReader, AsksForEachSlotAndDecodesTheReply)
{
    ReadRig rig({0, 299});
    ASSERT_TRUE(rig.started) << rig.sim.error().toStdString();
    const ExchangeResult r = rig.read(1, 2);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.done, 2);
    ASSERT_TRUE(rig.read(300, 300).ok);
    EXPECT_EQ(rig.sim.waitForLog(9).toHex(' '), QByteArray("0a 00 00 0a 01 00 0a 2b 01"));
    ASSERT_EQ(rig.got.size(), 3u);
    EXPECT_EQ(rig.got[0].mid(0, 6), (QStringList{"1", "00.00.00 00:00:00", "Name 0" + QString(22, ' '), "12345", "ШТУКА", "12,34"}));
    EXPECT_EQ(rig.got[1][readback::ColStamp], "00.00.00 00:00:00");
    EXPECT_EQ(rig.got[1][readback::ColName], QString(28, QChar(0xA0))); // empty slot
    EXPECT_EQ(rig.got[2][readback::ColNumber], "300");
    EXPECT_EQ(rig.got[2][readback::ColPrefix], "43"); // 299 & 0xFF
}

TEST(ProductReader, ATimeOutMidRangeKeepsWhatCame)
{
    ReadRig rig({0, 1, 2, 3});
    ASSERT_TRUE(rig.started) << rig.sim.error().toStdString();
    // The scale is unplugged once two products have come.
    const ExchangeResult r = rig.read(1, 4, [&](int k, int, const ProductRecord &) {
        if (k == 1)
            rig.sim.kill();
    });
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, msg::text(msg::NoLink));
    EXPECT_EQ(r.done, 2);
    ASSERT_EQ(rig.got.size(), 2u);
    EXPECT_EQ(rig.got[1][readback::ColNumber], "2");
    EXPECT_FALSE(rig.link.record.on.load());
}

TEST(ProductReader, AShortReplyTimesOutAndTheNextExchangeWorks)
{
    for (const char *fault : {"short", "silent"}) {
        ReadRig rig({0}, {"--fault", fault});
        ASSERT_TRUE(rig.started) << rig.sim.error().toStdString();
        const ExchangeResult r = rig.read(1, 3);
        EXPECT_FALSE(r.ok) << fault;
        EXPECT_EQ(r.done, 0) << fault;
        EXPECT_EQ(r.message, msg::text(msg::NoLink));
        EXPECT_EQ(rig.sim.waitForLog(3).toHex(' '), QByteArray("0a 00 00")) << fault; // nothing after the time-out
        if (QByteArray(fault) == "short") {
            const SystemClock real;
            EXPECT_TRUE(probeLink(rig.link, real, rig.pump));
        }
    }
}

// The scale answers nothing to 0x0C, so the pacing needs no scale: a pseudo-terminal
// nobody reads. A link without a port fails at once.
TEST(ProductClearer, PacesARangeByTheClock)
{
    {
        ScaleLink none;
        FakeClock clock;
        NullEventPump pump;
        ExchangeSession session(none, clock, pump, [](const ProgressStep &) { ADD_FAILURE(); });
        EXPECT_FALSE(clearProducts(session, 1, 3).ok);
    }
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    ScaleLink link;
    ASSERT_EQ(link.openPort(QString::fromLocal8Bit(::ptsname(master)), 9600, 0, 0), 0);
    FakeClock clock;
    clock.setStepMs(10);
    NullEventPump pump;
    std::vector<int> percents, order;
    std::vector<QDateTime> sentAt;
    const QDateTime start = clock.now();
    int from = 10;
    ExchangeSession session(link, clock, pump, [&](const ProgressStep &step) {
        order.push_back(from + step.done - 1);
        percents.push_back(step.percent);
        sentAt.push_back(clock.now());
    });
    clearProducts(session, 10, 12, [&](int n) { order.push_back(-n); });
    EXPECT_EQ(percents, (std::vector<int>{0, 50, 100}));
    EXPECT_EQ(order, (std::vector<int>{10, -10, 11, -11, 12, -12}));
    for (std::size_t i = 0; i < sentAt.size(); ++i) // by the clock, not the wall
        EXPECT_GE(start.msecsTo(sentAt[i]), qint64(i) * ClearPauseMs) << i;

    percents.clear();
    from = 7;
    clearProducts(session, 7, 7);
    EXPECT_EQ(percents, std::vector<int>{100});
    percents.clear();
    EXPECT_TRUE(clearProducts(session, 5, 4).ok); // from above to sends nothing
    EXPECT_TRUE(percents.empty());
    link.closePort();
    ::close(master);
}

} // namespace
