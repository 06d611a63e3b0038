#include "link/ScaleRunner.h"

#include "shared/Messages.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace ztk {

namespace {

constexpr auto ProgressSlice = std::chrono::milliseconds(20); // how often the waiter looks

// A scale's messages are kept for the caller to show with the scale's name; a
// question takes its first button, as in ztk-cli.
class KeepingPrompter final : public Prompter {
public:
    explicit KeepingPrompter(QStringList &into) : m_into(into) {}
    using Prompter::message;
    void message(const QString &text, const QString &) override { m_into << text; }
    Answer ask(const QString &text, const QString &, Buttons buttons) override
    {
        m_into << text;
        return buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
    }
    QString openFileName(const QString &, const QString &) override { return QString(); }
    QString saveFileName(const QString &, const QString &, const QString &) override { return QString(); }

private:
    QStringList &m_into;
};

struct Slot {
    std::atomic<int> percent{-1};
    std::atomic<bool> finished{false};
    ScaleOutcome outcome; // written by the scale's thread, read after it is joined
};

} // namespace

ScaleRunner::ScaleRunner(QList<ScaleEntry> scales, const PortConfig &base, const Clock &clock)
    : m_scales(std::move(scales)), m_base(base), m_clock(clock)
{
}

QList<ScaleOutcome> ScaleRunner::run(const Job &job, EventPump &pump, const Progress &progress) const
{
    std::vector<std::unique_ptr<Slot>> slots;
    std::vector<std::thread> threads;
    std::mutex wakeMutex;
    std::condition_variable wake;
    std::atomic<int> running{0};

    const auto work = [&](const ScaleEntry &scale, Slot &slot) {
        ScaleOutcome &out = slot.outcome;
        out.name = scale.name;
        KeepingPrompter prompter(out.messages);
        NullEventPump quiet; // this thread has no windows to keep alive
        ExchangeLog *log = m_journal.logOf ? m_journal.logOf(scale) : nullptr;
        const QDateTime started = m_clock.now();
        ScaleLink link;
        const LinkOpenResult opened = link.open(scale.portConfig(m_base), prompter);
        if (!opened.ok()) {
            if (!opened.failure.isEmpty() && opened.port != SerialPort::InUse)
                out.messages << opened.failure;
            out.status = opened.port != SerialPort::Opened ? ScaleStatus::BadInput : ScaleStatus::NoAnswer;
            if (log)
                log->exchanged({m_journal.operation, started, m_clock.now(), {}, false,
                                out.messages.isEmpty() ? msg::text(msg::NoLink) : out.messages.join(QLatin1Char(' '))});
        } else {
            ScaleJob j(scale, link, prompter, m_clock, quiet);
            j.log = log;
            j.progress = [&](int percent) {
                slot.percent.store(percent, std::memory_order_relaxed);
            };
            j.print = [&](const QString &line) { out.lines << line; };
            out.status = job(j);
        }
        {
            std::lock_guard<std::mutex> lock(wakeMutex);
            slot.finished.store(true, std::memory_order_release);
            running.fetch_sub(1, std::memory_order_acq_rel);
        }
        wake.notify_all();
    };

    for (const ScaleEntry &scale : m_scales) {
        slots.push_back(std::make_unique<Slot>());
        running.fetch_add(1, std::memory_order_acq_rel);
        Slot &slot = *slots.back();
        try {
            threads.emplace_back(work, std::cref(scale), std::ref(slot));
        } catch (const std::system_error &) {
            running.fetch_sub(1, std::memory_order_acq_rel);
            slot.outcome.name = scale.name;
            slot.outcome.messages << msg::text(msg::ThreadFailed);
            slot.finished.store(true, std::memory_order_release);
        }
    }

    std::vector<int> shown(slots.size(), -1);
    const auto report = [&] {
        for (std::size_t i = 0; i < slots.size(); ++i) {
            const int p = slots[i]->percent.load(std::memory_order_relaxed);
            if (p != shown[i] && progress) {
                shown[i] = p;
                progress(int(i), p);
            }
        }
    };
    for (;;) {
        pump.pump();
        report();
        std::unique_lock<std::mutex> lock(wakeMutex);
        if (running.load(std::memory_order_acquire) == 0)
            break;
        wake.wait_for(lock, ProgressSlice, [&] { return running.load(std::memory_order_acquire) == 0; });
    }
    for (std::thread &t : threads)
        t.join();
    report();

    QList<ScaleOutcome> outcomes;
    for (const auto &slot : slots)
        outcomes << slot->outcome;
    return outcomes;
}

ScaleStatus ScaleRunner::overall(const QList<ScaleOutcome> &outcomes)
{
    ScaleStatus worst = ScaleStatus::Done;
    for (const ScaleOutcome &o : outcomes) {
        if (o.status == ScaleStatus::NoAnswer)
            return ScaleStatus::NoAnswer;
        if (o.status == ScaleStatus::BadInput)
            worst = ScaleStatus::BadInput;
    }
    return worst;
}

QStringList ScaleRunner::failedNames(const QList<ScaleOutcome> &outcomes)
{
    QStringList names;
    for (const ScaleOutcome &o : outcomes) {
        if (o.status != ScaleStatus::Done)
            names << o.name;
    }
    return names;
}

} // namespace ztk
