// ztk-cli [--dir DIR] [--port NAME|PATH|tcp:HOST:PORT] [--baud N] [--db URL] [--scales NAME,...|all] COMMAND [ARGS]
//
// The program's logic from the command line, on the files of DIR. The port and its
// speed come from DIR's "fbdves.cfg" unless given; the file is never rewritten. The
// product table is DIR's "LM_T.db", or the PostgreSQL server of --db or DIR's "database.ini".

#include "cli/CliCommand.h"
#include "cli/CliHelp.h"
#include "cli/ScalesOption.h"

#include "products/StoreLocation.h"
#include "shared/Files.h"
#include "shared/HelpLanguage.h"
#include "shared/Messages.h"
#include "shared/PortConfig.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

using namespace ztk;
using namespace ztk::cli;

namespace {

void printHelp(std::FILE *to)
{
    std::fputs(manualPlainText(cliManual()).toUtf8().constData(), to);
}

int fail(const QString &why)
{
    std::fputs((why.toUtf8() + "\n(ztk-cli --help lists the commands and options)\n").constData(), stderr);
    return ExitBadUsage;
}

bool takesValue(const QByteArray &option)
{
    for (const CommandOption &o : globalOptions()) {
        if (o.value && option == QByteArray("--") + o.name)
            return true;
    }
    return false;
}

// The command named on the line, looked at before the application exists.
const Command *commandOnLine(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray a(argv[i]);
        if (!a.startsWith('-'))
            return findCommand(QString::fromLocal8Bit(a));
        if (!a.contains('=') && takesValue(a))
            ++i;
    }
    return nullptr;
}

// Qt's own notices would mix with the system's messages on standard error.
void quietQtNotices(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type == QtFatalMsg || type == QtCriticalMsg)
        std::fputs((text.toLocal8Bit() + '\n').constData(), stderr);
}

} // namespace

int main(int argc, char **argv)
{
    // The product store's driver wants an application; text layout a GUI one, which
    // never shows a window here.
    const Command *named = commandOnLine(argc, argv);
    std::unique_ptr<QCoreApplication> application;
    if (named && named->gui) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(quietQtNotices);
        application = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        application = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationVersion(QStringLiteral(ZTK_VERSION_TEXT));
    installHelpTranslation(QStringLiteral("ztk-cli")); // the help only: the messages are the program's own

    // The options before the command; what follows the command is the command's own.
    QCommandLineParser line;
    line.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    addOptions(line, globalOptions());
    addStandardOptions(line);
    if (!line.parse(QCoreApplication::arguments()))
        return fail(commandLineError(line));
    if (answerStandardOptions(line, cliManual()))
        return ExitOk;
    const Options global(globalOptions(), line);
    QStringList args = global.words();
    // The shared product table on a server: --db postgresql://user@host:port/name.
    const std::optional<QString> db = global.value(DbOption);
    if (db) {
        StoreLocation location;
        QString error;
        if (!parseStoreUrl(*db, location, error))
            return fail(error);
    }
    const QString dir = global.value(DirOption, QDir::currentPath());
    const std::optional<QString> scales = global.value(ScalesOption);
    const std::optional<QString> port = global.value(PortOption);
    std::optional<std::int32_t> baud;
    if (const std::optional<QString> speed = global.value(BaudOption)) {
        bool ok = false;
        baud = speed->toInt(&ok);
        if (!ok) {
            std::fputs((msg::text(msg::NotAnInteger).arg(*speed).toUtf8() + '\n').constData(), stderr);
            return ExitBadUsage;
        }
    }
    if (args.isEmpty())
        return fail(QStringLiteral("ztk-cli: no command given"));
    const QString name = args.takeFirst();
    if (name == QLatin1String("help")) {
        if (args.isEmpty()) {
            printHelp(stdout);
            return ExitOk;
        }
        const Command *about = findCommand(args.first());
        if (!about)
            return fail(QStringLiteral("ztk-cli: unknown command %1").arg(args.first()));
        std::fputs(commandHelpText(*about).toUtf8().constData(), stdout);
        return ExitOk;
    }
    const Command *command = findCommand(name);
    if (!command)
        return fail(QStringLiteral("ztk-cli: unknown command %1").arg(name));
    if (!QFileInfo(dir).isDir())
        return fail(QStringLiteral("ztk-cli: %1 is not a folder").arg(dir));

    if (!clockRateValid())
        return fail(QStringLiteral("ztk-cli: ZTK_CLOCK_RATE must be a number from %1 to %2")
                        .arg(MinClockRate).arg(MaxClockRate, 0, 'f', 0));

    StderrPrompter prompter;
    NullEventPump pump;
    CliContext ctx(defaultClock(), pump, prompter);
    ctx.workDir = QDir(dir).absolutePath();
    ctx.storeUrl = db.value_or(QString());
    ctx.command = command;

    // As at the program's start-up: without "fbdves.cfg" the port is COM1 at speed 0.
    bool cfgMissing = false;
    ctx.port = PortConfig::loadOrDefault(ctx.path(files::PortConfig), &cfgMissing);
    if (port)
        ctx.port.portName = port->toLocal8Bit();
    if (baud)
        ctx.port.baudRate = *baud;
    else if (cfgMissing)
        ctx.port.baudRate = DefaultLineSpeed; // the program's own 0 would not open a line

    const bool needConfig = cfgMissing && !(port && baud);
    // A "fbdves.cfg" that is there but cannot be read (a folder, no permission) is not missing.
    const QFileInfo cfg(ctx.path(files::PortConfig));
    if (needConfig && (cfg.exists() || cfg.isSymLink()))
        ctx.portConfigUnreadable = QString::fromLocal8Bit(std::strerror(cfg.isDir() ? EISDIR : cfg.exists() ? EACCES : ENOENT));
    else
        ctx.portConfigMissing = cfgMissing && !port; // a port given is no COM1 of the default

    // --scales: the command runs on the named scales of "scales.ini" at once.
    if (scales) {
        if (const std::optional<int> bad = useScales(ctx, *scales))
            return *bad;
    }

    const int exit = command->run(ctx, args);
    ctx.keepJournal();
    return exit;
}
