// The link commands: the link check and the scale-number query.

#include "cli/CliCommand.h"

#include "shared/Messages.h"

using namespace ztk;
using namespace ztk::cli;

ZTK_CLI_COMMAND(linkCheck, {.name = "link-check",
                            .summary = QT_TRANSLATE_NOOP("ztk-cli", "probes the scale (3 s)"),
                            .details = {QT_TRANSLATE_NOOP("ztk-cli", "Sends the link probe and waits up to 3 "
                                                                     "seconds for the answer. Exit 1 when the scale "
                                                                     "does not answer.")}})
ZTK_CLI_COMMAND(scaleNumber, {.name = "scale-number",
                              .summary = QT_TRANSLATE_NOOP("ztk-cli", "asks the scale's number (15 s)"),
                              .details = {QT_TRANSLATE_NOOP("ztk-cli",
                                              "Prints the number the scale answers with, waiting up to 15 seconds.")}})

int linkCheck(CliContext &ctx, const QStringList &args)
{
    if (!args.isEmpty())
        return ctx.badUsage(QStringLiteral("ztk-cli: link-check takes no arguments"));
    return ctx.onScales(Operation::LinkCheck, [](ScaleJob &j) {
        ExchangeSession session = j.session();
        if (const ExchangeResult r = session.logged(Operation::LinkCheck, checkLink(session)); !r.ok) {
            j.prompter.message(r.message);
            return ScaleStatus::NoAnswer;
        }
        j.print(msg::text(msg::LinkUp));
        return ScaleStatus::Done;
    });
}

int scaleNumber(CliContext &ctx, const QStringList &args)
{
    if (!args.isEmpty())
        return ctx.badUsage(QStringLiteral("ztk-cli: scale-number takes no arguments"));
    return ctx.onScales(Operation::ScaleNumber, [](ScaleJob &j) {
        ExchangeSession session = j.session();
        std::int8_t number = 0;
        if (const ExchangeResult r = session.logged(Operation::ScaleNumber, askScaleNumber(session, number)); !r.ok) {
            j.prompter.message(r.message);
            return ScaleStatus::NoAnswer;
        }
        j.print(QString::number(number));
        return ScaleStatus::Done;
    });
}
