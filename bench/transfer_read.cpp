// Reading products back from the scale, and saving what was read.
//   (a) 500 products from the simulator at an emulated 115200 baud: wall time over the
//       wire time of the bytes exchanged (3 + 256 a product, 10 bits a byte). Target: at most 1.03.
//   (b) storing 5000 read rows into the table, empty and then full (every row updated):
//       milliseconds, backup and one transaction included. Target: under 1 s.
//
//   bench_transfer_read [--count-a N]   (default 500)

#include "BenchSupport.h"
#include "SimLauncher.h"

#include "link/ScaleLink.h"
#include "products/ProductStore.h"
#include "shared/Seams.h"
#include "transfer/ProductImage.h"
#include "transfer/ProductReader.h"
#include "transfer/ReadbackRow.h"
#include "transfer/ReadbackSaver.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <vector>
#include <sys/resource.h>

using namespace ztk;
using namespace ztk::bench;

namespace {

ProductRecord recordOf(int n, const QDate &today)
{
    Product p;
    p.number.value = n;
    p.names = {QStringLiteral("Колбаса варёная %1").arg(n), QStringLiteral("Вторая строка"),
               QStringLiteral("Третья строка"), QStringLiteral("Четвёртая"), QStringLiteral("Пятая")};
    p.barcode.value = 20000 + n;
    p.price.value = Price::fromTenThousandths(1234500 + n * 100);
    p.bestBefore = QStringLiteral("27.01.15");
    p.correctionStamp = QStringLiteral("2026-12-08 14:05:33");
    p.type = QString::number(n % 2);
    p.prefix = QStringLiteral("21");
    return ProductImage::recordOf(p, today);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int countA = int(bench::longOption(argc, argv, "--count-a", 500));
    const QDate today(2026, 12, 8);
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    QTemporaryDir dir;

    // (a) the simulator's slots 1..countA filled.
    const QString state = dir.filePath(QStringLiteral("state"));
    QDir().mkpath(state);
    {
        QByteArray products(ProductImage::ImageSize, char(0xFF));
        for (int n = 1; n <= countA && n <= ProductImage::SlotCount; ++n) {
            const ProductRecord r = recordOf(n, today);
            products.replace((n - 1) * 256, 256, QByteArray(reinterpret_cast<const char *>(r.bytes.data()), 256));
        }
        QFile f(QDir(state).filePath(QStringLiteral("products.bin")));
        if (!f.open(QIODevice::WriteOnly) || f.write(products) != products.size()) {
            std::fprintf(stderr, "bench_transfer_read: cannot write the simulator's state\n");
            return 1;
        }
    }
    {
        bench::SimLauncher sim({QStringLiteral("--baud"), QStringLiteral("115200"), QStringLiteral("--state"), state});
        ScaleLink link;
        if (sim.port().isEmpty() || link.openPort(sim.port(), 115200, 0, 0) != SerialPort::Opened
            || !link.startReader()) {
            std::fprintf(stderr, "bench_transfer_read: no simulator\n");
            return 1;
        }
        SystemClock clock;
        NullEventPump pump;
        ExchangeSession session(link, clock, pump);
        const auto t0 = std::chrono::steady_clock::now();
        const ExchangeResult r = readProducts(session, 1, countA, {});
        const double wall = since(t0);
        if (!r.ok) {
            std::fprintf(stderr, "bench_transfer_read: the read (a) failed after %d products\n", r.done);
            return 1;
        }
        const double bytes = double(r.done) * (3 + 256);
        const double wire = bytes * 10 / 115200;
        std::printf("transfer_read (a): %d products at 115200 baud: %.0f bytes, wall %.3f s, wire %.3f s, ratio %.4f"
                    " (target <= 1.03)\n",
                    r.done, bytes, wall, wire, wall / wire);
    }

    // (b) 5000 rows as the read window holds them.
    std::vector<QStringList> cells;
    cells.reserve(ProductImage::SlotCount);
    for (int n = 1; n <= ProductImage::SlotCount; ++n)
        cells.push_back(readback::cellsOf(n, recordOf(n, today), russian));
    // The window's save: its grid's cells converted, then stored.
    const auto rows = [&] { return readback::fieldsOfRows(cells, today, russian).rows; };
    SystemClock clock;
    SilentPrompter prompter;
    double bestEmpty = 1e9, bestFull = 1e9, cpuEmpty = 1e9;
    for (int round = 0; round < 3; ++round) {
        QTemporaryDir work;
        ProductStore store;
        if (!store.open(work.filePath(QStringLiteral("LM_T.db"))))
            return 1;
        ReadbackSaver saver(store, clock, prompter, TypeRule::Keep, russian);
        const double cpu0 = cpuSeconds();
        auto t0 = std::chrono::steady_clock::now();
        SaveResult s = saver.save(rows());
        bestEmpty = std::min(bestEmpty, since(t0));
        cpuEmpty = std::min(cpuEmpty, cpuSeconds() - cpu0);
        if (s.stored != ProductImage::SlotCount) {
            std::fprintf(stderr, "bench_transfer_read: the save (b) stored %d rows: %s\n", s.stored, qPrintable(s.error));
            return 1;
        }
        t0 = std::chrono::steady_clock::now();
        s = saver.save(rows());
        bestFull = std::min(bestFull, since(t0));
        if (s.stored != ProductImage::SlotCount)
            return 1;
    }
    std::printf("transfer_read (b): 5000 rows saved in one transaction: %.0f ms (CPU %.0f ms) into an empty table,"
                " %.0f ms over a full one (backup included; best of 3; target < 1000 ms)\n",
                bestEmpty * 1000, cpuEmpty * 1000, bestFull * 1000);
    return 0;
}
