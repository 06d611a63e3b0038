#pragma once
// One exchange on several scales at once: a link and a thread per scale, each running
// the same job. The calling thread only waits: it pumps events and hands each scale's
// progress to its caller, so a window stays responsive and output is never interleaved.
// A scale that fails never stops the others.

#include "link/Exchange.h"
#include "link/ScaleLink.h"
#include "link/ScaleList.h"
#include "shared/Seams.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace ztk {

// How an exchange on one scale ended, as ztk-cli's exit codes.
enum class ScaleStatus { Done = 0, NoAnswer = 1, BadInput = 2 };

// What a job is given on its scale's thread.
class ScaleJob {
public:
    ScaleJob(const ScaleEntry &scale, ScaleLink &link, Prompter &prompter, const Clock &clock, EventPump &pump)
        : scale(scale), link(link), prompter(prompter), clock(clock), pump(pump) {}

    const ScaleEntry &scale;
    ScaleLink &link;
    Prompter &prompter; // messages of this scale
    const Clock &clock;
    EventPump &pump;
    std::function<void(int percent)> progress = [](int) {};
    std::function<void(const QString &line)> print = [](const QString &) {};

    // What is told of the scale's slots; none unless the command keeps its state.
    SlotWatcher *watcher = nullptr;
    // Where the exchanges on this scale are journalled; none unless given.
    ExchangeLog *log = nullptr;

    // The session of an exchange on this scale, its gauge into `progress`.
    ExchangeSession session()
    {
        ExchangeSession s(link, clock, pump, [this](const ProgressStep &step) { progress(step.percent); });
        s.watcher = watcher;
        s.log = log;
        return s;
    }
};

struct ScaleOutcome {
    QString name;
    ScaleStatus status = ScaleStatus::NoAnswer;
    QStringList messages; // what the job showed, in order
    QStringList lines;    // what it printed
};

class ScaleRunner {
public:
    using Job = std::function<ScaleStatus(ScaleJob &job)>;
    using Progress = std::function<void(int index, int percent)>;
    // The journal of each scale's exchanges, and the operation a scale whose port does
    // not open is journalled under.
    struct Journal {
        std::function<ExchangeLog *(const ScaleEntry &scale)> logOf;
        Operation operation = Operation::LinkCheck;
    };

    // `base`: the stop bits and parity each scale's port is opened with.
    ScaleRunner(QList<ScaleEntry> scales, const PortConfig &base, const Clock &clock);

    // Opens each scale's link on its own thread and runs `job` there; meanwhile pumps
    // `pump` on this thread and calls `progress` (on this thread) when a scale's percent
    // changes. The outcomes come back in the order of the scales.
    QList<ScaleOutcome> run(const Job &job, EventPump &pump, const Progress &progress = {}) const;
    void setJournal(Journal journal) { m_journal = std::move(journal); }

    // The worst of the outcomes: no answer before bad input before done.
    static ScaleStatus overall(const QList<ScaleOutcome> &outcomes);
    // The names of the scales whose outcome is not Done.
    static QStringList failedNames(const QList<ScaleOutcome> &outcomes);

private:
    QList<ScaleEntry> m_scales;
    PortConfig m_base;
    const Clock &m_clock;
    Journal m_journal;
};

} // namespace ztk
