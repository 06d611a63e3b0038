// The link commands: the link check and the scale-number query.

#include "cli/CliCommand.h"

#include "shared/Messages.h"

using namespace ztk;
using namespace ztk::cli;

ZTK_CLI_COMMAND(linkCheck, "link-check", "", "probes the scale (3 s)")
ZTK_CLI_COMMAND(scaleNumber, "scale-number", "", "asks the scale's number (15 s)")

int linkCheck(CliContext &ctx, const QStringList &args)
{
    if (!args.isEmpty())
        return ctx.badUsage(QStringLiteral("ztk-cli: link-check takes no arguments"));
    ScaleLink *link = ctx.link();
    if (!link)
        return ctx.linkFailure();
    if (!probeLink(*link, ctx.clock, ctx.pump)) {
        ctx.prompter.message(msg::text(msg::NoLink));
        return ExitNoAnswer;
    }
    ctx.print(msg::text(msg::LinkUp));
    return ExitOk;
}

int scaleNumber(CliContext &ctx, const QStringList &args)
{
    if (!args.isEmpty())
        return ctx.badUsage(QStringLiteral("ztk-cli: scale-number takes no arguments"));
    ScaleLink *link = ctx.link();
    if (!link)
        return ctx.linkFailure();
    const std::optional<std::int8_t> number = queryScaleNumber(*link, ctx.clock, ctx.pump);
    if (!number) {
        ctx.prompter.message(msg::text(msg::NoLink));
        return ExitNoAnswer;
    }
    ctx.print(QString::number(*number));
    return ExitOk;
}
