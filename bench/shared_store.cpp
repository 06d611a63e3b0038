// The table shared on a PostgreSQL server of its own on this machine: seconds to copy
// 5000 products from "LM_T.db" into it (ztk-cli db-copy; wanted under 2 s), and
// milliseconds from one PC storing a record to another PC's grid showing it (wanted
// under 500 ms). The two PCs are two connections, each with its dataset.

#include "BenchSupport.h"

#include "products/ProductDataset.h"
#include "products/ProductStore.h"
#include "products/Selection.h"
#include "products/StoreCopy.h"
#include "support/PostgresServer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using namespace ztk;

namespace {

constexpr int Products = 5000;

bool fillFile(ProductStore &file)
{
    StoreTransaction transaction(file);
    for (int n = 1; n <= Products; ++n) {
        Product p;
        p.number.value = n;
        p.names[0] = QString::fromUtf8("Товар №%1").arg(n);
        p.names[1] = QStringLiteral("%1 г").arg(n % 900 + 100);
        p.barcode.value = 4600000 + n;
        p.prefix = QStringLiteral("21");
        p.price.value = Price::fromTenThousandths(n * 1234);
        p.bestBefore = QStringLiteral("27.01.15");
        p.type = QString::number(n % 2);
        p.correctionStamp = QStringLiteral("2026-12-08 14:05:33");
        if (!file.insert(p))
            return false;
    }
    return transaction.commit();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QString why;
    test::PostgresServer *server = test::PostgresServer::instance(&why);
    if (!server) {
        std::fprintf(stderr, "no server: %s\n", why.toUtf8().constData());
        return 1;
    }
    QTemporaryDir dir;
    ProductStore file, shared;
    if (!file.open(dir.filePath(QStringLiteral("LM_T.db"))) || !fillFile(file) || !shared.open(server->location())) {
        std::fprintf(stderr, "cannot prepare: %s %s\n", file.errorText().toUtf8().constData(),
                     shared.errorText().toUtf8().constData());
        return 1;
    }

    std::printf("copy of %d products into the server (db-copy --to --replace), s:", Products);
    for (int round = 0; round < 3; ++round) {
        const auto t0 = std::chrono::steady_clock::now();
        const CopyResult r = copyProducts(file, shared, true);
        if (!r.ok) {
            std::fprintf(stderr, "\ncopy failed: %s\n", r.error.toUtf8().constData());
            return 1;
        }
        std::printf(" %.3f", bench::since(t0));
    }
    std::printf("\n");

    // PC 1 stores a record; PC 2's grid runs its selection again when told.
    ProductStore otherStore;
    if (!otherStore.open(server->location())) {
        std::fprintf(stderr, "second connection: %s\n", otherStore.errorText().toUtf8().constData());
        return 1;
    }
    SystemClock clock;
    bench::SilentPrompter prompter;
    ProductDataset pc1(shared, clock, prompter), pc2(otherStore, clock, prompter);
    if (!pc1.open(wholeBaseSql()) || !pc2.open(wholeBaseSql()) || !pc2.followStoreChanges()) {
        std::fprintf(stderr, "cannot open the grids\n");
        return 1;
    }
    pc1.moveBy(2000);
    pc2.moveBy(3000);
    std::vector<double> ms;
    for (int i = 0; i < 20; ++i) {
        const QString name = QStringLiteral("правка %1").arg(i);
        const auto t0 = std::chrono::steady_clock::now();
        pc1.setValue(fld::Name, name);
        pc1.post();
        // Sleeps in the event loop until PC 2's grid is reset, as the window would.
        QDeadlineTimer deadline(5000);
        while (pc2.rowValue(2000, fld::Name).toString() != name && !deadline.hasExpired()) {
            QEventLoop wait;
            QTimer::singleShot(deadline.remainingTime(), &wait, &QEventLoop::quit);
            QObject::connect(&pc2, &ProductDataset::reset, &wait, &QEventLoop::quit);
            wait.exec();
        }
        if (pc2.rowValue(2000, fld::Name).toString() != name) {
            std::fprintf(stderr, "the change did not show within 5 s\n");
            return 1;
        }
        ms.push_back(bench::since(t0) * 1000);
    }
    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double v : ms)
        sum += v;
    std::printf("a change on one PC shown in the other's grid (%d rows reselected), ms: average %.1f, median %.1f, max %.1f\n",
                pc2.recordCount(), sum / double(ms.size()), ms[ms.size() / 2], ms.back());
    std::printf("  the other grid's current record kept: %s\n", pc2.position() == 3001 ? "yes" : "no");

    pc1.close();
    pc2.close();
    otherStore.close();
    shared.close();
    server->stop();
    return 0;
}
