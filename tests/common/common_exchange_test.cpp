// The common-data exchanges against the simulator on a pseudo-terminal: the bytes of a
// write and of the clock, a reading, and a reply one byte short.

#include "common/CommonExchange.h"
#include "link/ScaleLink.h"
#include "support/Scripted.h"
#include "support/SimProcess.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace ztk;
using namespace ztk::common;
using ztk::test::SimProcess;

namespace {

QByteArray bytes(const Block &b) { return QByteArray(reinterpret_cast<const char *>(b.data()), int(b.size())); }

Block patterned(int seed)
{
    Block b{};
    for (int i = 0; i < BlockSize; ++i)
        b[std::size_t(i)] = std::uint8_t(i * 7 + seed);
    return b;
}

struct SimLink {
    explicit SimLink(const QStringList &args = {}, const QByteArray &common = {})
    {
        if (!common.isEmpty())
            sim.writeStateFile(QStringLiteral("common.bin"), common);
        started = sim.start(args) && link.openPort(sim.port(), 115200, 0, 0) == 0 && link.startReader();
    }
    SimProcess sim;
    ScaleLink link;
    bool started = false;
};

// The block of the scale, or nothing when the reading failed.
std::optional<Block> read(ScaleLink &link, const Clock &clock, EventPump &pump)
{
    ExchangeSession session(link, clock, pump);
    Block block{};
    if (!readBlock(session, block).ok)
        return std::nullopt;
    return block;
}

} // namespace

TEST(CommonExchange, WriteSends441BytesWithTheGauge)
{
    SimLink s;
    ASSERT_TRUE(s.started) << qPrintable(s.sim.error());
    const Block block = patterned(3);
    QList<int> gauge;
    const ScaledClock fast(40); // the 9 s of pauses in a quarter of a second
    NullEventPump pump;
    ExchangeSession session(s.link, fast, pump, [&](const ProgressStep &step) { gauge.append(step.percent); });
    EXPECT_TRUE(writeBlock(session, block).ok);

    const QByteArray sent = s.sim.waitForLog(441);
    ASSERT_EQ(sent.size(), 441);
    EXPECT_EQ(sent[0], char(0x05));
    EXPECT_EQ(sent.mid(1), bytes(block).mid(60, 440)); // offsets 60 .. 499
    ASSERT_EQ(gauge.size(), 440);
    EXPECT_EQ(gauge.first(), 12);
    EXPECT_EQ(gauge.last(), 99);

    // The scale keeps what it was sent.
    const std::optional<Block> back = read(s.link, SystemClock(), pump);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(bytes(*back).mid(60, 440), bytes(block).mid(60, 440));
}

TEST(CommonExchange, ClockOnTheLastSecondsOf1999)
{
    SimLink s;
    ASSERT_TRUE(s.started) << qPrintable(s.sim.error());
    const test::FakeClock clock;
    NullEventPump pump;
    ExchangeSession session(s.link, clock, pump);
    EXPECT_TRUE(setClock(session, QDateTime(QDate(1999, 12, 31), QTime(23, 59, 58))).ok);
    EXPECT_EQ(s.sim.waitForLog(9).toHex(), QByteArray("0f5859230031129900"));
    s.sim.stop();
    EXPECT_EQ(s.sim.stateFile(QStringLiteral("clock.bin")).toHex(), QByteArray("5859230031129900"));
}

// 511 bytes end in the time-out; the next reading needs all 512 again from the first.
TEST(CommonExchange, ReplyOneByteShortTimesOutAndTheNextIsReadWhole)
{
    const Block stored = patterned(11);
    SimLink s({QStringLiteral("--fault"), QStringLiteral("cut=1@1")}, bytes(stored));
    ASSERT_TRUE(s.started) << qPrintable(s.sim.error());
    test::CountingPump pump;
    const ScaledClock fast(100);
    EXPECT_EQ(read(s.link, fast, pump), std::nullopt);
    EXPECT_EQ(s.link.commonData.count.load(), 511);
    EXPECT_FALSE(s.link.commonData.on.load());

    const std::optional<Block> whole = read(s.link, SystemClock(), pump);
    ASSERT_TRUE(whole.has_value());
    EXPECT_EQ(bytes(*whole), bytes(stored));
    EXPECT_EQ(s.sim.log(), QByteArray("\x04\x04"));
}

// The wait is 35 s, not the usual 15: a reply within it is taken.
TEST(CommonExchange, ReadingWaitsThirtyFiveSeconds)
{
    SimLink s({QStringLiteral("--fault"), QStringLiteral("silent")});
    ASSERT_TRUE(s.started) << qPrintable(s.sim.error());
    test::FakeClock clock;
    clock.setStepMs(100);
    NullEventPump pump;
    EXPECT_EQ(read(s.link, clock, pump), std::nullopt);
    // More than 35 s passed: at least 350 readings of 100 ms, and not many more.
    EXPECT_GE(clock.readings(), 351);
    EXPECT_LE(clock.readings(), 360);
}

TEST(CommonExchange, BlockFile)
{
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("BDpost.pd"));
    EXPECT_EQ(loadBlockFile(path), std::nullopt); // missing
    const Block block = patterned(1);
    ASSERT_TRUE(saveBlockFile(path, block));
    EXPECT_EQ(QFileInfo(path).size(), BlockSize);
    EXPECT_EQ(loadBlockFile(path), block);
    QFile f(path);
    ASSERT_TRUE(f.resize(499)); // short of offset 499
    EXPECT_EQ(loadBlockFile(path), std::nullopt);
}
