// Several scales at once, and a scale behind a serial device server (TCP).
//   (a) 500 products into 4 simulators at an emulated 115200 baud at once: wall time
//       over one scale's wire time (10 bits a byte). Target: at most 1.05.
//   (b) 500 products into one simulator over TCP at an emulated 115200 baud: wall time
//       over the wire time. Target: at most 1.03.
//   (c) CPU of 4 open idle links (2 pseudo-terminals, 2 TCP), and of 4 links whose
//       address refuses (reconnecting). Target: below 1 % of one core.
//
//   bench_scales_write [--count N] [--seconds S]   (defaults 500, 10)

#include "BenchSupport.h"
#include "SimLauncher.h"

#include "link/ScaleLink.h"
#include "link/ScaleRunner.h"
#include "transfer/ProductImage.h"
#include "transfer/ProductWriter.h"

#include <QCoreApplication>

#include <array>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

using namespace ztk;
using namespace ztk::bench;

namespace {

const QStringList Line115200{QStringLiteral("--baud"), QStringLiteral("115200")};

// PC -> scale: command, count, per record index and record; scale -> PC: 2 + 3 per record.
double wireSeconds(int records)
{
    return (1 + 2 + double(records) * (2 + 256) + 2 + double(records) * 3) * 10 / 115200;
}

double idleShare(long seconds)
{
    const double cpu0 = cpuSeconds();
    const auto t0 = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    return 100.0 * (cpuSeconds() - cpu0) / since(t0);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int count = int(longOption(argc, argv, "--count", 500));
    const long seconds = longOption(argc, argv, "--seconds", 10);
    ProductImage image;
    for (int n = 1; n <= count; ++n) {
        ProductRecord r;
        r.setName(1, QStringLiteral("Колбаса варёная %1").arg(n));
        image.setSlot(n - 1, r);
    }
    SystemClock clock;
    NullEventPump pump;
    const auto writeJob = [&image](ScaleJob &j) {
        ExchangeSession session = j.session();
        const ExchangeResult r = writeProducts(session, image);
        return r.ok && r.done == image.nonEmptyCount() ? ScaleStatus::Done : ScaleStatus::NoAnswer;
    };

    // (a) four pseudo-terminal scales at once.
    {
        std::array<std::unique_ptr<SimLauncher>, 4> sims;
        QList<ScaleEntry> scales;
        for (std::size_t i = 0; i < sims.size(); ++i) {
            sims[i] = std::make_unique<SimLauncher>(Line115200);
            scales << ScaleEntry{QStringLiteral("s%1").arg(i + 1), sims[i]->port(), 115200, int(i) + 1};
        }
        const ScaleRunner runner(scales, PortConfig(), clock);
        const auto t0 = std::chrono::steady_clock::now();
        const QList<ScaleOutcome> outcomes = runner.run(writeJob, pump);
        const double wall = since(t0);
        if (ScaleRunner::overall(outcomes) != ScaleStatus::Done) {
            std::fprintf(stderr, "bench_scales_write: (a) failed on %s\n", qPrintable(ScaleRunner::failedNames(outcomes).join(',')));
            return 1;
        }
        std::printf("scales_write (a): %d products into 4 scales at once at 115200 baud: wall %.3f s, one scale's wire"
                    " %.3f s, ratio %.4f (target <= 1.05; the 100 ms pause after the command is in the wall time)\n",
                    count, wall, wireSeconds(count), wall / wireSeconds(count));
    }

    // (b) one scale over TCP.
    {
        SimLauncher sim(QStringList{QStringLiteral("--tcp"), QStringLiteral("127.0.0.1:0")} + Line115200);
        ScaleLink link;
        if (sim.port().isEmpty() || link.openPort(sim.port(), 115200, 0, 0) != 0 || !link.lineUp() || !link.startReader()) {
            std::fprintf(stderr, "bench_scales_write: (b) cannot connect to the simulator\n");
            return 1;
        }
        const auto t0 = std::chrono::steady_clock::now();
        ExchangeSession session(link, clock, pump);
        const ExchangeResult r = writeProducts(session, image);
        const double wall = since(t0);
        if (!r.ok) {
            std::fprintf(stderr, "bench_scales_write: (b) failed: %s\n", qPrintable(r.message));
            return 1;
        }
        std::printf("scales_write (b): %d products over TCP at 115200 baud: wall %.3f s, wire %.3f s, ratio %.4f"
                    " (target <= 1.03)\n",
                    r.done, wall, wireSeconds(r.done), wall / wireSeconds(r.done));
    }

    // (c) idle links.
    {
        std::array<std::unique_ptr<SimLauncher>, 4> sims;
        std::array<ScaleLink, 4> links;
        for (std::size_t i = 0; i < sims.size(); ++i) {
            sims[i] = std::make_unique<SimLauncher>(i < 2 ? QStringList() : QStringList{QStringLiteral("--tcp"), QStringLiteral("127.0.0.1:0")});
            if (links[i].openPort(sims[i]->port(), 9600, 0, 0) != 0 || !links[i].startReader()) {
                std::fprintf(stderr, "bench_scales_write: (c) cannot open %s\n", qPrintable(sims[i]->port()));
                return 1;
            }
        }
        std::printf("scales_write (c): 4 idle links open (2 pseudo-terminals, 2 TCP): %.3f %% of one core over %ld s"
                    " (target < 1 %%)\n",
                    idleShare(seconds), seconds);
    }
    {
        // Addresses that refuse: each link keeps reconnecting, backing off to once a second.
        std::array<ScaleLink, 4> links;
        for (std::size_t i = 0; i < links.size(); ++i) {
            links[i].openPort(QStringLiteral("tcp:127.0.0.1:%1").arg(9 + i), 9600, 0, 0);
            links[i].startReader();
        }
        std::printf("scales_write (c): 4 links to addresses that refuse, reconnecting: %.3f %% of one core over %ld s"
                    " (target < 1 %%)\n",
                    idleShare(seconds), seconds);
    }
    return 0;
}
