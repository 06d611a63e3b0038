// Receiving and clearing totals through the link, against the simulator on a
// pseudo-terminal.
#include "totals/TotalsExchange.h"

#include "link/ScaleLink.h"
#include "support/Scripted.h"
#include "support/SimProcess.h"

#include <gtest/gtest.h>

using namespace ztk;
using ztk::test::SimProcess;

namespace {

// Totals the simulator starts with: every 7th product sold, with all bytes busy.
TotalsImage busyDay()
{
    TotalsImage image;
    for (int n = 1; n <= 5000; n += 7)
        image.setCounters(n, {std::uint32_t(n) * 1000003u, std::uint32_t(n) * 2654435761u, std::uint32_t(n % 97)});
    return image;
}

class SimLink {
public:
    explicit SimLink(const QStringList &simArgs = {}, std::int32_t baud = 115200)
    {
        started = sim.writeStateFile(QStringLiteral("totals.bin"), busyDay().toByteArray()) && sim.start(simArgs)
            && link.openPort(sim.port(), baud, 0, 0) == 0 && link.startReader();
    }
    SimProcess sim;
    ScaleLink link;
    bool started = false;
    NullEventPump pump;
};

namespace {

// The image received, or nothing; `progress` is given the bytes received so far.
std::optional<TotalsImage> receive(ScaleLink &link, const Clock &clock, EventPump &pump,
                                   const std::function<void(int)> &progress = {})
{
    ExchangeSession session(link, clock, pump, [&](const ProgressStep &step) {
        if (progress)
            progress(step.done);
    });
    TotalsImage image;
    if (!receiveTotals(session, image).ok)
        return std::nullopt;
    return image;
}

bool clearOne(ScaleLink &link, int product)
{
    const SystemClock clock;
    NullEventPump pump;
    ExchangeSession session(link, clock, pump);
    const int products[] = {product};
    return clearTotals(session, products).ok;
}

} // namespace

TEST(TotalsReception, WholeImageWithProgress)
{
    SimLink s;
    ASSERT_TRUE(s.started) << s.sim.error().toStdString();
    std::vector<int> seen;
    const auto image = receive(s.link, SystemClock(), s.pump, [&](int received) { seen.push_back(received); });
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(*image, busyDay());
    ASSERT_FALSE(seen.empty());
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(seen.back(), int(TotalsImage::Size));
    EXPECT_FALSE(s.link.totals.on.load());
    EXPECT_EQ(s.sim.log().toHex(), QByteArray("09"));
}

TEST(TotalsReception, EarlierClearsAndTheirStrayBytesDoNotSpoilTheReply)
{
    // The simulator answers every command that has no reply with stray bytes.
    SimLink s({QStringLiteral("--fault"), QStringLiteral("stray")});
    ASSERT_TRUE(s.started) << s.sim.error().toStdString();
    TotalsImage expected = busyDay();
    for (int round = 0; round < 3; ++round) {
        const int product = 1 + 7 * round;
        ASSERT_TRUE(clearOne(s.link, product));
        expected.setCounters(product, {});
        // At once: the strays are still to come when the reception starts.
        const auto image = receive(s.link, SystemClock(), s.pump);
        ASSERT_TRUE(image.has_value()) << round;
        EXPECT_EQ(*image, expected) << round;
    }
}

TEST(TotalsReception, SilentOrShortReplyTimesOutAndTheNextStartsAtZero)
{
    struct Case { const char *fault; int bytes; } cases[] = {{"silent", 0}, {"short", int(TotalsImage::Size / 2)}};
    for (const Case &c : cases) {
        SimLink s({QStringLiteral("--fault"), QString::fromLatin1(c.fault)});
        ASSERT_TRUE(s.started) << s.sim.error().toStdString();
        const ScaledClock fast(30); // 15 s of silence in half a second
        // Twice: a count left from the first would make the second look complete.
        for (int round = 0; round < 2; ++round) {
            int last = 0;
            EXPECT_FALSE(receive(s.link, fast, s.pump, [&](int r) { last = r; }).has_value()) << c.fault;
            EXPECT_EQ(last, c.bytes) << c.fault;
            EXPECT_EQ(s.link.totals.count.load(), c.bytes) << c.fault;
            EXPECT_FALSE(s.link.totals.on.load());
        }
        const auto got = s.link.received(Reception::Totals);
        EXPECT_TRUE(std::equal(got.begin(), got.begin() + c.bytes, busyDay().bytes().begin())) << c.fault;
    }
}

TEST(TotalsReception, SlowLineCompletes)
{
    // 26.7 s on the line at 57,600 bit/s: more than the 15 s, never 15 s without a byte.
    // The clock runs 4 times faster, so even a limit for the whole reply of 60 s would fail.
    SimLink s({QStringLiteral("--baud"), QStringLiteral("57600")}, 57600);
    ASSERT_TRUE(s.started) << s.sim.error().toStdString();
    const ScaledClock fast(4);
    const auto image = receive(s.link, fast, s.pump);
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(*image, busyDay());
}

TEST(TotalsClearing, CommandsAndWhatTheScaleKeeps)
{
    SimLink s;
    ASSERT_TRUE(s.started) << s.sim.error().toStdString();
    for (int n : {0, 5001, -3})
        EXPECT_FALSE(clearOne(s.link, n)) << n;
    for (int n : {8, 260, 4999, 1})
        EXPECT_TRUE(clearOne(s.link, n));
    EXPECT_EQ(s.sim.waitForLog(12).toHex(), QByteArray("0b08000b04010b87130b0100"));
    s.sim.stop();
    TotalsImage expected = busyDay();
    for (int n : {8, 260, 4999, 1})
        expected.setCounters(n, {});
    const QByteArray kept = s.sim.stateFile(QStringLiteral("totals.bin"));
    const auto decoded = TotalsImage::decode({reinterpret_cast<const std::uint8_t *>(kept.constData()),
                                              std::size_t(kept.size())});
    ASSERT_TRUE(decoded.ok());
    EXPECT_EQ(decoded.value, expected);
    EXPECT_NE(expected, busyDay()); // 8, 260 and 4999 had totals
}

} // namespace
