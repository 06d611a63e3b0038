// The sales history: taking in the receptions kept under totals/, and the sales of a
// period by product, day or scale.

#include "cli/CliCommand.h"

#include "link/ScaleList.h"
#include "products/ProductStore.h"
#include "sales/SalesHistory.h"
#include "sales/SalesReport.h"
#include "shared/Messages.h"
#include "shared/OutputFile.h"
#include "shared/ProgramLocale.h"
#include "totals/TotalsArchive.h"

#include <QDir>
#include <QFileInfo>

#include <map>

using namespace ztk;
using namespace ztk::cli;

constexpr CommandOption SalesFromOption{"from", "DATE", QT_TRANSLATE_NOOP("ztk-cli",
                                                            "the first day, YYYY-MM-DD (default: the first "
                                                            "reception)")};
constexpr CommandOption SalesToOption{"to", "DATE", QT_TRANSLATE_NOOP("ztk-cli",
                                                        "the last day, YYYY-MM-DD, included (default: the last "
                                                        "reception)")};
constexpr CommandOption SalesByOption{"by", "product|day|scale",
                                      QT_TRANSLATE_NOOP("ztk-cli", "one line per product (default), per day and "
                                                                   "product, or per scale and product")};
constexpr CommandOption SalesScalesOption{"scales", "NAME[,NAME...]",
                                          QT_TRANSLATE_NOOP("ztk-cli",
                                              "only these scales of the history (default all)")};
constexpr CommandOption SalesOutOption{"out", "FILE",
                                       QT_TRANSLATE_NOOP("ztk-cli", "writes a spreadsheet file instead: UTF-8 with a "
                                                                    "byte order mark, \";\" between fields, a "
                                                                    "decimal comma, CR LF")};

// Said in the help of both commands.
constexpr const char CountingRule[] = QT_TRANSLATE_NOOP(
    "ztk-cli",
    "Each sale is counted once. A scale's counters grow until they are cleared: between two receptions of a scale "
    "only the increase counts; after a clear made by this program (the totals window, totals --clear, "
    "totals-clear), which the history records, the next reception counts whole; a counter that went down without "
    "such a clear (cleared on the scale's own keyboard) counts whole from that reception on.");

ZTK_CLI_COMMAND(salesImport,
                {.name = "sales-import",
                 .arguments = "[FOLDER]",
                 .summary = QT_TRANSLATE_NOOP("ztk-cli", "takes the receptions kept under totals/ into the sales "
                                                         "history"),
                 .details = {QT_TRANSLATE_NOOP("ztk-cli", "Reads FOLDER (default totals/ of the working folder): its "
                                                          "images are the one scale's of fbdves.cfg, those of "
                                                          "FOLDER/NAME/ the scale NAME's, each dated by its file name "
                                                          "(YYYY-MM-DD_HH-MM-SS.bin). An image already in the history "
                                                          "is not taken again. A file of another size or whose name "
                                                          "is not a moment is named and skipped, the others taken; "
                                                          "the exit code is then 2."),
                             CountingRule}})
ZTK_CLI_COMMAND(sales,
                {.name = "sales",
                 .summary = QT_TRANSLATE_NOOP("ztk-cli", "the sales of a period by product, day or scale, from the "
                                                         "sales history"),
                 .options = {SalesFromOption, SalesToOption, SalesByOption, SalesScalesOption, SalesOutOption},
                 .details = {QT_TRANSLATE_NOOP("ztk-cli", "Every complete reception (the totals window, totals, the "
                                                          "nightly timer) is kept in the product store. Prints "
                                                          "tab-separated UTF-8 lines: the product's number, name, "
                                                          "amount (kilograms with three decimals for weighed goods, "
                                                          "pieces for piece goods), money and weighings; with --by "
                                                          "day or --by scale the day or the scale first; then a total "
                                                          "line. A day's sales are those of the receptions made that "
                                                          "day. A period without receptions gives only a total line "
                                                          "of zero."),
                             CountingRule}})

namespace {

struct ImportCount {
    int added = 0, there = 0, skipped = 0;
};

struct KeptFile {
    QDateTime moment;
    QString stem, path;
};

} // namespace

int salesImport(CliContext &ctx, const QStringList &args)
{
    Options o;
    if (const auto bad = parseOptions(ctx, args, o, 1))
        return *bad;
    const QString folder = QDir(ctx.workDir).filePath(o.words().value(0, QString::fromLatin1(KeptTotalsFolder)));
    if (!QFileInfo(folder).isDir()) {
        ctx.prompter.message(msg::text(msg::SalesNoFolder).arg(folder));
        return ExitBadUsage;
    }
    ImportCount count;
    // The images of each scale, by moment: taken in order, each is counted after the one before.
    std::map<QString, std::vector<KeptFile>> byScale;
    const auto take = [&](const QString &dir, const QString &scale) {
        for (const QFileInfo &f : QDir(dir).entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name)) {
            const std::optional<KeptName> name = keptNameOf(f.fileName());
            if (!name) {
                ctx.prompter.message(msg::text(msg::SalesNotAMoment).arg(f.filePath()));
                ++count.skipped;
                continue;
            }
            byScale[scale].push_back({name->moment, name->stem, f.filePath()});
        }
    };
    take(folder, ctx.scaleName(ctx.singleScale()));
    for (const QFileInfo &d : QDir(folder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        if (!ScaleList::validName(d.fileName())) {
            ctx.prompter.message(msg::text(msg::SalesNotAScale).arg(d.filePath()));
            ++count.skipped;
            continue;
        }
        take(d.filePath(), d.fileName());
    }

    ProductStore store;
    if (!ctx.openStore(store))
        return ExitBadUsage;
    SalesHistory history(store);
    for (auto &[scale, files] : byScale) {
        std::stable_sort(files.begin(), files.end(), [](const KeptFile &a, const KeptFile &b) { return a.moment < b.moment; });
        std::optional<QDateTime> earliest;
        for (const KeptFile &f : files) {
            const LoadedTotals loaded = loadKeptTotals(f.path);
            if (!loaded.image) {
                ctx.prompter.message(loaded.error);
                ++count.skipped;
                continue;
            }
            switch (history.storeReception(scale, f.moment, *loaded.image, f.stem, false)) {
            case SalesHistory::Stored::Added:
                ++count.added;
                if (!earliest)
                    earliest = f.moment;
                break;
            case SalesHistory::Stored::AlreadyThere:
                ++count.there;
                break;
            case SalesHistory::Stored::Failed:
                ctx.prompter.message(msg::text(msg::SalesNotStored).arg(history.errorText()));
                return ExitBadUsage;
            }
        }
        if (earliest && !history.countFrom(scale, *earliest)) {
            ctx.prompter.message(msg::text(msg::SalesNotStored).arg(history.errorText()));
            return ExitBadUsage;
        }
    }
    ctx.print(msg::text(msg::SalesImported).arg(count.added).arg(count.there).arg(count.skipped));
    return count.skipped == 0 ? ExitOk : ExitBadUsage;
}

int sales(CliContext &ctx, const QStringList &args)
{
    Options o;
    if (const auto bad = parseOptions(ctx, args, o))
        return *bad;
    SalesQuery query;
    for (auto [option, day] : {std::pair{&SalesFromOption, &query.period.from}, std::pair{&SalesToOption, &query.period.to}}) {
        if (const std::optional<QString> text = o.value(*option)) {
            *day = parseSalesDay(*text);
            if (!*day)
                return ctx.badUsage(msg::text(msg::SalesBadDate).arg(*text));
        }
    }
    if (query.period.from && query.period.to && *query.period.from > *query.period.to)
        return ctx.badUsage(msg::text(msg::SalesBadPeriod)
                                .arg(query.period.from->toString(Qt::ISODate), query.period.to->toString(Qt::ISODate)));
    if (const std::optional<QString> by = o.value(SalesByOption)) {
        const std::optional<SalesGrouping> grouping = parseSalesGrouping(*by);
        if (!grouping)
            return ctx.badUsage(QStringLiteral("ztk-cli: --by takes product, day or scale, not %1").arg(*by));
        query.by = *grouping;
    }

    ProductStore store;
    if (!ctx.openStoreForReading(store))
        return ExitBadUsage;
    SalesHistory history(store);
    if (const std::optional<QString> names = o.value(SalesScalesOption)) {
        QStringList known;
        if (!history.scales(known)) {
            ctx.prompter.message(history.errorText());
            return ExitBadUsage;
        }
        // A scale that left the list keeps its history; a name known nowhere is a slip.
        const ScaleList list = ScaleList::load(ctx.workDir, ctx.port);
        for (const ScaleEntry &s : list.scales())
            known << s.name;
        for (const QString &name : names->split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            if (!known.contains(name))
                return ctx.badUsage(msg::text(msg::SalesUnknownScale).arg(name));
            query.scales << name;
        }
        if (query.scales.isEmpty())
            return ctx.badUsage(QStringLiteral("ztk-cli: --scales names no scale"));
    }

    SalesListing listing;
    if (!history.listing(query, listing)) {
        ctx.prompter.message(history.errorText());
        return ExitBadUsage;
    }
    if (const std::optional<QString> out = o.value(SalesOutOption)) {
        const QString error =
            writeOutputFile(ctx.workDir, QDir(ctx.workDir).filePath(*out), salesCsv(listing, query.by), msg::FileNotWritten);
        if (!error.isEmpty()) {
            ctx.prompter.message(error);
            return ExitBadUsage;
        }
        return ExitOk;
    }
    for (const QString &line : salesLines(listing, query.by, programLocale().decimalPoint()))
        ctx.print(line);
    return ExitOk;
}
