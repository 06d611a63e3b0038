// The totals commands: receiving (or reading a kept image), printing and saving the
// totals text, and clearing totals in the scale.

#include "cli/CliCommand.h"
#include "cli/ScalesOption.h"

#include "products/ProductDataset.h"
#include "products/ProductStore.h"
#include "products/Selection.h"
#include "sales/SalesRecorder.h"
#include "shared/Files.h"
#include "shared/Messages.h"
#include "shared/OutputFile.h"
#include "shared/ProgramLocale.h"
#include "totals/SelectionProducts.h"
#include "totals/TotalsArchive.h"
#include "totals/TotalsExchange.h"
#include "totals/TotalsRows.h"
#include "totals/TotalsText.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <functional>

using namespace ztk;
using namespace ztk::cli;

constexpr CommandOption ImageOption{"image", "FILE", QT_TRANSLATE_NOOP("ztk-cli",
                                                         "reads a kept reception instead of asking the scale")};
constexpr CommandOption TotalsOutOption{"out", "FILE",
                                        QT_TRANSLATE_NOOP("ztk-cli", "writes the totals file (code page 1251, CR LF) "
                                                                     "as the totals window saves it")};
constexpr CommandOption ClearOption{"clear", nullptr, QT_TRANSLATE_NOOP("ztk-cli",
                                                          "then clears the totals of every listed product in the "
                                                          "scale")};

ZTK_CLI_COMMAND(totals,
                {.name = "totals",
                 .summary = QT_TRANSLATE_NOOP("ztk-cli", "receives the totals (or reads a kept image) and prints the "
                                                         "totals text"),
                 .options = {SelectionOption, ImageOption, TotalsOutOption, ClearOption},
                 .details = {QT_TRANSLATE_NOOP("ztk-cli", "Every complete reception is kept as its raw bytes in "
                                                          "totals/YYYY-MM-DD_HH-MM-SS.bin of the working folder, so "
                                                          "that totals cleared in the scale without being saved can "
                                                          "still be shown and saved with --image. The package's "
                                                          "user timer ztk-totals.timer receives and keeps the "
                                                          "totals of every listed scale each night at 23:30 "
                                                          "(cleared after, with ZTK_TOTALS_OPTIONS=--clear in "
                                                          "~/.config/ztk/totals.env).")}})
ZTK_CLI_COMMAND(totalsClear, {.name = "totals-clear",
                              .arguments = "N[,N,...]",
                              .summary = QT_TRANSLATE_NOOP("ztk-cli", "clears the totals of the products in the "
                                                                      "scale")})

namespace {

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
    if (!ctx.openSelection(sel, store, dataset))
        return std::nullopt;
    return totalsProducts(dataset);
}


// "day.txt" for scale "kassa1": "day-kassa1.txt"; for the one scale of the port, as given.
QString scaleFileName(const QString &file, const QString &scale)
{
    if (scale.isEmpty())
        return file;
    const QFileInfo info(file);
    const QString suffix = info.suffix();
    const QString stem = suffix.isEmpty() ? info.fileName() : info.completeBaseName();
    const QString name = stem + QLatin1Char('-') + scale + (suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix);
    return info.path() == QLatin1String(".") && !file.startsWith(QLatin1String("./")) ? name : QDir(info.path()).filePath(name);
}

} // namespace

int totals(CliContext &ctx, const QStringList &args)
{
    Options o;
    if (const auto bad = parseOptions(ctx, args, o))
        return *bad;
    const std::optional<QString> imageFile = o.value(ImageOption), outFile = o.value(TotalsOutOption);
    const bool clear = o.flag(ClearOption);
    // A kept image is an old state of the scale: clearing by it could wipe newer sales.
    if (imageFile && clear)
        return ctx.badUsage(QStringLiteral("ztk-cli: %1 needs a reception, not %2")
                                .arg(dashedName(ClearOption), dashedName(ImageOption)));
    const auto products = selectionProducts(ctx, selectionOf(o));
    if (!products)
        return ExitBadUsage;

    // Prints the totals text of `image`, saves it into `out` when given; false when not saved.
    const auto show = [&](const TotalsImage &image, const std::function<void(const QString &)> &print,
                          Prompter &prompter, const QString &out, TotalsTable &table) {
        table = buildTotalsRows(image, TotalsLookup(*products), programLocale().decimalPoint());
        const QStringList lines = totalsLines(totalsHeaders(), table.cells());
        for (const QString &line : lines)
            print(line);
        QString error;
        if (!out.isEmpty() && !writeTotalsFile(ctx.workDir, QDir(ctx.workDir).filePath(out), totalsFileBytes(lines), &error)) {
            prompter.message(error);
            return false;
        }
        return true;
    };

    if (imageFile) {
        if (ctx.manyScales())
            return ctx.badUsage(QStringLiteral("ztk-cli: %1 shows a kept image, not the totals of %2")
                                    .arg(dashedName(ImageOption), dashedName(ScalesOption)));
        LoadedTotals loaded = loadKeptTotals(QDir(ctx.workDir).filePath(*imageFile));
        if (!loaded.image) {
            ctx.prompter.message(loaded.error);
            return ExitBadUsage;
        }
        TotalsTable table;
        return show(*loaded.image, [&ctx](const QString &line) { ctx.print(line); }, ctx.prompter,
                    outFile.value_or(QString()), table)
            ? ExitOk
            : ExitBadUsage;
    }
    // A refused output costs no reception: each scale's file is looked at first.
    if (outFile) {
        QStringList targets;
        for (const ScaleEntry &s : ctx.scales)
            targets << scaleFileName(*outFile, s.name);
        if (targets.isEmpty())
            targets << *outFile;
        for (const QString &target : targets) {
            const QString refused = refusedOutput(ctx.workDir, QDir(ctx.workDir).filePath(target), msg::TotalsCannotWrite);
            if (!refused.isEmpty()) {
                ctx.prompter.message(refused);
                return ExitBadUsage;
            }
        }
    }
    return ctx.onScales(
        Operation::ReceiveTotals,
        [&](ScaleJob &j) {
            ExchangeSession session = j.session();
            std::optional<TotalsImage> image(std::in_place);
            if (const ExchangeResult r = session.logged(Operation::ReceiveTotals, receiveTotals(session, *image)); !r.ok) {
                j.prompter.message(r.message);
                return ScaleStatus::NoAnswer;
            }
            // Totals are cleared only once the reception is kept on disk and the file
            // asked for is written: a full disk must not cost the day's sales.
            const QDateTime completed = j.clock.now();
            const KeepResult kept = keepTotals(ctx.workDir, *image, completed, j.scale.name);
            SalesRecorder history(ctx.workDir, ctx.storeUrl, ctx.scaleName(j.scale), j.prompter);
            history.reception(completed, *image, kept);
            if (!kept.ok) {
                j.prompter.message(kept.error);
                if (clear)
                    return ScaleStatus::BadInput;
            }
            TotalsTable table;
            if (!show(*image, j.print, j.prompter, outFile ? scaleFileName(*outFile, j.scale.name) : QString(), table))
                return ScaleStatus::BadInput; // not saved: nothing is cleared either
            if (clear) {
                std::vector<int> numbers;
                for (const TotalsRow &row : table.rows)
                    numbers.push_back(row.number);
                const ExchangeResult r = session.logged(Operation::ClearTotals, clearTotals(session, numbers));
                history.cleared(j.clock.now(), std::span(numbers).first(std::size_t(r.done)));
                if (!r.ok) {
                    j.prompter.message(r.message);
                    return ScaleStatus::NoAnswer;
                }
            }
            return ScaleStatus::Done;
        },
        msg::text(msg::TotalsCaption));
}

int totalsClear(CliContext &ctx, const QStringList &args)
{
    if (args.size() != 1)
        return ctx.badUsage(QStringLiteral("ztk-cli: totals-clear takes one list of product numbers"));
    std::vector<int> numbers;
    for (const QString &part : args.first().split(QLatin1Char(','))) {
        const std::optional<std::int32_t> n = wholeNumberArgument(ctx, part, Refusal::BadUsage);
        if (!n)
            return ExitBadUsage;
        if (!clearableTotals(*n))
            return ctx.badUsage(QStringLiteral("ztk-cli: product number %1 is not 1..5000").arg(*n));
        numbers.push_back(*n);
    }
    ScaleLink *link = ctx.link(Operation::ClearTotals);
    if (!link)
        return ctx.linkFailure();
    ExchangeSession session(*link, ctx.clock, ctx.pump);
    session.log = ctx.journalOf(ctx.singleScale());
    const ExchangeResult r = session.logged(Operation::ClearTotals, clearTotals(session, numbers));
    SalesRecorder(ctx.workDir, ctx.storeUrl, ctx.scaleName(ctx.singleScale()), ctx.prompter)
        .cleared(ctx.clock.now(), std::span(numbers).first(std::size_t(r.done)));
    if (!r.ok) {
        ctx.prompter.message(r.message);
        return ExitNoAnswer;
    }
    return ExitOk;
}
