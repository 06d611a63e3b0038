#include "transfer/ScaleWatch.h"

#include "link/ScaleRunner.h"
#include "products/ProductStore.h"
#include "shared/Messages.h"
#include "transfer/ScaleState.h"

#include <algorithm>

namespace ztk {

ScaleWatch::ScaleWatch(QList<Scale> scales, const PortConfig &base, QString workDir, QString storeUrl,
                       const Clock &clock, Report report)
    : m_scales(std::move(scales)), m_base(base), m_workDir(std::move(workDir)), m_storeUrl(std::move(storeUrl)),
      m_clock(clock), m_report(std::move(report))
{
    m_running = int(m_scales.size());
    for (const Scale &scale : m_scales) {
        ExchangeLog *log = m_journal.scale(scale.stateName, scale.entry.port);
        m_threads.emplace_back([this, &scale, log] { run(scale, log); });
    }
}

ScaleWatch::~ScaleWatch()
{
    stop();
    for (std::thread &t : m_threads)
        t.join();
}

void ScaleWatch::publish(std::shared_ptr<const ProductImage> table)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_table = std::move(table);
        ++m_generation;
    }
    m_wake.notify_all();
}

void ScaleWatch::stop()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
}

bool ScaleWatch::waitEnded(int ms)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_wake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_running == 0; });
}

int ScaleWatch::syncs() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_syncs;
}

void ScaleWatch::keepJournal(ProductStore &store, const QString &scaleName)
{
    // The connection stays for the next sync: opening a file checks it whole.
    if (!store.isOpen())
        openWorkingStore(store, m_workDir, m_storeUrl);
    if (!m_journal.keep(store)) // a store that did not open keeps the rows waiting
        store.close();          // and is opened anew the next time
    if (const QString why = m_journal.failureToTell(); !why.isEmpty())
        m_report(QStringLiteral("%1: %2").arg(scaleName, msg::text(msg::JournalNotKept).arg(why)));
}

void ScaleWatch::run(const Scale &scale, ExchangeLog *log)
{
    using Steady = std::chrono::steady_clock;
    unsigned long inStep = 0; // the generation this scale was last brought in step with
    int retrySeconds = 0;     // 0: the last sync went well
    Steady::time_point retryAt;
    const QList<ScaleEntry> one{scale.entry};
    ProductStore journalStore; // this thread's, for the journal and the look at the plan
    for (;;) {
        std::shared_ptr<const ProductImage> table;
        unsigned long generation = 0;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            const auto due = [&] {
                return m_stop || (m_table && m_generation != inStep && (retrySeconds == 0 || Steady::now() >= retryAt));
            };
            if (retrySeconds == 0)
                m_wake.wait(lock, due);
            else
                m_wake.wait_until(lock, retryAt, due);
            if (m_stop)
                break;
            if (!due())
                continue;
            table = m_table;
            generation = m_generation;
        }
        // Nothing to send and the scale was fine: the line stays quiet.
        if (inStep != 0 && retrySeconds == 0) {
            if (!journalStore.isOpen())
                openWorkingStore(journalStore, m_workDir, m_storeUrl);
            if (journalStore.isOpen() && ScaleState::prepare(journalStore)) {
                ScaleState state(journalStore, scale.stateName, m_clock);
                const SyncReport plan = planOnly(state, *table, false);
                if (plan.plan.write.empty() && plan.plan.clear.empty() && state.error().isEmpty()) {
                    inStep = generation;
                    continue;
                }
            }
        }
        const SyncJob job{m_workDir, m_storeUrl, table.get(), false};
        ScaleRunner runner(one, m_base, m_clock);
        runner.setJournal({[log](const ScaleEntry &) { return log; }, Operation::Sync});
        NullEventPump pump;
        const ScaleOutcome outcome = runner.run(
            [&](ScaleJob &j) { return syncOnScale(j, job, scale.stateName, scale.expectedNumber); }, pump).front();
        for (const QString &message : outcome.messages)
            m_report(QStringLiteral("%1: %2").arg(scale.entry.name, message));
        for (const QString &line : outcome.lines)
            m_report(QStringLiteral("%1: %2").arg(scale.entry.name, line));
        keepJournal(journalStore, scale.entry.name);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            ++m_syncs;
        }
        if (outcome.status == ScaleStatus::Done) {
            inStep = generation;
            retrySeconds = 0;
        } else {
            retrySeconds = retrySeconds == 0 ? FirstRetrySeconds : std::min(2 * retrySeconds, LastRetrySeconds);
            retryAt = Steady::now() + std::chrono::seconds(retrySeconds);
            m_report(QStringLiteral("%1: %2").arg(scale.entry.name, msg::text(msg::WatchRetry).arg(retrySeconds)));
        }
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        --m_running;
    }
    m_wake.notify_all();
}

} // namespace ztk
