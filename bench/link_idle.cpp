// CPU time of an idle link: the reader thread polling an open simulator port while
// nothing arrives. Target: below 1 % of one core.
//
//   bench_link_idle [--seconds N]   (default 10)

#include "BenchSupport.h"
#include "SimLauncher.h"

#include "link/ScaleLink.h"

#include <chrono>
#include <cstdio>
#include <sys/resource.h>
#include <thread>

int main(int argc, char **argv)
{
    const long seconds = ztk::bench::longOption(argc, argv, "--seconds", 10);
    ztk::bench::SimLauncher sim;
    if (sim.port().isEmpty()) {
        std::fprintf(stderr, "bench_link_idle: the simulator did not start\n");
        return 1;
    }
    ztk::ScaleLink link;
    if (link.openPort(sim.port(), 9600, 0, 0) != 0 || !link.startReader()) {
        std::fprintf(stderr, "bench_link_idle: cannot open %s\n", qPrintable(sim.port()));
        return 1;
    }

    const double cpu0 = ztk::bench::cpuSeconds();
    const auto wall0 = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const double cpu = ztk::bench::cpuSeconds() - cpu0;
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();

    std::printf("link_idle: %.1f ms CPU over %.1f s = %.3f %% of one core (target < 1 %%)\n", cpu * 1000, wall,
                100.0 * cpu / wall);
    return 0;
}
