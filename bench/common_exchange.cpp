// The common-data exchanges against the simulator:
//   write: "Запись ОД" (0x05 and 440 paced bytes), wall time over the designed 9.0 s
//          (200 ms + 440 x 20 ms), target at most 1.02, and the longest gap between two
//          pumps of the event loop, target at most 50 ms (the window stays responsive);
//   read:  "Чтение ОД" at 115,200 bit/s emulated by the simulator, wall time over the
//          wire time of 512 bytes (10 bits each).
//
//   bench_common_exchange [--writes N] [--reads N] [--baud N]   (default 3 writes, 50 reads, 115200)

#include "SimLauncher.h"

#include "common/CommonExchange.h"
#include "link/ScaleLink.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Records the longest time between two pumps.
class GapPump final : public ztk::EventPump {
public:
    void pump() override
    {
        const auto now = Clock::now();
        if (m_seen)
            maxGapMs = std::max(maxGapMs, std::chrono::duration<double, std::milli>(now - m_last).count());
        m_last = now;
        m_seen = true;
    }
    double maxGapMs = 0;

private:
    Clock::time_point m_last{};
    bool m_seen = false;
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    const long writes = std::max(1L, ztk::bench::longOption(argc, argv, "--writes", 3));
    const long reads = std::max(1L, ztk::bench::longOption(argc, argv, "--reads", 50));
    const long baud = std::max(1L, ztk::bench::longOption(argc, argv, "--baud", 115200));
    const ztk::SystemClock clock;

    {
        ztk::bench::SimLauncher sim;
        ztk::ScaleLink link;
        if (sim.port().isEmpty() || link.openPort(sim.port(), std::int32_t(baud), 0, 0) != 0 || !link.startReader()) {
            std::fprintf(stderr, "bench_common_exchange: no simulator\n");
            return 1;
        }
        ztk::common::Block block;
        block.fill(0x5A);
        std::vector<double> ratios;
        double maxGap = 0;
        for (long i = 0; i < writes; ++i) {
            GapPump pump;
            const auto t0 = Clock::now();
            ztk::ExchangeSession session(link, clock, pump);
            ztk::common::writeBlock(session, block);
            const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
            ratios.push_back(wall / 9.0);
            maxGap = std::max(maxGap, pump.maxGapMs);
        }
        std::printf("common_write: %ld writes, wall / 9.0 s: median %.4f, worst %.4f (target <= 1.02); "
                    "longest pump gap %.1f ms (target <= 50)\n",
                    writes, median(ratios), *std::max_element(ratios.begin(), ratios.end()), maxGap);
    }
    {
        ztk::bench::SimLauncher sim({QStringLiteral("--baud"), QString::number(baud)});
        ztk::ScaleLink link;
        if (sim.port().isEmpty() || link.openPort(sim.port(), std::int32_t(baud), 0, 0) != 0 || !link.startReader()) {
            std::fprintf(stderr, "bench_common_exchange: no simulator\n");
            return 1;
        }
        const double wireS = 512.0 * 10.0 / double(baud);
        std::vector<double> ratios;
        long lost = 0;
        ztk::NullEventPump pump;
        for (long i = 0; i < reads; ++i) {
            const auto t0 = Clock::now();
            ztk::ExchangeSession session(link, clock, pump);
            ztk::common::Block read{};
            const bool ok = ztk::common::readBlock(session, read).ok;
            const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
            if (!ok) {
                ++lost;
                continue;
            }
            ratios.push_back(wall / wireS);
        }
        if (ratios.empty()) {
            std::fprintf(stderr, "bench_common_exchange: no reading was answered\n");
            return 1;
        }
        std::printf("common_read: %ld reads at %ld bit/s, wall / %.1f ms wire time: median %.3f, worst %.3f, lost %ld\n",
                    reads, baud, wireS * 1000, median(ratios), *std::max_element(ratios.begin(), ratios.end()), lost);
    }
    return 0;
}
