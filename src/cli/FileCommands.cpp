// The product table as text from the command line: export, import, and the printed
// report (as text, PDF or RTF).

#include "cli/CliCommand.h"
#include "cli/ListOption.h"

#include "products/ProductDataset.h"
#include "products/ProductImport.h"
#include "products/ProductReport.h"
#include "products/ProductStore.h"
#include "products/ProductTextFile.h"
#include "products/RtfWriter.h"
#include "products/Selection.h"
#include "products/print/ReportPrinter.h"
#include "shared/Files.h"
#include "shared/Messages.h"
#include "shared/ProgramLocale.h"
#include "transfer/ProductList.h"

#include <QDir>

#include <cstdio>
#include <optional>

using namespace ztk;
using namespace ztk::cli;

ZTK_CLI_COMMAND(exportProducts, "export", "FILE [--selection SEL]", "writes a selection into a product text file")
ZTK_CLI_COMMAND(importProducts, "import", "FILE", "stores the records of a product text file")
ZTK_CLI_GUI_COMMAND(reportProducts, "report", "[--selection SEL] [--list N,N,...] [--out FILE]",
                    "the printed report: as text, or into FILE (.pdf: as printed; otherwise RTF)")

namespace {

struct FileOptions {
    QString file;
    QString selection = QStringLiteral("all");
    std::optional<QString> list;
    std::optional<QString> out;
};

// Options and at most `files` plain arguments; on bad usage the exit code to give.
std::optional<int> parseFileOptions(CliContext &ctx, QStringList args, FileOptions &o, int files,
                                    const QStringList &allowed)
{
    int plain = 0;
    while (!args.isEmpty()) {
        QString opt = args.takeFirst();
        if (!opt.startsWith(QLatin1String("--"))) {
            if (++plain > files)
                return ctx.badUsage(QStringLiteral("ztk-cli: unexpected %1").arg(opt));
            o.file = opt;
            continue;
        }
        QString value;
        const qsizetype eq = opt.indexOf(QLatin1Char('='));
        if (eq > 0) {
            value = opt.mid(eq + 1);
            opt.truncate(eq);
        } else {
            if (args.isEmpty())
                return ctx.badUsage(QStringLiteral("ztk-cli: %1 needs a value").arg(opt));
            value = args.takeFirst();
        }
        if (!allowed.contains(opt))
            return ctx.badUsage(QStringLiteral("ztk-cli: unknown option %1").arg(opt));
        if (opt == QLatin1String("--selection"))
            o.selection = value;
        else if (opt == QLatin1String("--list"))
            o.list = value;
        else
            o.out = value;
    }
    if (plain < files)
        return ctx.badUsage(QStringLiteral("ztk-cli: FILE is missing"));
    return std::nullopt;
}

// The rows of a selection; nothing on bad input (the message shown).
std::optional<std::vector<Product>> selectedRows(CliContext &ctx, ProductStore &store, const QString &selection)
{
    const ParsedSelection sel = parseSelectionArgument(selection, ctx.clock.now().date());
    if (!sel.ok) {
        ctx.prompter.message(sel.error);
        return std::nullopt;
    }
    ProductDataset dataset(store, ctx.clock, ctx.prompter);
    if (!ctx.openSelection(sel.sql, store, dataset))
        return std::nullopt;
    return selectionRows(dataset);
}


QString inWorkDir(const CliContext &ctx, const QString &file)
{
    return QDir(ctx.workDir).filePath(file);
}

} // namespace

int exportProducts(CliContext &ctx, const QStringList &args)
{
    FileOptions o;
    if (const auto bad = parseFileOptions(ctx, args, o, 1, {QStringLiteral("--selection")}))
        return *bad;
    ProductStore store;
    const auto rows = selectedRows(ctx, store, o.selection);
    if (!rows)
        return ExitBadUsage;
    QString error;
    if (!writeProductTextFile(inWorkDir(ctx, o.file), *rows, programLocale(), &error)) {
        ctx.prompter.message(error);
        return ExitBadUsage;
    }
    ctx.print(QString::number(rows->size()));
    return ExitOk;
}

int importProducts(CliContext &ctx, const QStringList &args)
{
    FileOptions o;
    if (const auto bad = parseFileOptions(ctx, args, o, 1, {}))
        return *bad;
    const auto lines = readProductTextFile(inWorkDir(ctx, o.file));
    if (!lines) {
        ctx.prompter.message(msg::text(msg::FileDoesNotOpen));
        return ExitBadUsage;
    }
    ProductStore store;
    if (!ctx.openStore(store))
        return ExitBadUsage;
    ImportSettings settings;
    settings.clock = &ctx.clock;
    settings.prompter = &ctx.prompter;
    settings.locale = programLocale();
    const ImportResult result = storeImportLines(store, *lines, settings);
    if (!result.storeError.isEmpty()) {
        ctx.prompter.message(result.storeError);
        return ExitBadUsage;
    }
    if (!result.badLines.isEmpty())
        ctx.prompter.message(result.badLines.message());
    ctx.print(QString::number(result.storedLines));
    return ExitOk;
}

int reportProducts(CliContext &ctx, const QStringList &args)
{
    FileOptions o;
    if (const auto bad = parseFileOptions(ctx, args, o, 0,
                                          {QStringLiteral("--selection"), QStringLiteral("--list"), QStringLiteral("--out")}))
        return *bad;
    const auto filter = listFilter(ctx, o.list);
    if (!filter)
        return ExitBadUsage;
    ProductStore store;
    const auto rows = selectedRows(ctx, store, o.selection);
    if (!rows)
        return ExitBadUsage;
    const QString report = buildReport(*rows, *filter, ctx.clock.now());
    if (!o.out) {
        std::fputs(report.toUtf8().constData(), stdout);
        std::fflush(stdout);
        return ExitOk;
    }
    const QString out = inWorkDir(ctx, *o.out);
    QString error;
    const bool ok = out.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)
        ? printReportPdf(out, report, &error)
        : writeWholeFile(out, rtfDocument(report, QString::fromLatin1(ReportFontDesignFamily), ReportPointSize), &error);
    if (!ok) {
        ctx.prompter.message(error);
        return ExitBadUsage;
    }
    return ExitOk;
}
