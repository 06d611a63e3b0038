// The journal of exchanges: every exchange with a scale, from any PC of the store.

#include "cli/CliCommand.h"

#include "products/ProductStore.h"
#include "transfer/ExchangeJournal.h"

#include <QDate>

using namespace ztk;
using namespace ztk::cli;

constexpr CommandOption SinceOption{"since", "DATE", QT_TRANSLATE_NOOP("ztk-cli",
                                                         "the exchanges begun on that day (YYYY-MM-DD) or later")};
constexpr CommandOption ScaleOption{"scale", "NAME", QT_TRANSLATE_NOOP("ztk-cli",
                                                         "the exchanges with that scale only")};
constexpr CommandOption FailedOption{"failed", nullptr, QT_TRANSLATE_NOOP("ztk-cli", "the exchanges that failed only")};

ZTK_CLI_COMMAND(journal,
                {.name = "journal",
                 .summary = QT_TRANSLATE_NOOP("ztk-cli", "lists the exchanges with the scales, newest last"),
                 .options = {SinceOption, ScaleOption, FailedOption},
                 .details = {QT_TRANSLATE_NOOP("ztk-cli", "Every exchange with a scale, from the windows, ztk-cli "
                                                          "or the watch of any PC sharing the store, is journalled "
                                                          "in the product store. One line per exchange, "
                                                          "tab-separated: started, ended, host, user, scale, port, "
                                                          "operation, products written, read, cleared, outcome (ok "
                                                          "or failed), the message shown. Rows older than a year "
                                                          "are removed.")}})

int journal(CliContext &ctx, const QStringList &args)
{
    Options o;
    if (const auto bad = parseOptions(ctx, args, o))
        return *bad;
    JournalFilter filter;
    if (const std::optional<QString> since = o.value(SinceOption)) {
        const QDate day = QDate::fromString(*since, QStringLiteral("yyyy-MM-dd"));
        if (!day.isValid())
            return ctx.badUsage(QStringLiteral("ztk-cli: %1 takes YYYY-MM-DD").arg(dashedName(SinceOption)));
        filter.since = day;
    }
    filter.scale = o.value(ScaleOption, QString());
    filter.failedOnly = o.flag(FailedOption);

    ProductStore store;
    if (!ctx.openStoreForReading(store))
        return ExitBadUsage;
    std::vector<JournalRow> rows;
    if (!ExchangeJournal::prune(store, ctx.clock.now()) || !ExchangeJournal::list(store, filter, rows)) {
        ctx.prompter.message(store.errorText());
        return ExitBadUsage;
    }
    for (const JournalRow &row : rows)
        ctx.print(ExchangeJournal::line(row));
    return ExitOk;
}
