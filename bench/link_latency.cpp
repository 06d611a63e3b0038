// Round-trip latency of the link: from sending 0x0D to ReceptionWait returning with
// the simulator's answer (no emulated line speed). Target: median below 1 ms.
//
//   bench_link_latency [--count N] [--baud N]   (default 1000 probes; --baud paces the simulator)

#include "SimLauncher.h"

#include "link/Commands.h"
#include "link/ScaleLink.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

int main(int argc, char **argv)
{
    const long count = std::max(1L, ztk::bench::longOption(argc, argv, "--count", 1000));
    const long baud = ztk::bench::longOption(argc, argv, "--baud", 0);
    QStringList simArgs;
    if (baud > 0)
        simArgs << QStringLiteral("--baud") << QString::number(baud);
    ztk::bench::SimLauncher sim(simArgs);
    if (sim.port().isEmpty()) {
        std::fprintf(stderr, "bench_link_latency: the simulator did not start\n");
        return 1;
    }
    ztk::ScaleLink link;
    if (link.openPort(sim.port(), 9600, 0, 0) != 0 || !link.startReader()) {
        std::fprintf(stderr, "bench_link_latency: cannot open %s\n", qPrintable(sim.port()));
        return 1;
    }

    ztk::SystemClock clock;
    ztk::NullEventPump pump;
    std::vector<double> us;
    us.reserve(std::size_t(count));
    long lost = 0;
    for (long i = 0; i < count; ++i) {
        link.linkProbe.on.store(true, std::memory_order_release);
        link.discardAll();
        const auto t0 = std::chrono::steady_clock::now();
        link.sendByte(ztk::cmd::LinkProbe);
        const bool answered = link.receptionWait(
            [&] { return !link.linkProbe.on.load(std::memory_order_acquire); }, ztk::cmd::LinkCheckWaitSeconds, clock, pump);
        const auto t1 = std::chrono::steady_clock::now();
        if (!answered) {
            link.linkProbe.on.store(false, std::memory_order_release);
            ++lost;
            continue;
        }
        us.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
    }
    if (us.empty()) {
        std::fprintf(stderr, "bench_link_latency: no probe was answered\n");
        return 1;
    }
    std::sort(us.begin(), us.end());
    auto at = [&](double q) { return us[std::min(us.size() - 1, std::size_t(q * double(us.size())))]; };
    std::printf("link_latency: %zu probes, median %.0f us, p99 %.0f us, max %.0f us, lost %ld (target median < 1 ms)\n",
                us.size(), at(0.5), at(0.99), us.back(), lost);
    return 0;
}
