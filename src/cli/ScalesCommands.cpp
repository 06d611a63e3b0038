// The scales list: --scales, and the command that lists, adds and removes scales.

#include "cli/ScalesOption.h"

#include "link/NetworkPort.h"
#include "link/ScaleList.h"
#include "products/ProductStore.h"
#include "shared/Messages.h"
#include "transfer/ScaleState.h"

#include <QFileInfo>
#include "shared/WholeNumber.h"

using namespace ztk;
using namespace ztk::cli;

constexpr CommandOption AddPortOption{"port", "PORT",
                                      QT_TRANSLATE_NOOP("ztk-cli", "add: the scale's port, a serial name, a path or "
                                                                   "tcp:HOST:PORT (needed)")};
constexpr CommandOption AddSpeedOption{"speed", "N", QT_TRANSLATE_NOOP("ztk-cli",
                                                         "add: the line speed in bit/s (default 9600)")};
constexpr CommandOption AddNumberOption{"number", "N", QT_TRANSLATE_NOOP("ztk-cli",
                                                           "add: the scale's number, 0..255 (default 1)")};

ZTK_CLI_COMMAND(scales,
                {.name = "scales",
                 .arguments = "list | add NAME | remove NAME",
                 .summary = QT_TRANSLATE_NOOP("ztk-cli", "the scales list scales.ini (port: a serial name, a path or "
                                                         "tcp:HOST:PORT)"),
                 .options = {AddPortOption, AddSpeedOption, AddNumberOption},
                 .details = {QT_TRANSLATE_NOOP("ztk-cli", "list prints the scales, one a line; a broken line of the "
                                                          "file is named with its line number and its scale left "
                                                          "out. add and remove rewrite the file, and refuse while "
                                                          "it has broken lines.")}})

namespace {

// The exchanges that run on several scales at once.
const QStringList ManyScaleCommands{QStringLiteral("link-check"),   QStringLiteral("scale-number"),
                                    QStringLiteral("write-products"), QStringLiteral("common-write"),
                                    QStringLiteral("set-clock"),    QStringLiteral("totals"),
                                    QStringLiteral("sync"),         QStringLiteral("compare")};

// The list of the working folder, its broken lines shown.
ScaleList loadList(CliContext &ctx, bool *missing = nullptr)
{
    const ScaleList list = ScaleList::load(ctx.workDir, ctx.port, missing);
    for (const QString &problem : list.problems())
        ctx.prompter.message(problem);
    return list;
}

} // namespace

std::optional<int> ztk::cli::useScales(CliContext &ctx, const QString &names)
{
    if (!ManyScaleCommands.contains(QString::fromUtf8(ctx.command->name)))
        return ctx.badUsage(QStringLiteral("ztk-cli: %1 runs on one scale, not with %2 (they are: %3)")
                                .arg(QString::fromUtf8(ctx.command->name), dashedName(ScalesOption),
                                     ManyScaleCommands.join(QStringLiteral(", "))));
    bool listMissing = false;
    const ScaleList list = loadList(ctx, &listMissing);
    // The scales of scales.ini have ports of their own; only without it is the list the port's one scale.
    if (!listMissing)
        ctx.portConfigMissing = false;
    QString error;
    const std::optional<QList<ScaleEntry>> picked = list.pick(names, error);
    if (!picked)
        return ctx.badUsage(error);
    if (picked->isEmpty())
        return ctx.badUsage(QStringLiteral("ztk-cli: the scales list names no scale"));
    ctx.scales = *picked;
    return std::nullopt;
}

int scales(CliContext &ctx, const QStringList &args)
{
    const QString action = args.value(0);
    if (action == QLatin1String("list") && args.size() == 1) {
        bool missing = false;
        const ScaleList list = ScaleList::load(ctx.workDir, ctx.port, &missing);
        for (const QString &problem : list.problems())
            ctx.prompter.message(problem);
        for (const ScaleEntry &s : list.scales())
            ctx.print(QStringLiteral("%1\t%2\t%3\t%4").arg(s.name, s.port).arg(s.speed).arg(s.number));
        return list.problems().isEmpty() ? ExitOk : ExitBadUsage;
    }
    if ((action != QLatin1String("add") && action != QLatin1String("remove")) || args.size() < 2)
        return ctx.badUsage(QStringLiteral("ztk-cli: scales takes list, add or remove"));
    const QString name = args[1];
    bool missing = false;
    ScaleList list = ScaleList::load(ctx.workDir, ctx.port, &missing);
    // A list that is not whole would be written back without its broken scales.
    if (!list.problems().isEmpty()) {
        for (const QString &problem : list.problems())
            ctx.prompter.message(problem);
        return ExitBadUsage;
    }
    if (missing)
        list = ScaleList(); // the one scale of "fbdves.cfg" is not written into the list
    QString error;
    if (action == QLatin1String("remove")) {
        if (args.size() != 2)
            return ctx.badUsage(QStringLiteral("ztk-cli: scales remove takes one name"));
        if (!list.remove(name))
            return ctx.badUsage(msg::text(msg::ScalesUnknownName).arg(name));
    } else {
        Options o;
        if (const auto bad = parseOptions(ctx, args.mid(2), o))
            return *bad;
        const std::optional<QString> port = o.value(AddPortOption);
        if (!port)
            return ctx.badUsage(QStringLiteral("ztk-cli: scales add needs %1").arg(dashedName(AddPortOption)));
        ScaleEntry scale{name, *port, DefaultLineSpeed, 1};
        if (NetworkPort::isAddress(scale.port) && !NetworkPort::parse(scale.port))
            return ctx.badUsage(QStringLiteral("ztk-cli: %1 is not tcp:HOST:PORT").arg(scale.port));
        for (const CommandOption *key : {&AddSpeedOption, &AddNumberOption}) {
            const std::optional<QString> text = o.value(*key);
            if (!text)
                continue;
            const bool speed = key == &AddSpeedOption;
            // A word is refused as out of range, as a number too big is.
            const std::optional<std::int32_t> n = wholeNumber(*text);
            if (!n || (speed ? *n <= 0 : *n < 0 || *n > 255))
                return ctx.badUsage(QStringLiteral("ztk-cli: %1 %2 is out of range").arg(dashedName(*key), *text));
            (speed ? scale.speed : scale.number) = *n;
        }
        if (!list.add(scale, error))
            return ctx.badUsage(error);
    }
    if (!list.save(ctx.workDir, error)) {
        ctx.prompter.message(error);
        return ExitBadUsage;
    }
    // A scale removed takes what is known of it along: a new one under its name starts
    // from nothing. A store that cannot be opened has nothing of it to forget.
    if (action == QLatin1String("remove")) {
        ProductStore store;
        StoreLocation location;
        QString why;
        if (storeLocationOf(ctx.workDir, ctx.storeUrl, location, why)
            && (location.isServer() || QFileInfo::exists(location.path)) && store.open(location)
            && ScaleState::prepare(store) && !ScaleState::forgetScale(store, name))
            ctx.prompter.message(store.errorText());
    }
    return ExitOk;
}
