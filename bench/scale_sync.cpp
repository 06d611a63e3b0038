// Bringing scales in step with a table of 5000 products after a morning's ten changes.
//   (a) what to send: the table built into records and compared with the state of a
//       scale that holds all of it. Target: under 50 ms.
//   (b) the sync of 10 changed products into one simulator at an emulated 115200 baud:
//       wall time against the wire time of the number question and the 10 records
//       (10 bits a byte) with the 100 ms pause the write command needs.
//       Target: at most 1.05 and under 1 s. The full write of 5000 is given for scale.
//   (c) the same into 4 simulators at once.
//   (d) ztk-cli sync --watch on those 4 scales: from the commit of a price to the
//       record kept by the first scale (target < 2 s); the watch's CPU while idle over
//       --idle seconds (target < 0.5 % of a core); its resident memory after 10 syncs
//       and after --syncs syncs (flat).
//   (e) the same commit-to-record time with the table on a PostgreSQL server of its own:
//       the watch hears of the commit by the server's notification (target < 0.5 s).
//
//   bench_scale_sync [--rounds N] [--idle S] [--syncs N]   (defaults 3, 60, 1000)

#include "BenchSupport.h"
#include "SimLauncher.h"
#ifndef ZTK_NO_SERVER
#include "support/PostgresServer.h"
#endif

#include "link/ScaleRunner.h"
#include "products/ProductStore.h"
#include "shared/Messages.h"
#include "shared/ProductRecord.h"
#include "shared/Seams.h"
#include "transfer/ProductImage.h"
#include "transfer/ScaleStanding.h"
#include "transfer/ScaleState.h"
#include "transfer/ScaleSync.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QThread>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <unistd.h>

using namespace ztk;
using namespace ztk::bench;

namespace {

constexpr int Products = 5000;
constexpr int Changed = 10;
constexpr double Baud = 115200;

bool fillStore(ProductStore &store, int count)
{
    QSqlDatabase db = store.database();
    db.transaction();
    QSqlQuery q(db);
    q.prepare(QStringLiteral("insert into lm_t1 (N, Name, SK5, Префикс, Цена, ГоденДо, ТипТ) values (?,?,?,?,?,?,?)"));
    for (int n = 1; n <= count; ++n) {
        const QVariant values[] = {n, QStringLiteral("Колбаса варёная %1").arg(n), 20000 + n, QStringLiteral("21"),
                                   123.45 + n, QStringLiteral("27.01.15"), QString::number(n % 2)};
        for (const QVariant &v : values)
            q.addBindValue(v);
        if (!q.exec())
            return false;
    }
    return db.commit();
}

// The state of scale `name`: it holds every record of `image`, as a read-back leaves it.
bool holdsAll(ProductStore &store, const QString &name, const ProductImage &image, const Clock &clock)
{
    ScaleState state(store, name, clock);
    state.setNumber(1);
    for (int slot = 0; slot < ScaleState::SlotCount; ++slot)
        state.holds(slot, {image.slotData(slot), std::size_t(ProductRecord::Size)}, SlotWatcher::Source::Read);
    return state.flush() && state.error().isEmpty();
}

bool saveImage(const ProductImage &image, const QString &stateDir)
{
    QDir().mkpath(stateDir);
    QFile f(QDir(stateDir).filePath(QStringLiteral("products.bin")));
    const QByteArray bytes(reinterpret_cast<const char *>(image.slotData(0)), qsizetype(Products) * ProductRecord::Size);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The watch's CPU seconds and resident kilobytes, from /proc.
double cpuOf(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = f.readAll().split(' ');
    return fields.size() > 15 ? double(fields[13].toLongLong() + fields[14].toLongLong()) / double(sysconf(_SC_CLK_TCK)) : 0;
}

long rssOf(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').front().toLong();
    }
    return 0;
}

// A watch of ztk-cli on the folder, its syncs counted from its log.
class Watch {
public:
    explicit Watch(const QString &dir, const QStringList &store = {})
    {
        m_process.start(QStringLiteral(ZTK_CLI_PATH),
                        QStringList{"--dir", dir} + store + QStringList{"--scales", "all", "sync", "--watch"});
        m_process.waitForStarted();
    }
    ~Watch()
    {
        m_process.terminate();
        m_process.waitForFinished(5000);
    }
    qint64 pid() const { return m_process.processId(); }
    // Waits until `count` syncs are logged.
    bool syncsDone(int count, int ms = 30000)
    {
        const QString done = msg::text(msg::SyncDone).section(QLatin1Char(':'), 0, 0);
        QDeadlineTimer deadline(ms);
        while (m_syncs < count && !deadline.hasExpired()) {
            m_process.waitForReadyRead(50);
            m_log += QString::fromUtf8(m_process.readAllStandardError());
            int at;
            while ((at = m_log.indexOf(QLatin1Char('\n'))) >= 0) {
                if (m_log.left(at).contains(done))
                    ++m_syncs;
                m_log.remove(0, at + 1);
            }
        }
        return m_syncs >= count;
    }
    int syncs() const { return m_syncs; }

private:
    QProcess m_process;
    QString m_log;
    int m_syncs = 0;
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Five prices of product 7 committed, each timed until the scale whose memory is in
// `held` keeps its record; `scales` syncs are waited for after each. Empty on a failure.
std::vector<double> commitToRecord(ProductStore &store, Watch &watch, const QString &held, int scales)
{
    const auto slot7 = [&] {
        QFile f(held);
        if (!f.open(QIODevice::ReadOnly) || !f.seek(qint64(6) * ProductRecord::Size))
            return QByteArray();
        return f.read(ProductRecord::Size);
    };
    std::vector<double> latencies;
    QSqlQuery price(store.database());
    price.prepare(QStringLiteral("update lm_t1 set Цена=? where N=7"));
    for (int i = 0; i < 5; ++i) {
        const QByteArray before = slot7();
        price.addBindValue(2000 + i + (store.isServer() ? 100 : 0));
        const auto t0 = std::chrono::steady_clock::now();
        if (!price.exec())
            return {};
        QDeadlineTimer deadline(10000);
        while (slot7() == before && !deadline.hasExpired())
            QThread::msleep(2);
        latencies.push_back(since(t0));
        watch.syncsDone(watch.syncs() + scales);
    }
    return latencies;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int rounds = int(longOption(argc, argv, "--rounds", 3));
    QTemporaryDir dir;
    SystemClock clock;
    ProductStore store;
    if (!store.open(dir.filePath(QStringLiteral("LM_T.db"))) || !fillStore(store, Products)
        || !ScaleState::prepare(store)) {
        std::fprintf(stderr, "bench_scale_sync: cannot fill the store\n");
        return 1;
    }
    QString error;
    std::unique_ptr<ProductImage> table = tableImage(store, clock.now().date(), error);
    if (!table) {
        std::fprintf(stderr, "bench_scale_sync: %s\n", qPrintable(error));
        return 1;
    }

    // Four scales holding the whole table, their simulators loaded with it.
    QList<ScaleEntry> scales;
    std::vector<std::unique_ptr<SimLauncher>> sims;
    for (int i = 0; i < 4; ++i) {
        const QString name = QStringLiteral("scale%1").arg(i + 1);
        const QString stateDir = dir.filePath(QStringLiteral("sim%1").arg(i));
        if (!holdsAll(store, name, *table, clock) || !saveImage(*table, stateDir)) {
            std::fprintf(stderr, "bench_scale_sync: cannot prepare %s\n", qPrintable(name));
            return 1;
        }
        sims.push_back(std::make_unique<SimLauncher>(QStringList{"--baud", "115200", "--state", stateDir}));
        if (sims.back()->port().isEmpty()) {
            std::fprintf(stderr, "bench_scale_sync: the simulator did not start\n");
            return 1;
        }
        scales.append(ScaleEntry{name, sims.back()->port(), std::int32_t(Baud), 1});
    }
    const QList<ScaleEntry> listed = scales;

    // (a) build and compare, best of 5, with the state loaded from the store each time.
    double best = 1e9;
    std::size_t toSend = 0;
    for (int round = 0; round < 5; ++round) {
        const auto t0 = std::chrono::steady_clock::now();
        std::unique_ptr<ProductImage> image = tableImage(store, clock.now().date(), error);
        ScaleState state(store, scales.front().name, clock);
        const SyncReport report = planOnly(state, *image, false);
        best = std::min(best, since(t0));
        toSend = report.plan.write.size();
    }
    std::printf("scale_sync (a): what to send for %d products (build, state, compare): %.1f ms best of 5, %zu to send"
                " (target < 50 ms)\n",
                Products, best * 1000, toSend);

    // The line time of one sync: 0x13 and its byte back; 0x07, the count, per record its
    // slot and 256 bytes; back 2 for the count and 3 per record; and the 100 ms pause.
    const double bytes = 1 + 1 + 1 + 2 + Changed * (2 + 256) + 2 + Changed * 3;
    const double wire = bytes * 10 / Baud;
    const double pause = 0.1;
    const double fullWire = (1 + 2 + Products * (2 + 256) + 2 + Products * 3) * 10 / Baud + pause;

    const PortConfig base;
    const auto syncRound = [&](int count, int round, double &wall) {
        // Ten prices of this round: different from every earlier round.
        QSqlQuery q(store.database());
        q.prepare(QStringLiteral("update lm_t1 set Цена=? where N % 500 = 7"));
        q.addBindValue(1000 + round);
        if (!q.exec())
            return false;
        std::unique_ptr<ProductImage> image = tableImage(store, clock.now().date(), error);
        if (!image)
            return false;
        const SyncJob job{dir.path(), QString(), image.get(), false};
        ScaleRunner runner(scales.mid(0, count), base, clock);
        NullEventPump pump;
        const auto t0 = std::chrono::steady_clock::now();
        const QList<ScaleOutcome> outcomes =
            runner.run([&](ScaleJob &j) { return syncOnScale(j, job, j.scale.name, 1); }, pump);
        wall = since(t0);
        for (const ScaleOutcome &o : outcomes) {
            if (o.status != ScaleStatus::Done || o.lines.isEmpty()
                || !o.lines.front().startsWith(msg::text(msg::SyncDone).section(QLatin1Char('%'), 0, 0)
                                               + QString::number(Changed))) {
                std::fprintf(stderr, "bench_scale_sync: %s: %s %s\n", qPrintable(o.name), qPrintable(o.lines.join(' ')),
                             qPrintable(o.messages.join(' ')));
                return false;
            }
        }
        return true;
    };
    int round = 0;
    for (const int count : {1, 4}) {
        std::vector<double> walls;
        for (int i = 0; i < rounds; ++i) {
            double wall = 0;
            if (!syncRound(count, ++round, wall))
                return 1;
            walls.push_back(wall);
        }
        const double wall = median(walls);
        std::printf("scale_sync (%c): %d changed of %d into %d scale%s at 115200 baud: wall %.3f s (median of %d), "
                    "wire %.3f s + pause %.3f s, ratio %.4f (target <= 1.05, < 1 s); the full write of %d: %.1f s "
                    "of wire\n",
                    count == 1 ? 'b' : 'c', Changed, Products, count, count == 1 ? "" : "s at once", wall, rounds, wire,
                    pause, wall / (wire + pause), Products, fullWire);
    }

    // (d) the watch, on the scales list of the folder.
    QFile list(dir.filePath(QStringLiteral("scales.ini")));
    if (!list.open(QIODevice::WriteOnly))
        return 1;
    for (const ScaleEntry &scale : listed)
        list.write(QStringLiteral("[%1]\nport=%2\nspeed=115200\nnumber=1\n\n").arg(scale.name, scale.port).toUtf8());
    list.close();
    const int idleSeconds = int(longOption(argc, argv, "--idle", 60));
    const int syncCount = int(longOption(argc, argv, "--syncs", 1000));
    Watch watch(dir.path());
    if (!watch.syncsDone(4)) {
        std::fprintf(stderr, "bench_scale_sync: the watch did not sync\n");
        return 1;
    }
    const QString held = dir.filePath(QStringLiteral("sim0/products.bin"));
    std::vector<double> latencies = commitToRecord(store, watch, held, 4);
    if (latencies.empty())
        return 1;
    std::printf("scale_sync (d): from the commit of a price to the record kept by the scale, SQLite: median %.3f s, "
                "max %.3f s over 5 (target < 2 s)\n",
                median(latencies), *std::max_element(latencies.begin(), latencies.end()));

    const double cpu0 = cpuOf(watch.pid());
    const auto idle0 = std::chrono::steady_clock::now();
    QThread::sleep(unsigned(idleSeconds));
    const double idle = (cpuOf(watch.pid()) - cpu0) / since(idle0);
    std::printf("scale_sync (d): the watch idle with 4 scales over %d s: %.3f %% of a core (target < 0.5 %%)\n",
                idleSeconds, idle * 100);

    // Syncs, four at a time: a price changed, every scale takes it.
    QSqlQuery price(store.database());
    price.prepare(QStringLiteral("update lm_t1 set Цена=? where N=7"));
    long rssAt10 = 0;
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; watch.syncs() < syncCount; ++i) {
        price.addBindValue(3000 + i);
        if (!price.exec() || !watch.syncsDone(watch.syncs() + 4)) {
            std::fprintf(stderr, "bench_scale_sync: the watch stopped syncing\n");
            return 1;
        }
        if (rssAt10 == 0 && watch.syncs() >= 10)
            rssAt10 = rssOf(watch.pid());
        if (watch.syncs() / 200 != (watch.syncs() - 4) / 200)
            std::printf("scale_sync (d): the watch's memory after %d syncs: %ld kB\n", watch.syncs(), rssOf(watch.pid()));
    }
    std::printf("scale_sync (d): the watch's memory after 10 syncs %ld kB, after %d syncs %ld kB (%.0f s)\n", rssAt10,
                watch.syncs(), rssOf(watch.pid()), since(t0));

#ifndef ZTK_NO_SERVER
    // (e) the table on a server; one scale at the pseudo-terminal's own speed, so that
    // the first sync of the whole table is quick.
    QString why;
    test::PostgresServer *server = test::PostgresServer::instance(&why);
    ProductStore shared;
    if (!server || !server->dropTable(&why) || !shared.open(server->location()) || !fillStore(shared, Products)) {
        std::fprintf(stderr, "bench_scale_sync: no server: %s%s\n", qPrintable(why), qPrintable(shared.errorText()));
        return 1;
    }
    QTemporaryDir serverDir;
    const QString stateDir = serverDir.filePath(QStringLiteral("sim"));
    SimLauncher fast({"--state", stateDir});
    QFile one(serverDir.filePath(QStringLiteral("scales.ini")));
    if (fast.port().isEmpty() || !one.open(QIODevice::WriteOnly))
        return 1;
    one.write(QStringLiteral("[server1]\nport=%1\nspeed=115200\nnumber=1\n").arg(fast.port()).toUtf8());
    one.close();
    {
        Watch onServer(serverDir.path(), {"--db", server->url()});
        if (!onServer.syncsDone(1, 120000)) {
            std::fprintf(stderr, "bench_scale_sync: the watch on the server did not sync\n");
            return 1;
        }
        const std::vector<double> onNotice =
            commitToRecord(shared, onServer, QDir(stateDir).filePath(QStringLiteral("products.bin")), 1);
        if (onNotice.empty())
            return 1;
        std::printf("scale_sync (e): from the commit of a price to the record kept by the scale, PostgreSQL "
                    "notifications: median %.3f s, max %.3f s over 5 (target < 0.5 s)\n",
                    median(onNotice), *std::max_element(onNotice.begin(), onNotice.end()));
    }
    shared.close();
    server->stop();
#endif
    return 0;
}
