// The reader's hand-over of bytes to the receive modes, and ReceptionWait's limit.

#include "link/Commands.h"
#include "link/ScaleLink.h"
#include "support/Scripted.h"

#include <gtest/gtest.h>

#include <vector>

using namespace ztk;

namespace {

void routeAll(ScaleLink &link, const std::vector<std::uint8_t> &bytes)
{
    for (std::uint8_t b : bytes)
        link.route(b);
}

std::vector<std::uint8_t> pattern(int n, int seed)
{
    std::vector<std::uint8_t> out(std::size_t(n), 0);
    for (int i = 0; i < n; ++i)
        out[std::size_t(i)] = std::uint8_t((i * 7 + seed) & 0xFF);
    return out;
}

} // namespace

TEST(LinkRouting, FirstModeOnTakesTheByte)
{
    ScaleLink link;
    link.ack.on = true;
    link.armAck(2);
    link.record.on = true;
    link.receiveBuffer()[0] = 0x55;

    routeAll(link, {0x06, 0x06});
    EXPECT_EQ(link.ack.count.load(), 2);
    EXPECT_TRUE(link.ack.done.load());
    EXPECT_TRUE(link.ack.on.load()) << "AckCount stays on once done";
    EXPECT_EQ(link.record.count.load(), 0);
    EXPECT_TRUE(link.record.on.load());
    EXPECT_EQ(link.receiveBuffer()[0], 0x55);

    // With AckCount off, the record takes the next byte.
    link.ack.on = false;
    link.route(0x99);
    EXPECT_EQ(link.record.count.load(), 1);
    EXPECT_EQ(link.receiveBuffer()[0], 0x99);
}

TEST(LinkRouting, AckCountCountsOnlyWhileExpectedIsSet)
{
    ScaleLink link;
    link.ack.on = true;
    link.route(0x06);
    EXPECT_EQ(link.ack.count.load(), 0) << "expected 0: the byte is dropped, not counted";
    EXPECT_FALSE(link.ack.done.load());

    link.armAck(1);
    link.route(0x06);
    EXPECT_TRUE(link.ack.done.load());
    link.route(0x06); // a surplus byte is counted; done stays set
    EXPECT_EQ(link.ack.count.load(), 2);

    link.armAck(2); // the next wait starts from nothing
    EXPECT_EQ(link.ack.count.load(), 0);
    EXPECT_FALSE(link.ack.done.load());
    link.route(0x06);
    EXPECT_FALSE(link.ack.done.load());
    link.route(0x06);
    EXPECT_TRUE(link.ack.done.load());
}

// Each counted mode fills its buffer from the start, switches itself off at exactly
// its size and leaves the next byte alone.
struct CountedCase {
    const char *name;
    CountedMode ScaleLink::*mode;
    int size;
    bool totals;
    friend void PrintTo(const CountedCase &c, std::ostream *os) { *os << c.name; }
};

class LinkRoutingCounted : public ::testing::TestWithParam<CountedCase> {};

TEST_P(LinkRoutingCounted, FillsAndSwitchesOffAtItsSize)
{
    const CountedCase c = GetParam();
    ScaleLink link;
    CountedMode &mode = link.*c.mode;
    std::uint8_t *buf = c.totals ? link.totalsImage() : link.receiveBuffer();
    const int capacity = c.totals ? cmd::TotalsImageSize : ScaleLink::ReceiveBufferSize;
    if (c.size < capacity)
        buf[c.size] = 0x5A;

    const std::vector<std::uint8_t> bytes = pattern(c.size, 3);
    mode.on = true;
    for (int i = 0; i < c.size; ++i) {
        ASSERT_TRUE(mode.on.load()) << "off too early, at byte " << i;
        link.route(bytes[std::size_t(i)]);
    }
    EXPECT_FALSE(mode.on.load());
    EXPECT_EQ(mode.count.load(), c.size);
    EXPECT_EQ(std::vector<std::uint8_t>(buf, buf + c.size), bytes);

    link.route(0xA5); // one byte too many: dropped
    EXPECT_EQ(mode.count.load(), c.size);
    if (c.size < capacity) {
        EXPECT_EQ(buf[c.size], 0x5A);
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, LinkRoutingCounted,
                         ::testing::Values(CountedCase{"Record", &ScaleLink::record, cmd::RecordSize, false},
                                           CountedCase{"CommonData", &ScaleLink::commonData, cmd::CommonDataSize, false},
                                           CountedCase{"Totals", &ScaleLink::totals, cmd::TotalsImageSize, true}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(LinkRouting, CountOutsideTheBufferWritesNothing)
{
    ScaleLink link;
    std::vector<std::uint8_t> before(link.receiveBuffer(), link.receiveBuffer() + ScaleLink::ReceiveBufferSize);

    link.record.count = 300; // beyond the record, inside the 512-byte buffer
    link.record.on = true;
    link.route(0x11);
    EXPECT_FALSE(link.record.on.load());

    link.commonData.count = -1;
    link.commonData.on = true;
    link.route(0x22);

    link.commonData.count = cmd::CommonDataSize + 10;
    link.commonData.on = true;
    link.route(0x33);
    EXPECT_FALSE(link.commonData.on.load());

    EXPECT_EQ(std::vector<std::uint8_t>(link.receiveBuffer(), link.receiveBuffer() + ScaleLink::ReceiveBufferSize),
              before);
}

TEST(LinkRouting, SingleByteModes)
{
    ScaleLink link;
    link.linkProbe.on = true;
    link.byteReply.on = true;
    link.route(0x00); // any value answers the probe, which comes first
    EXPECT_FALSE(link.linkProbe.on.load());
    EXPECT_TRUE(link.byteReply.on.load());

    link.route(0xFF);
    EXPECT_FALSE(link.byteReply.on.load());
    EXPECT_EQ(link.received(Reception::ByteReply)[0], 0xFF);

    link.route(0x01); // nothing on: dropped
    EXPECT_EQ(link.received(Reception::ByteReply)[0], 0xFF);
    EXPECT_EQ(link.ack.count.load(), 0);
    EXPECT_EQ(link.record.count.load(), 0);
}

TEST(LinkRouting, ClearModesResetsEverything)
{
    ScaleLink link;
    link.ack.on = true;
    link.armAck(1);
    link.route(0x06);
    link.record.on = true;
    link.record.count = 5;
    link.totals.on = true;
    link.commonData.on = true;
    link.linkProbe.on = true;
    link.byteReply.on = true;

    link.clearModes();
    EXPECT_FALSE(link.ack.on || link.record.on || link.totals.on || link.commonData.on || link.linkProbe.on ||
                 link.byteReply.on);
    EXPECT_EQ(link.ack.count.load(), 0);
    EXPECT_EQ(link.ack.expected.load(), 0);
    EXPECT_FALSE(link.ack.done.load());
    EXPECT_EQ(link.record.count.load(), 0);
}

TEST(LinkWait, EndsAtTheFirstPollAfterMoreThanTheLimit)
{
    ScaleLink link;
    test::FakeClock clock;
    clock.setStepMs(1000);
    test::CountingPump pump;
    int asked = 0;
    EXPECT_FALSE(link.receptionWait([&] { ++asked; return false; }, cmd::WaitSeconds, clock, pump));
    // Polls see 1, 2, ... 15 s (not yet over) and 16 s: over at the sixteenth.
    EXPECT_EQ(pump.count, 16);
    EXPECT_EQ(asked, 16);
    EXPECT_EQ(clock.readings(), 17);
}

TEST(LinkWait, AnsweredBeforeTheLimit)
{
    ScaleLink link;
    test::FakeClock clock;
    clock.setStepMs(1000);
    test::CountingPump pump;
    int asked = 0;
    EXPECT_TRUE(link.receptionWait([&] { return ++asked == 3; }, cmd::LinkCheckWaitSeconds, clock, pump));
    EXPECT_EQ(pump.count, 2);

    // Answered at once: no poll at all.
    test::CountingPump pump2;
    EXPECT_TRUE(link.receptionWait([] { return true; }, 0, clock, pump2));
    EXPECT_EQ(pump2.count, 0);
}
