// ztk-cli [--dir DIR] [--port NAME|PATH] [--baud N] [--scales NAME,...|all] COMMAND [ARGS]
//
// The program's logic from the command line, on the files of DIR. The port and its
// speed come from DIR's "fbdves.cfg" unless given; the file is never rewritten.

#include "cli/CliCommand.h"
#include "cli/ScalesOption.h"

#include "shared/Files.h"
#include "shared/Messages.h"
#include "shared/PortConfig.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

using namespace ztk;
using namespace ztk::cli;

namespace {

void printUsage()
{
    QByteArray text = "usage: ztk-cli [--dir DIR] [--port NAME|PATH] [--baud N] [--scales NAME,...|all] COMMAND [ARGS]\n"
                      "exit 0 done, 1 the scale did not answer, 2 bad usage or bad input\n"
                      "commands:\n";
    for (const Command *c : commands()) {
        const QByteArray head = QByteArray("  ") + c->name + (*c->usage ? QByteArray(" ") + c->usage : QByteArray());
        text += head.leftJustified(44) + ' ' + c->summary + '\n';
    }
    std::fputs(text.constData(), stderr);
}

int fail(const QString &why)
{
    std::fputs((why.toUtf8() + '\n').constData(), stderr);
    printUsage();
    return ExitBadUsage;
}

// The command named on the line, looked at before the application exists.
const Command *commandOnLine(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray a(argv[i]);
        if (!a.startsWith('-'))
            return findCommand(QString::fromLocal8Bit(a));
        if (!a.contains('=') && (a == "--dir" || a == "--port" || a == "--baud" || a == ScalesOptionName))
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
    QStringList args = QCoreApplication::arguments().mid(1);

    QString dir = QDir::currentPath();
    std::optional<QString> port;
    std::optional<std::int32_t> baud;
    std::optional<QString> scales; // --scales
    while (!args.isEmpty() && args.first().startsWith(QLatin1String("-"))) {
        QString opt = args.takeFirst();
        QString value;
        const qsizetype eq = opt.indexOf(QLatin1Char('='));
        if (eq > 0) {
            value = opt.mid(eq + 1);
            opt.truncate(eq);
        } else if (opt == QLatin1String("--dir") || opt == QLatin1String("--port") || opt == QLatin1String("--baud")
                   || opt == QLatin1String(ScalesOptionName)) {
            if (args.isEmpty())
                return fail(QStringLiteral("ztk-cli: %1 needs a value").arg(opt));
            value = args.takeFirst();
        }
        if (opt == QLatin1String("--dir")) {
            dir = value;
        } else if (opt == QLatin1String("--port")) {
            port = value;
        } else if (opt == QLatin1String("--baud")) {
            bool ok = false;
            const std::int32_t n = value.toInt(&ok);
            if (!ok) {
                std::fputs((msg::text(msg::NotAnInteger).arg(value).toUtf8() + '\n').constData(), stderr);
                return ExitBadUsage;
            }
            baud = n;
        } else if (opt == QLatin1String(ScalesOptionName)) {
            scales = value;
        } else if (opt == QLatin1String("--help") || opt == QLatin1String("-h")) {
            printUsage();
            return ExitOk;
        } else {
            return fail(QStringLiteral("ztk-cli: unknown option %1").arg(opt));
        }
    }
    if (args.isEmpty())
        return fail(QStringLiteral("ztk-cli: no command given"));
    const QString name = args.takeFirst();
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
    ctx.command = command;

    // As at the program's start-up: without "fbdves.cfg" the port is COM1 at speed 0.
    bool cfgMissing = false;
    ctx.port = PortConfig::loadOrDefault(ctx.path(files::PortConfig), &cfgMissing);
    if (port)
        ctx.port.portName = port->toLocal8Bit();
    if (baud)
        ctx.port.baudRate = *baud;
    const bool needConfig = cfgMissing && !(port && baud);
    // A "fbdves.cfg" that is there but cannot be read (a folder, no permission) is not missing.
    const QFileInfo cfg(ctx.path(files::PortConfig));
    if (needConfig && (cfg.exists() || cfg.isSymLink()))
        ctx.portConfigUnreadable = QString::fromLocal8Bit(std::strerror(cfg.isDir() ? EISDIR : cfg.exists() ? EACCES : ENOENT));
    else
        ctx.portConfigMissing = needConfig;

    // --scales: the command runs on the named scales of "scales.ini" at once.
    if (scales) {
        if (const std::optional<int> bad = useScales(ctx, *scales))
            return *bad;
    }

    return command->run(ctx, args);
}
