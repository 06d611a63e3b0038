// The totals commands: receiving (or reading a kept image), printing and saving the
// totals text, and clearing totals in the scale.

#include "cli/CliCommand.h"

#include "products/ProductDataset.h"
#include "products/ProductStore.h"
#include "products/Selection.h"
#include "shared/Files.h"
#include "shared/Messages.h"
#include "shared/ProgramLocale.h"
#include "totals/SelectionProducts.h"
#include "totals/TotalsArchive.h"
#include "totals/TotalsExchange.h"
#include "totals/TotalsRows.h"
#include "totals/TotalsText.h"

#include <QDir>
#include <QLocale>

#include <cstdio>

using namespace ztk;
using namespace ztk::cli;

ZTK_CLI_COMMAND(totals,
                {.name = "totals",
                 .summary = "receives the totals (or reads a kept image) and prints the totals text",
                 .options = {SelectionOption,
                             {"image", "FILE", "reads a kept reception instead of asking the scale"},
                             {"out", "FILE", "writes the totals file (code page 1251, CR LF) as the totals window saves it"},
                             {"clear", nullptr, "then clears the totals of every listed product in the scale"}},
                 .details = "Every complete reception is kept as its raw bytes in totals/YYYY-MM-DD_HH-MM-SS.bin of "
                            "the working folder, so that totals cleared in the scale without being saved can still be "
                            "shown and saved with --image."})
ZTK_CLI_COMMAND(totalsClear, {.name = "totals-clear",
                              .arguments = "N[,N,...]",
                              .summary = "clears the totals of the products in the scale"})

namespace {

struct TotalsOptions {
    QString selection = QStringLiteral("all");
    std::optional<QString> image;
    std::optional<QString> out;
    bool clear = false;
};

std::optional<int> parseOptions(CliContext &ctx, const QStringList &args, TotalsOptions &o)
{
    const QString selection = QStringLiteral("--selection"), image = QStringLiteral("--image"),
                  out = QStringLiteral("--out"), clear = QStringLiteral("--clear");
    QMap<QString, QString> given;
    if (const auto bad = cli::parseOptions(ctx, args, given))
        return bad;
    o.selection = given.value(selection, o.selection);
    if (given.contains(image))
        o.image = given.value(image);
    if (given.contains(out))
        o.out = given.value(out);
    o.clear = given.contains(clear);
    // A kept image is an old state of the scale: clearing by it could wipe newer sales.
    if (o.image && o.clear)
        return ctx.badUsage(QStringLiteral("ztk-cli: --clear needs a reception, not --image"));
    return std::nullopt;
}

// The selection's products; nothing on bad input (the message has been shown).
std::optional<std::vector<TotalsProduct>> selectionProducts(CliContext &ctx, const QString &selection)
{
    const ParsedSelection sel = parseSelectionArgument(selection, ctx.clock.now().date());
    if (!sel.ok) {
        ctx.prompter.message(sel.error);
        return std::nullopt;
    }
    ProductStore store;
    ProductDataset dataset(store, ctx.clock, ctx.prompter);
    if (!ctx.openSelection(sel.sql, store, dataset))
        return std::nullopt;
    return totalsProducts(dataset);
}


} // namespace

int totals(CliContext &ctx, const QStringList &args)
{
    TotalsOptions o;
    if (const auto bad = parseOptions(ctx, args, o))
        return *bad;
    const auto products = selectionProducts(ctx, o.selection);
    if (!products)
        return ExitBadUsage;

    std::optional<TotalsImage> image;
    if (o.image) {
        LoadedTotals loaded = loadKeptTotals(QDir(ctx.workDir).filePath(*o.image));
        if (!loaded.image) {
            ctx.prompter.message(loaded.error);
            return ExitBadUsage;
        }
        image = std::move(loaded.image);
    } else {
        ScaleLink *link = ctx.link();
        if (!link)
            return ExitNoAnswer;
        int shown = -1;
        image = receiveTotals(*link, ctx.clock, ctx.pump, [&](int received) {
            const int percent = totalsPercent(received);
            if (percent == shown)
                return;
            shown = percent;
            std::fprintf(stderr, "\r%s %3d%%", msg::TotalsCaption, percent);
            std::fflush(stderr);
        });
        if (shown >= 0)
            std::fputc('\n', stderr);
        if (!image) {
            ctx.prompter.message(msg::text(msg::NoLink));
            return ExitNoAnswer;
        }
        const KeepResult kept = keepTotals(ctx.workDir, *image, ctx.clock.now());
        if (!kept.ok)
            ctx.prompter.message(kept.error);
    }

    const TotalsTable table = buildTotalsRows(*image, TotalsLookup(*products), programLocale().decimalPoint());
    const QStringList lines = totalsLines(totalsHeaders(), table.cells());
    for (const QString &line : lines)
        ctx.print(line);

    if (o.out) {
        QString error;
        if (!writeTotalsFile(QDir(ctx.workDir).filePath(*o.out), totalsFileBytes(lines), &error)) {
            ctx.prompter.message(error);
            return ExitBadUsage; // not saved: nothing is cleared either
        }
    }
    if (o.clear) {
        ScaleLink *link = ctx.link();
        for (const TotalsRow &row : table.rows)
            clearTotals(*link, row.number);
    }
    return ExitOk;
}

int totalsClear(CliContext &ctx, const QStringList &args)
{
    if (args.size() != 1)
        return ctx.badUsage(QStringLiteral("ztk-cli: totals-clear takes one list of product numbers"));
    std::vector<int> numbers;
    for (const QString &part : args.first().split(QLatin1Char(','))) {
        bool ok = false;
        const int n = part.trimmed().toInt(&ok);
        if (!ok)
            return ctx.badUsage(msg::text(msg::NotAnInteger).arg(part));
        if (!clearTotalsCommand(n))
            return ctx.badUsage(QStringLiteral("ztk-cli: product number %1 is not 1..5000").arg(n));
        numbers.push_back(n);
    }
    ScaleLink *link = ctx.link();
    if (!link)
        return ExitNoAnswer;
    for (int n : numbers)
        clearTotals(*link, n);
    return ExitOk;
}
