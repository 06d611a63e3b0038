// Writing products to the scale, and building the product image.
//   (a) 500 products to the simulator at an emulated 115200 baud: wall time over the
//       wire time of every byte exchanged (10 bits a byte). Target: at most 1.03.
//   (b) 5000 products, no emulated speed: records per second and CPU time per record.
//   (c) building the image of 5000 products from the store: milliseconds.
//
//   bench_transfer_write [--count-a N]   (default 500)

#include "BenchSupport.h"
#include "SimLauncher.h"

#include "link/ScaleLink.h"
#include "products/ProductDataset.h"
#include "products/ProductStore.h"
#include "shared/Seams.h"
#include "transfer/ProductImage.h"
#include "transfer/ProductWriter.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <sys/resource.h>

using namespace ztk;
using namespace ztk::bench;

namespace {

// A store of `count` products numbered 1..count (every slot of the image when 5000).
bool fillStore(ProductStore &store, const QString &path, int count)
{
    if (!store.open(path))
        return false;
    QSqlDatabase db = store.database();
    db.transaction();
    QSqlQuery q(db);
    q.prepare(QStringLiteral("insert into lm_t1 (N, ДатаКоррекции, Name, SK5, Префикс, Цена, ГоденДо, Name2, Name3, "
                             "Name4, Name5, ТипТ, Дата, Время) values (?,?,?,?,?,?,?,?,?,?,?,?,?,?)"));
    for (int n = 1; n <= count; ++n) {
        const QVariant values[] = {n, QStringLiteral("2026-12-08 14:05:33"), QStringLiteral("Колбаса варёная %1").arg(n),
                                   20000 + n, QStringLiteral("21"), 123.4567 + n, QStringLiteral("27.01.15"),
                                   QStringLiteral("Вторая строка"), QStringLiteral("Третья строка"),
                                   QStringLiteral("Четвёртая"), QStringLiteral("Пятая"), QString::number(n % 2),
                                   QStringLiteral("26.12.08"), QStringLiteral("14:05:33")};
        for (const QVariant &v : values)
            q.addBindValue(v);
        if (!q.exec())
            return false;
    }
    return db.commit();
}

std::unique_ptr<ProductImage> imageOf(ProductStore &store, const Clock &clock, Prompter &prompter)
{
    ProductDataset dataset(store, clock, prompter);
    if (!dataset.open(QStringLiteral("select * from lm_t1 order by N")))
        return nullptr;
    auto image = std::make_unique<ProductImage>();
    image->build(selectionRows(dataset), std::nullopt, clock.now().date());
    return image;
}

// Sends `image` to a simulator started with `simArgs`; false when anything failed.
bool writeTo(const ProductImage &image, const QStringList &simArgs, std::int32_t baud, double &wall, double &cpu,
             ExchangeResult &result, std::vector<double> *turnaround = nullptr)
{
    bench::SimLauncher sim(simArgs);
    if (sim.port().isEmpty())
        return false;
    ScaleLink link;
    if (link.openPort(sim.port(), baud, 0, 0) != 0 || !link.startReader())
        return false;
    SystemClock clock;
    NullEventPump pump;
    link.setTurnaroundLog(turnaround);
    ExchangeSession session(link, clock, pump);
    const double cpu0 = cpuSeconds();
    const auto t0 = std::chrono::steady_clock::now();
    result = writeProducts(session, image);
    wall = since(t0);
    cpu = cpuSeconds() - cpu0;
    return result.ok;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int countA = int(bench::longOption(argc, argv, "--count-a", 500));
    QTemporaryDir dir;
    SystemClock clock;
    SilentPrompter prompter;

    // (c) the build, from the store of 5000 products.
    ProductStore big;
    if (!fillStore(big, dir.filePath(QStringLiteral("big.db")), 5000)) {
        std::fprintf(stderr, "bench_transfer_write: cannot fill the store\n");
        return 1;
    }
    double bestBuild = 1e9, bestWalk = 1e9;
    std::unique_ptr<ProductImage> image5000;
    for (int round = 0; round < 5; ++round) {
        const auto t0 = std::chrono::steady_clock::now();
        ProductDataset dataset(big, clock, prompter);
        dataset.open(QStringLiteral("select * from lm_t1 order by N"));
        const auto t1 = std::chrono::steady_clock::now();
        auto image = std::make_unique<ProductImage>();
        image->build(selectionRows(dataset), std::nullopt, clock.now().date());
        bestWalk = std::min(bestWalk, since(t1));
        bestBuild = std::min(bestBuild, since(t0));
        image5000 = std::move(image);
    }
    std::printf("transfer_write (c): image of 5000 products: %.1f ms with the query, %.1f ms for the walk and records"
                " (best of 5)\n",
                bestBuild * 1000, bestWalk * 1000);

    // (a) 500 products at an emulated 115200 baud.
    ProductStore small;
    if (!fillStore(small, dir.filePath(QStringLiteral("small.db")), countA))
        return 1;
    const auto imageA = imageOf(small, clock, prompter);
    double wall = 0, cpu = 0;
    ExchangeResult r;
    std::vector<double> turnaround;
    turnaround.reserve(std::size_t(countA) * 2 + 1);
    if (!imageA
        || !writeTo(*imageA, {QStringLiteral("--baud"), QStringLiteral("115200")}, 115200, wall, cpu, r, &turnaround)) {
        std::fprintf(stderr, "bench_transfer_write: the write (a) failed: %s\n", qPrintable(r.message));
        return 1;
    }
    // PC -> scale: command, count, per record index and record; scale -> PC: 2 + 3 per record.
    const double bytes = 1 + 2 + double(r.done) * (2 + 256) + 2 + double(r.done) * 3;
    const double wire = bytes * 10 / 115200;
    std::printf("transfer_write (a): %d products at 115200 baud: %.0f bytes, wall %.3f s, wire %.3f s, ratio %.4f"
                " (target <= 1.03; the 100 ms pause after the command is in the wall time)\n",
                r.done, bytes, wall, wire, wall / wire);
    std::sort(turnaround.begin(), turnaround.end());
    const auto at = [&](double q) { return turnaround.empty() ? 0.0 : turnaround[std::size_t(q * double(turnaround.size() - 1))]; };
    std::printf("transfer_write (a): turnaround from an acknowledgement's last byte read to the next stage's first byte"
                " written, over %zu acknowledgements: median %.1f us, p90 %.1f us, p99 %.1f us (target median < 50 us)\n",
                turnaround.size(), at(0.5), at(0.9), at(0.99));

    // (b) 5000 products, no emulated speed.
    if (!writeTo(*image5000, {}, 115200, wall, cpu, r)) {
        std::fprintf(stderr, "bench_transfer_write: the write (b) failed: %s\n", qPrintable(r.message));
        return 1;
    }
    std::printf("transfer_write (b): %d products, no emulated speed: %.2f s, %.0f records/s, CPU %.1f us per record\n",
                r.done, wall, r.done / wall, cpu / r.done * 1e6);
    return 0;
}
