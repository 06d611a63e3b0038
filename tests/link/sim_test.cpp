// The simulator's side of every command, driven through the link as the
// exchanges drive it: what it answers, what it keeps, and its fault modes.

#include "link/Commands.h"
#include "link/ScaleLink.h"
#include "support/Exchanges.h"
#include "support/SimProcess.h"

#include <gtest/gtest.h>

#include <QThread>

#include <functional>

using namespace ztk;
using ztk::test::probeLink;
using ztk::test::queryScaleNumber;
using ztk::test::SimProcess;

namespace {

QByteArray filled(int n, int seed)
{
    QByteArray b(n, '\0');
    for (int i = 0; i < n; ++i)
        b[i] = char((i * 13 + seed) & 0xFF);
    return b;
}

QByteArray word(int v)
{
    return QByteArray(1, char(v & 0xFF)) + char((v >> 8) & 0xFF);
}

QByteArray bytesOf(const std::uint8_t *p, int n)
{
    return QByteArray(reinterpret_cast<const char *>(p), n);
}

// A link opened on a simulator, with the waits an exchange uses.
class SimLink {
public:
    explicit SimLink(const QStringList &simArgs = {}, const std::function<void(SimProcess &)> &prepare = {})
    {
        if (prepare)
            prepare(sim);
        started = sim.start(simArgs) && link.openPort(sim.port(), 9600, 0, 0) == 0 && link.startReader();
    }
    void send(const QByteArray &bytes)
    {
        for (char c : bytes)
            link.sendByte(std::uint8_t(c));
    }
    // Answered waits use the real clock; a wait expected to time out a fast one.
    // AckCount must have been armed before the bytes that are answered went out.
    bool waitAck(bool expectAnswer = true)
    {
        return wait([&] { return link.ack.done.load(); }, expectAnswer);
    }
    bool waitOff(const std::atomic<bool> &on, bool expectAnswer = true)
    {
        return wait([&] { return !on.load(); }, expectAnswer);
    }
    QByteArray readRecord(int slot)
    {
        link.record.count = 0;
        link.record.on = true;
        send(QByteArray(1, char(cmd::ReadRecord)) + word(slot));
        if (!waitOff(link.record.on))
            return QByteArray();
        return bytesOf(link.receiveBuffer(), cmd::RecordSize);
    }

    SimProcess sim;
    ScaleLink link;
    bool started = false;

private:
    bool wait(const std::function<bool()> &done, bool expectAnswer)
    {
        const SystemClock real;
        const ScaledClock fast(30);
        return link.receptionWait(done, cmd::WaitSeconds, expectAnswer ? static_cast<const Clock &>(real) : fast, pump);
    }
    NullEventPump pump;
};

} // namespace

TEST(LinkSim, WritesReadsAndClearsProducts)
{
    SimLink s;
    ASSERT_TRUE(s.started) << qPrintable(s.sim.error());
    const QByteArray recA = filled(cmd::RecordSize, 1);
    const QByteArray recB = filled(cmd::RecordSize, 2);

    s.link.ack.on = true;
    s.link.armAck(2);
    s.send(QByteArray(1, char(cmd::WriteProducts)) + word(2));
    ASSERT_TRUE(s.waitAck());
    s.link.armAck(2);
    s.send(word(4));
    ASSERT_TRUE(s.waitAck());
    s.link.armAck(1);
    s.send(recA);
    ASSERT_TRUE(s.waitAck());
    s.link.armAck(2);
    s.send(word(4999));
    ASSERT_TRUE(s.waitAck());
    s.link.armAck(1);
    s.send(recB);
    ASSERT_TRUE(s.waitAck());
    s.link.ack.on = false;

    EXPECT_EQ(s.readRecord(4), recA);
    EXPECT_EQ(s.readRecord(4999), recB);
    EXPECT_EQ(s.readRecord(0), QByteArray(cmd::RecordSize, char(0xFF)));

    s.send(QByteArray(1, char(cmd::ClearProduct)) + word(5)); // product 5 is slot 4
    EXPECT_EQ(s.readRecord(4), QByteArray(cmd::RecordSize, char(0xFF)));

    const QByteArray expectedLog = QByteArray("\x07", 1) + word(2) + word(4) + recA + word(4999) + recB +
                                   "\x0A" + word(4) + "\x0A" + word(4999) + "\x0A" + word(0) +
                                   "\x0C" + word(5) + "\x0A" + word(4);
    EXPECT_EQ(s.sim.waitForLog(int(expectedLog.size())), expectedLog);

    // Saved when each change was complete: a killed simulator has lost nothing.
    s.sim.kill();
    EXPECT_EQ(s.sim.slot(4), QByteArray(cmd::RecordSize, char(0xFF)));
    EXPECT_EQ(s.sim.slot(4999), recB);
    EXPECT_EQ(s.sim.stateFile(QStringLiteral("products.bin")).size(), cmd::SlotCount * cmd::RecordSize);
}

TEST(LinkSim, CommonDataClockAndTotals)
{
    const QByteArray common = filled(cmd::CommonDataSize, 5);
    const QByteArray totals = filled(cmd::TotalsImageSize, 9).replace('\0', '\x01');
    SimLink s({}, [&](SimProcess &sim) {
        sim.writeStateFile(QStringLiteral("common.bin"), common);
        sim.writeStateFile(QStringLiteral("totals.bin"), totals);
    });
    ASSERT_TRUE(s.started) << qPrintable(s.sim.error());

    const QByteArray written = filled(cmd::CommonDataWriteSize, 77);
    s.send(QByteArray(1, char(cmd::WriteCommonData)) + written);
    const QByteArray clock("\x33\x05\x14\x00\x08\x12\x26\x00", 8);
    s.send(QByteArray(1, char(cmd::SetClock)) + clock);
    s.send(QByteArray(1, char(cmd::ClearTotals)) + word(33));

    s.link.commonData.count = 0;
    s.link.commonData.on = true;
    s.send(QByteArray(1, char(cmd::ReadCommonData)));
    ASSERT_TRUE(s.waitOff(s.link.commonData.on));
    QByteArray expectedCommon = common;
    expectedCommon.replace(cmd::CommonDataWriteFirst, cmd::CommonDataWriteSize, written);
    EXPECT_EQ(bytesOf(s.link.receiveBuffer(), cmd::CommonDataSize), expectedCommon);

    s.link.totals.count = 0;
    s.link.totals.on = true;
    s.send(QByteArray(1, char(cmd::ReadTotals)));
    ASSERT_TRUE(s.waitOff(s.link.totals.on));
    // Product 33's counters: the first of page 1 in each of the three sections.
    QByteArray expectedTotals = totals;
    for (int at : {256, 51456, 102656})
        expectedTotals.replace(at, 4, QByteArray(4, '\0'));
    EXPECT_EQ(bytesOf(s.link.totalsImage(), cmd::TotalsImageSize), expectedTotals);

    s.sim.stop();
    EXPECT_EQ(s.sim.stateFile(QStringLiteral("common.bin")), expectedCommon);
    EXPECT_EQ(s.sim.stateFile(QStringLiteral("clock.bin")), clock);
    EXPECT_EQ(s.sim.stateFile(QStringLiteral("totals.bin")), expectedTotals);
}

// With no-ack=S the write goes unanswered from stage S on (1 count, 2 index, 3 record).
class LinkSimNoAck : public ::testing::TestWithParam<int> {};

TEST_P(LinkSimNoAck, SilentFromTheStage)
{
    const int stage = GetParam();
    SimLink s({QStringLiteral("--fault"), QStringLiteral("no-ack=%1").arg(stage)});
    ASSERT_TRUE(s.started) << qPrintable(s.sim.error());
    s.link.ack.on = true;
    s.link.armAck(2);
    s.send(QByteArray(1, char(cmd::WriteProducts)) + word(1));
    EXPECT_EQ(s.waitAck(stage != 1), stage != 1);
    if (stage == 1)
        return;
    s.link.armAck(2);
    s.send(word(0));
    EXPECT_EQ(s.waitAck(stage != 2), stage != 2);
    if (stage == 2)
        return;
    s.link.armAck(1);
    s.send(filled(cmd::RecordSize, 0));
    EXPECT_FALSE(s.waitAck(false));
}

INSTANTIATE_TEST_SUITE_P(Stages, LinkSimNoAck, ::testing::Values(1, 2, 3));

TEST(LinkSim, ShortRepliesEndInTheTimeOut)
{
    SimLink s({QStringLiteral("--fault"), QStringLiteral("short")});
    ASSERT_TRUE(s.started) << qPrintable(s.sim.error());
    s.link.record.on = true;
    s.send(QByteArray(1, char(cmd::ReadRecord)) + word(0));
    EXPECT_FALSE(s.waitOff(s.link.record.on, false));
    EXPECT_EQ(s.link.record.count.load(), cmd::RecordSize / 2);
    s.link.record.on = false;

    s.link.commonData.on = true;
    s.send(QByteArray(1, char(cmd::ReadCommonData)));
    EXPECT_FALSE(s.waitOff(s.link.commonData.on, false));
    EXPECT_EQ(s.link.commonData.count.load(), cmd::CommonDataSize / 2);
}

TEST(LinkSim, StrayBytesAfterCommandsWithoutReply)
{
    SimLink s({QStringLiteral("--fault"), QStringLiteral("stray")});
    ASSERT_TRUE(s.started) << qPrintable(s.sim.error());
    s.link.ack.on = true;
    s.link.armAck(3);
    s.send(QByteArray(1, char(cmd::ClearProduct)) + word(1));
    EXPECT_TRUE(s.waitAck());
}

TEST(LinkSim, UnfinishedArgumentsAreAbandoned)
{
    SimLink s({QStringLiteral("--number"), QStringLiteral("42")});
    ASSERT_TRUE(s.started) << qPrintable(s.sim.error());
    // Half a slot index, then silence: after its argument time-out the scale is idle
    // again and answers 0x13 instead of taking it as the index's high byte.
    s.send(QByteArray(1, char(cmd::ReadRecord)) + '\x01');
    ASSERT_EQ(s.sim.waitForLog(2).size(), 2);
    QThread::msleep(2500);
    NullEventPump pump;
    EXPECT_EQ(queryScaleNumber(s.link, SystemClock(), pump), std::optional<std::int8_t>(42));
}
