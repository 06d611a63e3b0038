// The sales history over a year of nightly receptions: 4 scales with 500 products each,
// every night (1,460 receptions), the totals cleared by the program every Sunday.
//   (a) storing and counting one reception of 500 products: milliseconds, mean and worst
//   (b) sales --by product over the year: in the process, and ztk-cli as a whole.
//       Target < 200 ms on SQLite.
//   (c) the window "История продаж": its first showing (this month, by product), and the
//       whole year by product. Target < 200 ms.
//   (d) for comparison, the year by day (a line per day and product).
//
//   bench_sales_history [--keep DIR]   (DIR keeps the store for a look afterwards)

#include "BenchSupport.h"

#include "app/AppContext.h"
#include "app/Workspace.h"
#include "products/ProductStore.h"
#include "sales/SalesHistory.h"
#include "sales/SalesReport.h"
#include "sales/ui/Istprod.h"
#include "shared/ProgramLocale.h"

#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using namespace ztk;
using namespace ztk::bench;

namespace {

constexpr int Scales = 4;
constexpr int Products = 500;
const QDate FirstNight(2025, 1, 1);
constexpr int Nights = 365;

class StillClock final : public Clock {
public:
    explicit StillClock(QDateTime t) : m_t(std::move(t)) {}
    QDateTime now() const override { return m_t; }

private:
    QDateTime m_t;
};

class NoPump final : public EventPump {
public:
    void pump() override {}
};

double ms(std::chrono::steady_clock::time_point t0)
{
    return since(t0) * 1000.0;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(programLocale());
    QTemporaryDir temp;
    QString dir = temp.path();
    const QStringList args = app.arguments();
    if (const qsizetype k = args.indexOf(QStringLiteral("--keep")); k > 0 && k + 1 < args.size()) {
        dir = args[k + 1];
        QDir().mkpath(dir);
        QFile::remove(QDir(dir).filePath(QStringLiteral("LM_T.db")));
    }
    const QString db = QDir(dir).filePath(QStringLiteral("LM_T.db"));

    ProductStore store;
    if (!store.open(db)) {
        std::fprintf(stderr, "store: %s\n", qPrintable(store.errorText()));
        return 1;
    }
    {
        StoreTransaction t(store);
        for (int n = 1; n <= Products; ++n)
            store.exec(QStringLiteral("insert into lm_t1 (N, Name, Префикс) values (?, ?, ?)"),
                       {n, QStringLiteral("Товар %1").arg(n), n % 3 == 0 ? QStringLiteral("21") : QStringLiteral("0")});
        t.commit();
    }

    // (a) A year of nights; the counters grow by a product's own amount each night.
    SalesHistory history(store);
    std::vector<double> storing;
    std::vector<TotalsCounters> counters(std::size_t(Scales * Products));
    std::vector<int> all(Products);
    for (int n = 1; n <= Products; ++n)
        all[std::size_t(n - 1)] = n;
    for (int night = 0; night < Nights; ++night) {
        const QDate day = FirstNight.addDays(night);
        for (int s = 0; s < Scales; ++s) {
            const QString scale = QStringLiteral("kassa%1").arg(s + 1);
            TotalsImage image;
            for (int n = 1; n <= Products; ++n) {
                TotalsCounters &c = counters[std::size_t(s * Products + n - 1)];
                c.amount += std::uint32_t(100 + (n * 7 + night) % 900);
                c.money += std::uint32_t(250 + (n * 13 + night) % 5000);
                c.weighings += 1 + std::uint32_t(n % 3);
                image.setCounters(n, c);
            }
            const auto t0 = std::chrono::steady_clock::now();
            if (history.storeReception(scale, QDateTime(day, QTime(23, 30 + s)), image) != SalesHistory::Stored::Added) {
                std::fprintf(stderr, "store: %s\n", qPrintable(history.errorText()));
                return 1;
            }
            storing.push_back(ms(t0));
            if (day.dayOfWeek() == Qt::Sunday) {
                history.recordClear(scale, QDateTime(day, QTime(23, 45)), all);
                for (int n = 1; n <= Products; ++n)
                    counters[std::size_t(s * Products + n - 1)] = {};
            }
        }
    }
    double total = 0;
    for (double v : storing)
        total += v;
    std::printf("(a) storing a reception of %d products: mean %.1f ms, worst %.1f ms (%zu receptions)\n", Products,
                total / double(storing.size()), *std::max_element(storing.begin(), storing.end()), storing.size());

    // (b) The year by product.
    const SalesQuery year{{FirstNight, FirstNight.addDays(Nights - 1)}, SalesGrouping::Product, {}};
    for (int round = 0; round < 3; ++round) {
        const auto t0 = std::chrono::steady_clock::now();
        SalesListing listing;
        if (!history.listing(year, listing)) {
            std::fprintf(stderr, "listing: %s\n", qPrintable(history.errorText()));
            return 1;
        }
        const QStringList lines = salesLines(listing, SalesGrouping::Product, QStringLiteral(","));
        std::printf("(b) the year by product, in the process: %.1f ms (%lld lines)\n", ms(t0), qlonglong(lines.size()));
    }
    store.close();
    for (int round = 0; round < 3; ++round) {
        const auto t0 = std::chrono::steady_clock::now();
        QProcess cli;
        cli.start(QStringLiteral(ZTK_CLI_PATH), {QStringLiteral("--dir"), dir, QStringLiteral("sales"), QStringLiteral("--from"),
                                                 QStringLiteral("2025-01-01"), QStringLiteral("--to"),
                                                 QStringLiteral("2025-12-31")});
        cli.waitForFinished(60000);
        const qsizetype lines = cli.readAllStandardOutput().count('\n');
        std::printf("(b) ztk-cli sales --by product over the year: %.1f ms (exit %d, %lld lines)\n", ms(t0), cli.exitCode(),
                    qlonglong(lines));
    }

    // (c) The window, on the evening of the year's last day.
    const StillClock clock(QDateTime(FirstNight.addDays(Nights - 1), QTime(23, 59)));
    NoPump pump;
    SilentPrompter prompter;
    AppContext context;
    context.workDir = dir;
    context.clock = &clock;
    context.pump = &pump;
    context.prompter = &prompter;
    Workspace ws(context);
    if (!ws.store().open(db)) {
        std::fprintf(stderr, "store: %s\n", qPrintable(ws.store().errorText()));
        return 1;
    }
    for (int round = 0; round < 3; ++round) {
        const auto t0 = std::chrono::steady_clock::now();
        auto *window = new TFormIstprod(ws);
        window->show(); // the first showing lists this month
        app.processEvents();
        const double shown = ms(t0);
        std::printf("(c) the window's first showing (this month, %d rows): %.1f ms\n",
                    int(window->listing().rows.size()), shown);
        window->DateEdit1->setDate(FirstNight);
        const auto t1 = std::chrono::steady_clock::now();
        window->Button1Click();
        app.processEvents();
        std::printf("(c) the whole year in the window: %.1f ms\n", ms(t1));
        delete window;
    }

    // (d) The year by day.
    SalesHistory again(ws.store());
    const auto t0 = std::chrono::steady_clock::now();
    SalesListing byDay;
    again.listing({year.period, SalesGrouping::Day, {}}, byDay);
    std::printf("(d) the year by day: %.1f ms (%zu lines)\n", ms(t0), byDay.rows.size());
    return 0;
}
