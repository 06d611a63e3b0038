#pragma once
// The frame of ztk-cli. A command lives in a file of its own in src/cli/ and
// registers itself with what its help and manual page say of it:
//
//   ZTK_CLI_COMMAND(readProducts, {.name = "read-products",
//                                  .summary = QT_TRANSLATE_NOOP("ztk-cli", "reads products from the scale"),
//                                  .options = {FromOption}})
//   int readProducts(ztk::cli::CliContext &ctx, const QStringList &args) { ... }
//
// The options a command declares are the ones parseOptions() accepts (CommandOptions.h).
// The help's texts are English, marked for lupdate in context "ztk-cli" and shown in the
// user's language (translations/ztk-cli_ru.ts); names and values stay as typed.
//
// A command returns ExitOk, ExitNoAnswer (the scale did not answer; the message has
// been shown) or ExitBadUsage (bad usage or bad input).

#include "cli/CommandOptions.h"

#include "link/ScaleLink.h"
#include "link/ScaleRunner.h"
#include "shared/PortConfig.h"
#include "shared/Seams.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class QCommandLineParser;

namespace ztk {
class ExchangeJournal;
class OwnScaleState;
class ProductDataset;
class ProductStore;
struct ParsedSelection;
}

namespace ztk::cli {

enum Exit { ExitOk = 0, ExitNoAnswer = 1, ExitBadUsage = 2 };

// Messages go to standard error, one per line; a question takes its first button
// (Ok / Yes); file dialogs answer nothing.
class StderrPrompter final : public Prompter {
public:
    using Prompter::message;
    void message(const QString &text, const QString &caption = QString()) override;
    Answer ask(const QString &text, const QString &caption, Buttons buttons) override;
    QString openFileName(const QString &caption, const QString &filter) override;
    QString saveFileName(const QString &caption, const QString &filter, const QString &proposedPath = QString()) override;
};

struct Command;

// What a command is given: the working directory, the port to use and the seams.
class CliContext {
public:
    CliContext(const Clock &clock, EventPump &pump, Prompter &prompter);
    ~CliContext();
    CliContext(const CliContext &) = delete;
    CliContext &operator=(const CliContext &) = delete;

    QString workDir;            // absolute
    QString storeUrl;           // --db: the server that holds the table, instead of the folder's
    PortConfig port;                // "fbdves.cfg" with --port and --baud applied
    // "fbdves.cfg" is not there and `port` is its default COM1: said once, when that
    // port is used (tellDefaultPort()).
    bool portConfigMissing = false;
    QString portConfigUnreadable;   // "fbdves.cfg" was needed, is there and cannot be read: why
    const Command *command = nullptr;
    // --scales: the scales the command runs on, each at once; empty: the one of `port`.
    QList<ScaleEntry> scales;

    const Clock &clock;
    EventPump &pump;
    Prompter &prompter;

    // workDir + "/" + fileName
    QString path(const char *fileName) const;
    // The link, opened on first use with its reader running and every mode off.
    // nullptr when the port does not open ("ERROR: Opening COM-Port failed!" and a
    // line with the device and the reason shown, and journalled as a failed
    // `operation`); the command then returns linkFailure().
    ScaleLink *link(Operation operation);
    int linkFailure() const { return m_linkExit; }
    // "CFG-файл отсутствует, назначен порт COM1", once, when portConfigMissing.
    void tellDefaultPort();
    // Runs `job` on the scale of `port`, or with --scales on every named scale at once
    // (a progress line and a summary line per scale on standard error, each line of a
    // scale led by its name). The exit code: the worst outcome. `caption` leads the
    // progress lines.
    int onScales(Operation operation, const ScaleRunner::Job &job, const QString &caption = QString());
    // Where the exchanges with `scale` are journalled (kept when the command ends).
    ExchangeLog *journalOf(const ScaleEntry &scale);
    // Keeps the journal's rows in the working folder's store, when it has one; a row
    // that cannot be kept is said once. Never changes the command's outcome.
    void keepJournal();
    // The scale's name in the state of what each scale holds: its name in the list, or
    // for the one scale of the port the list's scale on that port (else one made of it).
    QString scaleName(const ScaleEntry &scale) const;
    // The state of the job's scale, kept on the job's thread with a connection of its
    // own, and told of what the job's exchanges do to the slots (j.watcher). A state that
    // cannot be kept is said once; the exchange goes on without it.
    std::unique_ptr<OwnScaleState> keepState(ScaleJob &job) const;
    // The same for an exchange on the one scale of `port`, on this thread.
    std::unique_ptr<OwnScaleState> keepState() const;
    // The one scale of `port`, as --scales would name it.
    ScaleEntry singleScale() const;
    bool manyScales() const { return !scales.isEmpty(); }
    // The product store of the working folder (--db, else "database.ini", else
    // "LM_T.db"), created when missing. False with the message shown.
    bool openStore(ProductStore &store);
    // The same for a command that only reads it: a missing file is reported, not
    // created. False with the message shown.
    bool openStoreForReading(ProductStore &store);
    // That store, and `dataset` over the rows of `selection`, its text as the store
    // spells it. False with the message shown.
    bool openSelection(const ParsedSelection &selection, ProductStore &store, ProductDataset &dataset);
    // One line on standard output.
    void print(const QString &line) const;
    // Shows `why` and the command's usage on standard error; returns ExitBadUsage.
    int badUsage(const QString &why) const;

private:
    ScaleLink *openLink(QString &why);

    std::unique_ptr<ExchangeJournal> m_journal;
    std::unique_ptr<ScaleLink> m_link;
    bool m_linkFailed = false;
    bool m_defaultPortTold = false;
    int m_linkExit = ExitBadUsage;
};

using CommandFunction = int (*)(CliContext &, const QStringList &args);

struct Command {
    const char *name;
    const char *arguments = ""; // what is given besides the options, e.g. "FILE"
    const char *summary = "";   // one line for the command list
    std::vector<CommandOption> options = {};
    // More of the help, one paragraph: its parts are translated one by one and joined by a space.
    std::vector<const char *> details = {};
    CommandFunction run = nullptr;
    bool gui = false;           // needs a (offscreen) QGuiApplication: fonts, printing
};

// A command line the parser refused, in the tool's words ("ztk-cli: --from needs a value").
QString commandLineError(const QCommandLineParser &parser);

// "read-products [--from A] [--to B]"
QString usageOf(const Command &command);

// Every registered command, by name.
QList<const Command *> commands();
const Command *findCommand(const QString &name);

struct RegisterCommand {
    RegisterCommand(CommandFunction run, bool gui, Command command);
};

} // namespace ztk::cli

#define ZTK_CLI_COMMAND(function, ...)                                                                    \
    static int function(::ztk::cli::CliContext &, const QStringList &);                                  \
    static const ::ztk::cli::RegisterCommand function##Registration{&function, false,                    \
                                                                    ::ztk::cli::Command __VA_ARGS__};

// A command that lays out or prints text.
#define ZTK_CLI_GUI_COMMAND(function, ...)                                                                \
    static int function(::ztk::cli::CliContext &, const QStringList &);                                  \
    static const ::ztk::cli::RegisterCommand function##Registration{&function, true,                     \
                                                                    ::ztk::cli::Command __VA_ARGS__};
