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
#include "shared/OutputFile.h"
#include "shared/ProgramLocale.h"
#include "transfer/ProductList.h"

#include <QDir>
#include <QFile>

#include <cstdio>
#include <optional>

using namespace ztk;
using namespace ztk::cli;

constexpr CommandOption ReportOutOption{"out", "FILE", QT_TRANSLATE_NOOP("ztk-cli",
                                                           "writes the report into FILE instead of standard output")};

ZTK_CLI_COMMAND(exportProducts, {.name = "export",
                                 .arguments = "FILE",
                                 .summary = QT_TRANSLATE_NOOP("ztk-cli", "writes a selection into a product text file"),
                                 .options = {SelectionOption},
                                 .details = {QT_TRANSLATE_NOOP("ztk-cli",
                                                 "The file is written as the window's export writes it: code page "
                                                 "1251, CR LF, a decimal comma. Prints the number of products "
                                                 "written.")}})
ZTK_CLI_COMMAND(importProducts, {.name = "import",
                                 .arguments = "FILE",
                                 .summary = QT_TRANSLATE_NOOP("ztk-cli", "stores the records of a product text file"),
                                 .details = {QT_TRANSLATE_NOOP("ztk-cli",
                                                 "Each line is stored under the table's rules; lines that cannot be "
                                                 "read or stored are named on standard error (0 for a line without "
                                                 "a readable product number); exit 2 when the file does not open or "
                                                 "the table cannot be written. Prints the number of lines stored.")}})
ZTK_CLI_GUI_COMMAND(reportProducts,
                    {.name = "report",
                     .summary = QT_TRANSLATE_NOOP("ztk-cli", "the printed report: as text, or into FILE (.pdf: as "
                                                             "printed, landscape; any other name: RTF)"),
                     .options = {SelectionOption, ProductListOption, ReportOutOption}})

namespace {

// The command's options and its one file name; on bad usage the exit code to give.
std::optional<int> parseFileOptions(CliContext &ctx, const QStringList &args, Options &o)
{
    if (const auto bad = parseOptions(ctx, args, o, 1))
        return bad;
    if (o.words().isEmpty())
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
    if (!ctx.openSelection(sel, store, dataset))
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
    Options o;
    if (const auto bad = parseFileOptions(ctx, args, o))
        return *bad;
    ProductStore store;
    const auto rows = selectedRows(ctx, store, selectionOf(o));
    if (!rows)
        return ExitBadUsage;
    const QString error = writeOutputFile(ctx.workDir, inWorkDir(ctx, o.words().first()),
                                          productTextFileBytes(*rows, programLocale()), msg::FileNotWritten);
    if (!error.isEmpty()) {
        ctx.prompter.message(error);
        return ExitBadUsage;
    }
    ctx.print(QString::number(rows->size()));
    return ExitOk;
}

int importProducts(CliContext &ctx, const QStringList &args)
{
    Options o;
    if (const auto bad = parseFileOptions(ctx, args, o))
        return *bad;
    QFile file(inWorkDir(ctx, o.words().first()));
    if (!openImportFile(file)) {
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
    const ImportResult result = importProductText(store, file, settings);
    if (!result.opened) {
        ctx.prompter.message(msg::text(msg::FileDoesNotOpen));
        return ExitBadUsage;
    }
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
    Options o;
    if (const auto bad = parseOptions(ctx, args, o))
        return *bad;
    const auto filter = listFilter(ctx, o);
    if (!filter)
        return ExitBadUsage;
    ProductStore store;
    const auto rows = selectedRows(ctx, store, selectionOf(o));
    if (!rows)
        return ExitBadUsage;
    const QString report = buildReport(*rows, *filter, ctx.clock.now());
    const std::optional<QString> outFile = o.value(ReportOutOption);
    if (!outFile) {
        std::fputs(report.toUtf8().constData(), stdout);
        std::fflush(stdout);
        return ExitOk;
    }
    const QString out = inWorkDir(ctx, *outFile);
    const QByteArray bytes = out.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)
        ? reportPdf(report)
        : rtfDocument(report, QString::fromLatin1(ReportFontDesignFamily), ReportPointSize);
    const QString error = writeOutputFile(ctx.workDir, out, bytes, msg::FileNotWritten);
    if (!error.isEmpty()) {
        ctx.prompter.message(error);
        return ExitBadUsage;
    }
    return ExitOk;
}
