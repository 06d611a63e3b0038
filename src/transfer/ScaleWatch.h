#pragma once
// Keeping every scale of a list in step with the table while the program runs
// unattended: a thread per scale, so that one that does not answer never holds the
// others back. The table's image is handed in whenever it changed; each scale then
// syncs if its plan is not empty. A scale that failed is tried again after 2, 4, 8 …
// up to 60 s, and brought in step when it answers.

#include "link/ScaleList.h"
#include "link/ScaleLink.h"
#include "shared/Seams.h"
#include "transfer/ExchangeJournal.h"
#include "transfer/ScaleSync.h"

#include <QList>
#include <QString>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace ztk {

class ProductStore;

class ScaleWatch {
public:
    struct Scale {
        ScaleEntry entry;
        QString stateName;
        int expectedNumber = 1;
    };
    // A line for the log (standard error): "scale: outcome". Called from the scales' threads.
    using Report = std::function<void(const QString &line)>;

    ScaleWatch(QList<Scale> scales, const PortConfig &base, QString workDir, QString storeUrl, const Clock &clock,
               Report report);
    ~ScaleWatch(); // stop() and wait
    ScaleWatch(const ScaleWatch &) = delete;
    ScaleWatch &operator=(const ScaleWatch &) = delete;

    // The table as it is now; every scale brings itself in step with it.
    void publish(std::shared_ptr<const ProductImage> table);
    // Asks every scale's thread to end after what it is doing.
    void stop();
    // True when every thread has ended within `ms`.
    bool waitEnded(int ms);
    // The syncs done so far (for the benchmarks).
    int syncs() const;

    static constexpr int FirstRetrySeconds = 2;
    static constexpr int LastRetrySeconds = 60;

private:
    void run(const Scale &scale, ExchangeLog *log);
    void keepJournal(ProductStore &store, const QString &scaleName);

    QList<Scale> m_scales;
    PortConfig m_base;
    QString m_workDir, m_storeUrl;
    const Clock &m_clock;
    Report m_report;
    ExchangeJournal m_journal; // every sync's row, kept by the thread that made it

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::shared_ptr<const ProductImage> m_table;
    unsigned long m_generation = 0;
    bool m_stop = false;
    int m_running = 0;
    int m_syncs = 0;
    std::vector<std::thread> m_threads;
};

} // namespace ztk
