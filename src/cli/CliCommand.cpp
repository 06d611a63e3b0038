#include "cli/CliCommand.h"

#include "products/ProductDataset.h"
#include "products/ProductStore.h"
#include "products/Selection.h"
#include "shared/Files.h"
#include "shared/Messages.h"
#include "transfer/ExchangeJournal.h"
#include "transfer/ScaleState.h"

#include <QCommandLineParser>
#include <QRegularExpression>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace ztk::cli {

namespace {

// A function-local list, so registrations from any file's static objects find it made.
std::vector<Command> &registry()
{
    static std::vector<Command> list;
    return list;
}

void writeLine(std::FILE *to, const QString &text)
{
    QByteArray bytes = text.toUtf8();
    if (!bytes.endsWith('\n'))
        bytes += '\n';
    std::fputs(bytes.constData(), to);
    std::fflush(to);
}

// Ends a progress line ("\r... 40%") before anything else is shown under it.
class AfterProgressPrompter final : public Prompter {
public:
    AfterProgressPrompter(Prompter &to, bool &progressShown) : m_to(to), m_shown(progressShown) {}
    using Prompter::message;
    void message(const QString &text, const QString &caption) override
    {
        endLine();
        m_to.message(text, caption);
    }
    Answer ask(const QString &text, const QString &caption, Buttons buttons) override
    {
        endLine();
        return m_to.ask(text, caption, buttons);
    }
    QString openFileName(const QString &caption, const QString &filter) override
    {
        return m_to.openFileName(caption, filter);
    }
    QString saveFileName(const QString &caption, const QString &filter, const QString &proposedPath) override
    {
        return m_to.saveFileName(caption, filter, proposedPath);
    }
    void endLine()
    {
        if (m_shown)
            std::fputc('\n', stderr);
        m_shown = false;
    }

private:
    Prompter &m_to;
    bool &m_shown;
};

} // namespace

void StderrPrompter::message(const QString &text, const QString &)
{
    writeLine(stderr, text);
}

Answer StderrPrompter::ask(const QString &text, const QString &, Buttons buttons)
{
    writeLine(stderr, text);
    return buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
}

QString StderrPrompter::openFileName(const QString &, const QString &)
{
    return QString();
}

QString StderrPrompter::saveFileName(const QString &, const QString &, const QString &)
{
    return QString();
}

CliContext::CliContext(const Clock &clock, EventPump &pump, Prompter &prompter)
    : clock(clock), pump(pump), prompter(prompter)
{
}

CliContext::~CliContext() = default; // the link stops its reader and closes the port

QString CliContext::path(const char *fileName) const
{
    return QDir(workDir).filePath(QString::fromUtf8(fileName));
}

ScaleLink *CliContext::link(Operation operation)
{
    if (m_link)
        return m_link.get();
    if (m_linkFailed)
        return nullptr;
    m_linkFailed = true;
    // A port that does not open is an exchange that failed at once.
    const QDateTime started = clock.now();
    QString why;
    ScaleLink *opened = openLink(why);
    if (!opened)
        journalOf(singleScale())->exchanged({operation, started, clock.now(), {}, false,
                                             why.isEmpty() ? msg::text(msg::NoLink) : why});
    return opened;
}

ScaleLink *CliContext::openLink(QString &why)
{
    if (!portConfigUnreadable.isEmpty()) {
        why = QStringLiteral("%1: %2").arg(path(files::PortConfig), portConfigUnreadable);
        prompter.message(why);
        m_linkExit = ExitBadUsage;
        return nullptr;
    }
    tellDefaultPort();
    auto link = std::make_unique<ScaleLink>();
    const LinkOpenResult opened = link->open(port, prompter);
    if (opened.port != SerialPort::Opened) {
        // A port that does not open is bad input, not a silent scale (said by the link).
        why = opened.failure;
        m_linkExit = ExitBadUsage;
        return nullptr;
    }
    if (!opened.readerStarted) {
        why = opened.failure;
        m_linkExit = ExitNoAnswer;
        return nullptr;
    }
    m_linkFailed = false;
    m_link = std::move(link);
    return m_link.get();
}

void CliContext::tellDefaultPort()
{
    if (!portConfigMissing || m_defaultPortTold)
        return;
    m_defaultPortTold = true;
    prompter.message(msg::text(msg::CfgMissing));
}

ExchangeLog *CliContext::journalOf(const ScaleEntry &scale)
{
    if (!m_journal)
        m_journal = std::make_unique<ExchangeJournal>();
    return m_journal->scale(scaleName(scale), scale.port);
}

void CliContext::keepJournal()
{
    if (!m_journal || m_journal->waiting() == 0)
        return;
    // A folder without a product store gets none for its journal.
    StoreLocation location;
    QString error;
    if (!storeLocationOf(workDir, storeUrl, location, error)
        || (!location.isServer() && !QFileInfo::exists(location.path)))
        return;
    ProductStore store;
    store.open(location);
    if (!m_journal->keep(store))
        prompter.message(msg::text(msg::JournalNotKept).arg(m_journal->failureToTell()));
}

QString CliContext::scaleName(const ScaleEntry &scale) const
{
    if (!scale.name.isEmpty())
        return scale.name;
    return ScaleList::load(workDir, port).nameOfPort(scale.port);
}

std::unique_ptr<OwnScaleState> CliContext::keepState(ScaleJob &job) const
{
    auto state = std::make_unique<OwnScaleState>(workDir, storeUrl, scaleName(job.scale), job.clock, &job.prompter);
    if (!state->state())
        job.prompter.message(msg::text(msg::StateNotKept).arg(state->error()));
    job.watcher = state->state();
    return state;
}

std::unique_ptr<OwnScaleState> CliContext::keepState() const
{
    auto state = std::make_unique<OwnScaleState>(workDir, storeUrl, scaleName(singleScale()), clock, &prompter);
    if (!state->state())
        prompter.message(msg::text(msg::StateNotKept).arg(state->error()));
    return state;
}

ScaleEntry CliContext::singleScale() const
{
    return ScaleEntry{QString(), QString::fromLocal8Bit(port.portName), port.baudRate, int(port.lastScaleNumber)};
}

int CliContext::onScales(Operation operation, const ScaleRunner::Job &job, const QString &caption)
{
    if (!manyScales()) {
        ScaleLink *one = link(operation);
        if (!one)
            return linkFailure();
        const ScaleEntry scale = singleScale();
        bool lineOpen = false;
        AfterProgressPrompter shown(prompter, lineOpen);
        ScaleJob j(scale, *one, shown, clock, pump);
        j.log = journalOf(scale);
        int last = -1;
        j.progress = [&](int percent) {
            if (percent == last)
                return;
            last = percent;
            lineOpen = true;
            std::fprintf(stderr, "\r%s %3d%%", caption.toUtf8().constData(), percent);
            std::fflush(stderr);
        };
        j.print = [this](const QString &line) { print(line); };
        const int exit = int(job(j));
        shown.endLine();
        return exit;
    }

    tellDefaultPort(); // the list is the one scale of the default port
    // Progress in steps of a tenth: a line per step and scale is enough to follow.
    std::vector<int> tenth(std::size_t(scales.size()), -1);
    ScaleRunner runner(scales, port, clock);
    // Made here, on this thread: the jobs only hand their rows in.
    std::vector<ExchangeLog *> logs;
    for (const ScaleEntry &scale : scales)
        logs.push_back(journalOf(scale));
    runner.setJournal({[this, logs](const ScaleEntry &scale) {
                           for (qsizetype i = 0; i < scales.size(); ++i)
                               if (scales[i].name == scale.name && scales[i].port == scale.port)
                                   return logs[std::size_t(i)];
                           return logs.front();
                       },
                       operation});
    const QList<ScaleOutcome> outcomes = runner.run(job, pump, [&](int index, int percent) {
        if (percent < 0 || percent / 10 == tenth[std::size_t(index)])
            return;
        tenth[std::size_t(index)] = percent / 10;
        writeLine(stderr, QStringLiteral("%1: %2 %3%").arg(scales[index].name, caption).arg(percent));
    });
    static const char *const StatusText[] = {"ok", "no answer", "bad input"};
    for (const ScaleOutcome &o : outcomes) {
        for (const QString &line : o.lines)
            print(QStringLiteral("%1: %2").arg(o.name, line));
        for (const QString &message : o.messages)
            writeLine(stderr, QStringLiteral("%1: %2").arg(o.name, message));
    }
    for (const ScaleOutcome &o : outcomes)
        writeLine(stderr, QStringLiteral("%1: %2").arg(o.name, QString::fromLatin1(StatusText[int(o.status)])));
    const QStringList failed = ScaleRunner::failedNames(outcomes);
    if (!failed.isEmpty())
        writeLine(stderr, msg::text(msg::ScalesFailed).arg(failed.join(QStringLiteral(", "))));
    return int(ScaleRunner::overall(outcomes));
}

bool CliContext::openSelection(const ParsedSelection &selection, ProductStore &store, ProductDataset &dataset)
{
    if (!openStoreForReading(store))
        return false;
    if (!dataset.open(selection.sql(store.dialect()))) {
        prompter.message(dataset.errorText());
        return false;
    }
    return true;
}

bool CliContext::openStore(ProductStore &store)
{
    if (!openWorkingStore(store, workDir, storeUrl)) {
        prompter.message(store.errorText());
        return false;
    }
    return true;
}

bool CliContext::openStoreForReading(ProductStore &store)
{
    StoreLocation location;
    QString error;
    if (!storeLocationOf(workDir, storeUrl, location, error)) {
        prompter.message(error);
        return false;
    }
    if (!location.isServer() && !QFileInfo::exists(location.path)) {
        prompter.message(msg::text(msg::StoreMissing).arg(location.path));
        return false;
    }
    if (!store.open(location)) {
        prompter.message(store.errorText());
        return false;
    }
    return true;
}

void CliContext::print(const QString &line) const
{
    writeLine(stdout, line);
}

int CliContext::badUsage(const QString &why) const
{
    if (!why.isEmpty())
        writeLine(stderr, why);
    if (command)
        writeLine(stderr, QStringLiteral("usage: ztk-cli [OPTIONS] %1").arg(usageOf(*command)));
    return ExitBadUsage;
}

QString commandLineError(const QCommandLineParser &parser)
{
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty())
        return QStringLiteral("ztk-cli: unknown option %1%2")
            .arg(unknown.first().size() == 1 ? QStringLiteral("-") : QStringLiteral("--"), unknown.first());
    // "Missing value after '--from'." in the words of the other messages.
    static const QRegularExpression missing(QStringLiteral("^Missing value after '([^']+)'"));
    const QRegularExpressionMatch m = missing.match(parser.errorText());
    if (m.hasMatch())
        return QStringLiteral("ztk-cli: %1 needs a value").arg(m.captured(1));
    return QStringLiteral("ztk-cli: ") + parser.errorText();
}

QString usageOf(const Command &command)
{
    QStringList parts{QString::fromUtf8(command.name)};
    if (*command.arguments)
        parts << QString::fromUtf8(command.arguments);
    for (const CommandOption &o : command.options)
        parts << usageOf(o);
    return parts.join(QLatin1Char(' '));
}

QList<const Command *> commands()
{
    QList<const Command *> out;
    for (const Command &c : registry())
        out.append(&c);
    std::sort(out.begin(), out.end(), [](const Command *a, const Command *b) { return std::strcmp(a->name, b->name) < 0; });
    return out;
}

const Command *findCommand(const QString &name)
{
    for (const Command &c : registry()) {
        if (name == QString::fromUtf8(c.name))
            return &c;
    }
    return nullptr;
}

RegisterCommand::RegisterCommand(CommandFunction run, bool gui, Command command)
{
    command.run = run;
    command.gui = gui;
    registry().push_back(std::move(command));
}

} // namespace ztk::cli
