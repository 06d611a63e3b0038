// Receiving totals and building their rows.
//   (a) a reception from the simulator at an emulated 115,200 bit/s: wall time over the
//       wire time of the 153,600-byte reply (13.33 s). Target: at most 1.02. CPU time of
//       this program (both threads) during it.
//   (b) building the rows of 5000 products with totals against a 5000-row selection:
//       milliseconds, with and without taking the products from the dataset. Target < 50 ms.
//
//   bench_totals_receive [--baud N]   (default 115200)

#include "BenchSupport.h"
#include "SimLauncher.h"

#include "link/ScaleLink.h"
#include "products/ProductDataset.h"
#include "products/ProductStore.h"
#include "shared/Seams.h"
#include "totals/SelectionProducts.h"
#include "totals/TotalsExchange.h"
#include "totals/TotalsRows.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <sys/resource.h>

using namespace ztk;
using namespace ztk::bench;

namespace {

// Every product sold, with counters that use all their bytes.
TotalsImage fullDay()
{
    TotalsImage image;
    for (int n = 1; n <= 5000; ++n)
        image.setCounters(n, {std::uint32_t(n) * 2654435761u, std::uint32_t(n) * 40503u + 7u, std::uint32_t(1 + n % 500)});
    return image;
}

bool fillStore(ProductStore &store, const QString &path, int count)
{
    if (!store.open(path))
        return false;
    QSqlDatabase db = store.database();
    db.transaction();
    QSqlQuery q(db);
    q.prepare(QStringLiteral("insert into lm_t1 (N, Name, Префикс, Цена, ТипТ) values (?,?,?,?,?)"));
    for (int n = 1; n <= count; ++n) {
        for (const QVariant &v : {QVariant(n), QVariant(QStringLiteral("Колбаса варёная %1").arg(n)),
                                  QVariant(QString::number(n % 3 == 0 ? 0 : 21)), QVariant(1.5 + n),
                                  QVariant(QString::number(n % 2))})
            q.addBindValue(v);
        if (!q.exec())
            return false;
    }
    return db.commit();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const long baud = bench::longOption(argc, argv, "--baud", 115200);
    QTemporaryDir dir;
    SystemClock clock;
    SilentPrompter prompter;
    const TotalsImage image = fullDay();

    // (b) the rows.
    ProductStore store;
    if (!fillStore(store, dir.filePath(QStringLiteral("LM_T.db")), 5000)) {
        std::fprintf(stderr, "bench_totals_receive: cannot fill the store\n");
        return 1;
    }
    ProductDataset dataset(store, clock, prompter);
    if (!dataset.open(QStringLiteral("select * from lm_t1 order by N")))
        return 1;
    double bestAll = 1e9, bestRows = 1e9;
    std::size_t listed = 0;
    for (int round = 0; round < 5; ++round) {
        const auto t0 = std::chrono::steady_clock::now();
        const TotalsLookup lookup(totalsProducts(dataset));
        const auto t1 = std::chrono::steady_clock::now();
        const TotalsTable table = buildTotalsRows(image, lookup, QStringLiteral(","));
        bestRows = std::min(bestRows, since(t1));
        bestAll = std::min(bestAll, since(t0));
        listed = table.rows.size();
    }
    std::printf("totals_receive (b): rows of %zu products against a 5000-row selection: %.2f ms with the products "
                "taken from the dataset, %.2f ms for the lookup and rows alone (best of 5; target < 50 ms)\n",
                listed, bestAll * 1000, bestRows * 1000);

    // (a) the reception.
    const QString totalsFile = dir.filePath(QStringLiteral("totals.bin"));
    QFile f(totalsFile);
    if (!f.open(QIODevice::WriteOnly) || f.write(image.toByteArray()) != qint64(TotalsImage::Size))
        return 1;
    f.close();
    bench::SimLauncher sim({QStringLiteral("--baud"), QString::number(baud), QStringLiteral("--totals"), totalsFile});
    if (sim.port().isEmpty())
        return 1;
    ScaleLink link;
    if (link.openPort(sim.port(), std::int32_t(baud), 0, 0) != 0 || !link.startReader())
        return 1;
    NullEventPump pump;
    const double cpu0 = cpuSeconds();
    const auto t0 = std::chrono::steady_clock::now();
    ExchangeSession session(link, clock, pump);
    TotalsImage received;
    const bool whole = receiveTotals(session, received).ok;
    const double wall = since(t0);
    const double cpu = cpuSeconds() - cpu0;
    if (!whole || !(received == image)) {
        std::fprintf(stderr, "bench_totals_receive: the reception failed or differs\n");
        return 1;
    }
    const double wire = double(TotalsImage::Size + 1) * 10 / double(baud);
    std::printf("totals_receive (a): 153,600 bytes at %ld bit/s: wall %.3f s, wire %.3f s, ratio %.4f (target <= 1.02);"
                " CPU %.3f s (%.2f%% of the wall time)\n",
                baud, wall, wire, wall / wire, cpu, 100 * cpu / wall);
    return 0;
}
