// The link over TCP: an address that refuses or does not resolve opens a link that is
// down, and the link comes up by itself once the simulator listens there.

#include "link/ScaleLink.h"
#include "support/Exchanges.h"
#include "support/SimProcess.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QThread>

using namespace ztk;
using ztk::test::probeLink;
using ztk::test::queryScaleNumber;
using ztk::test::SimProcess;
using ztk::test::Transport;

namespace {

bool waitUp(const ScaleLink &link, int ms)
{
    QDeadlineTimer deadline(ms);
    while (!link.lineUp() && !deadline.hasExpired())
        QThread::msleep(20);
    return link.lineUp();
}

} // namespace

TEST(NetworkLink, RefusedAddressIsDownUntilSomethingListens)
{
    SimProcess sim(Transport::Tcp);
    ASSERT_TRUE(sim.start()) << qPrintable(sim.error());
    sim.stop(); // its address now refuses

    ScaleLink link;
    ASSERT_EQ(link.openPort(sim.port(), 9600, 0, 0), SerialPort::Opened);
    EXPECT_FALSE(link.lineUp());
    EXPECT_FALSE(link.portOpenError().isEmpty());
    ASSERT_TRUE(link.startReader());
    const ScaledClock fast(20);
    NullEventPump pump;
    EXPECT_FALSE(probeLink(link, fast, pump));

    ASSERT_TRUE(sim.start()) << qPrintable(sim.error());
    ASSERT_TRUE(waitUp(link, 5000));
    SystemClock clock;
    EXPECT_TRUE(probeLink(link, clock, pump));
    EXPECT_EQ(queryScaleNumber(link, clock, pump), std::optional<std::int8_t>(1));
}

TEST(NetworkLink, NamesThatDoNotResolveOrParse)
{
    ScaleLink link;
    EXPECT_EQ(link.openPort(QStringLiteral("tcp:no-such-scale.invalid:4001"), 9600, 0, 0), SerialPort::Opened);
    EXPECT_FALSE(link.lineUp());
    EXPECT_FALSE(link.portOpenError().isEmpty());
    EXPECT_EQ(link.openPort(QStringLiteral("tcp:10.0.0.5"), 9600, 0, 0), SerialPort::CannotOpen);
    EXPECT_FALSE(link.portOpen());
}
