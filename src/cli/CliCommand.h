#pragma once
// The frame of ztk-cli. A command lives in a file of its own in src/cli/ and
// registers itself:
//
//   ZTK_CLI_COMMAND(linkCheck, "link-check", "", "probes the scale (3 s)")
//   int linkCheck(ztk::cli::CliContext &ctx, const QStringList &args) { ... }
//
// A command returns ExitOk, ExitNoAnswer (the scale did not answer; the message has
// been shown) or ExitBadUsage (bad usage or bad input).

#include "link/ScaleLink.h"
#include "link/ScaleRunner.h"
#include "shared/PortConfig.h"
#include "shared/Seams.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <optional>

namespace ztk {
class ProductDataset;
class ProductStore;
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
    CliContext(const Clock &clock, EventPump &pump, Prompter &prompter)
        : clock(clock), pump(pump), prompter(prompter) {}
    ~CliContext();
    CliContext(const CliContext &) = delete;
    CliContext &operator=(const CliContext &) = delete;

    QString workDir;            // absolute
    PortConfig port;                // "fbdves.cfg" with --port and --baud applied
    bool portConfigMissing = false; // "fbdves.cfg" was needed and is not there
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
    // line with the device and the reason shown); the command then returns linkFailure().
    ScaleLink *link();
    int linkFailure() const { return m_linkExit; }
    // Runs `job` on the scale of `port`, or with --scales on every named scale at once
    // (a progress line and a summary line per scale on standard error, each line of a
    // scale led by its name). The exit code: the worst outcome. `caption` leads the
    // progress lines.
    int onScales(const ScaleRunner::Job &job, const QString &caption = QString());
    bool manyScales() const { return !scales.isEmpty(); }
    // The product store of the working folder, for a command that only reads it: a
    // missing file is reported, not created. False with the message shown.
    bool openStoreForReading(ProductStore &store);
    // That store, and `dataset` over the rows of `sql` ("select * from lm_t1 ..."). False
    // with the message shown.
    bool openSelection(const QString &sql, ProductStore &store, ProductDataset &dataset);
    // One line on standard output.
    void print(const QString &line) const;
    // Shows `why` and the command's usage on standard error; returns ExitBadUsage.
    int badUsage(const QString &why) const;

private:
    std::unique_ptr<ScaleLink> m_link;
    bool m_linkFailed = false;
    int m_linkExit = ExitBadUsage;
};

// A command's options: "--name VALUE" or "--name=VALUE" for each of `valued`, a bare
// "--name" for each of `flags` (its value then is empty). The last of a repeated option
// counts. Bad usage (an unknown option, a value missing) is shown and its exit code
// returned.
std::optional<int> parseOptions(CliContext &ctx, QStringList args, const QStringList &valued,
                                const QStringList &flags, QMap<QString, QString> &out);

using CommandFunction = int (*)(CliContext &, const QStringList &args);

struct Command {
    const char *name;
    const char *usage;   // what follows the name, e.g. "[--out FILE]"
    const char *summary; // one line for the command list
    CommandFunction run;
    bool gui = false;    // needs a (offscreen) QGuiApplication: fonts, printing
};

// Every registered command, by name.
QList<const Command *> commands();
const Command *findCommand(const QString &name);

struct RegisterCommand {
    explicit RegisterCommand(const Command &command);
};

} // namespace ztk::cli

#define ZTK_CLI_COMMAND(function, name, usage, summary)                                                  \
    static int function(::ztk::cli::CliContext &, const QStringList &);                                  \
    static const ::ztk::cli::RegisterCommand function##Registration{                                     \
        ::ztk::cli::Command{name, usage, summary, &function}};

// A command that lays out or prints text.
#define ZTK_CLI_GUI_COMMAND(function, name, usage, summary)                                              \
    static int function(::ztk::cli::CliContext &, const QStringList &);                                  \
    static const ::ztk::cli::RegisterCommand function##Registration{                                     \
        ::ztk::cli::Command{name, usage, summary, &function, true}};
