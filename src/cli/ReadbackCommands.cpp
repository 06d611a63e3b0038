// Reading products back from the scale (and storing them), clearing products in the scale.

#include "cli/CliCommand.h"
#include "cli/RangeOption.h"

#include "products/ProductStore.h"
#include "shared/Files.h"
#include "shared/Messages.h"
#include "transfer/ScaleState.h"
#include "shared/OutputFile.h"
#include "transfer/ProductClearer.h"
#include "transfer/ProductReader.h"
#include "transfer/ReadbackRow.h"
#include "transfer/ReadbackSaver.h"

#include <QDir>
#include <QLocale>

#include <cstdio>
#include <optional>
#include <vector>

using namespace ztk;
using namespace ztk::cli;

constexpr CommandOption RecordsOutOption{"out", "FILE", QT_TRANSLATE_NOOP("ztk-cli",
                                                            "keeps the records received (256 bytes each) in FILE")};
constexpr CommandOption SaveOption{"save", nullptr,
                                   QT_TRANSLATE_NOOP("ztk-cli", "stores the products read into the product table, as "
                                                                "the read-back window's save does")};

ZTK_CLI_COMMAND(readProducts,
                {.name = "read-products",
                 .summary = QT_TRANSLATE_NOOP("ztk-cli", "reads products A..B (1..5000) from the scale and lists "
                                                         "them; --save stores them"),
                 .options = {FromOption, ToOption, RecordsOutOption, SaveOption},
                 .details = {QT_TRANSLATE_NOOP("ztk-cli", "Prints a header line, then the twelve cells of each "
                                                          "product read, tab-separated.")}})
ZTK_CLI_COMMAND(clearProducts, {.name = "clear-products",
                                .arguments = "A[-B]",
                                .summary = QT_TRANSLATE_NOOP("ztk-cli",
                                               "clears products A..B in the scale, 150 ms apart"),
                                .details = {QT_TRANSLATE_NOOP("ztk-cli",
                                                "A single number clears one product. Numbers lie within 1..5000.")}})

namespace {

// The program's cells whatever the shell's locale: a decimal comma.
QLocale programLocale()
{
    return QLocale(QLocale::Russian, QLocale::Russia);
}

std::optional<int> productNumber(const QString &text)
{
    const auto n = readback::fieldNumber(text);
    if (!n || *n < readback::FirstNumber || *n > readback::LastNumber)
        return std::nullopt;
    return n;
}

bool validRange(int first, int last)
{
    return first >= readback::FirstNumber && first <= last && last <= readback::LastNumber;
}


} // namespace

int readProducts(CliContext &ctx, const QStringList &args)
{
    Options o;
    if (const auto bad = parseOptions(ctx, args, o))
        return *bad;
    const std::optional<readback::Range> range = readRange(ctx, o);
    if (!range)
        return ExitBadUsage;
    const std::optional<QString> outFile = o.value(RecordsOutOption);
    const bool save = o.flag(SaveOption);
    // The store and the output are checked before the scale is asked, so that they cost no read.
    const QString out = outFile ? QDir(ctx.workDir).filePath(*outFile) : QString();
    if (const QString refused = outFile ? refusedOutput(ctx.workDir, out, msg::CannotWriteFile) : QString();
        !refused.isEmpty()) {
        ctx.prompter.message(refused);
        return ExitBadUsage;
    }
    ProductStore store;
    if (save && !ctx.openStore(store))
        return ExitBadUsage;
    ScaleLink *link = ctx.link(Operation::ReadProducts);
    if (!link)
        return ctx.linkFailure();

    const QLocale locale = programLocale();
    const QDate today = ctx.clock.now().date();
    const int count = range->count();
    std::vector<QStringList> rows;
    std::vector<readback::RowFields> toSave;
    QByteArray records;
    rows.reserve(std::size_t(count));
    const auto state = ctx.keepState();
    ExchangeSession session(*link, ctx.clock, ctx.pump, [](const ProgressStep &step) {
        std::fprintf(stderr, "\r%s %d/%d", msg::ReadCaption, step.done, step.total);
        std::fflush(stderr);
    });
    session.watcher = state->state();
    session.log = ctx.journalOf(ctx.singleScale());
    const ExchangeResult r = session.logged(
        Operation::ReadProducts,
        readProducts(session, range->first, range->last, [&](int, int number, const ProductRecord &record) {
            rows.push_back(readback::cellsOf(number, record, locale));
            if (!readback::skippedBySave(record))
                toSave.push_back(readback::fieldsOf(number, record, today));
            records.append(reinterpret_cast<const char *>(record.bytes.data()), ProductRecord::Size);
        }));
    std::fprintf(stderr, "\r%s %d/%d\n", msg::ReadCaption, r.done, count);

    // What came is listed also after a time-out; nothing is written or stored then.
    ctx.print(readback::columnHeaders().join(QLatin1Char('\t')));
    for (const QStringList &cells : rows)
        ctx.print(cells.join(QLatin1Char('\t')));
    if (!r.ok) {
        ctx.prompter.message(r.message);
        return ExitNoAnswer;
    }

    if (outFile) {
        if (const QString error = writeOutputFile(ctx.workDir, out, records, msg::CannotWriteFile); !error.isEmpty()) {
            ctx.prompter.message(error);
            return ExitBadUsage;
        }
    }
    if (save) {
        ReadbackSaver saver(store, ctx.clock, ctx.prompter, TypeRule::Keep, locale);
        const SaveResult saved = saver.save(toSave);
        if (!saved.error.isEmpty())
            ctx.prompter.message(saved.error);
        if (!saved.incorrect.isEmpty())
            ctx.prompter.message(incorrectRecordsText(saved.incorrect), msg::text(msg::BadLinesCaption));
        if (!saved.error.isEmpty() || !saved.incorrect.isEmpty())
            return ExitBadUsage;
    }
    return ExitOk;
}

int clearProducts(CliContext &ctx, const QStringList &args)
{
    if (args.size() != 1)
        return ctx.badUsage(QStringLiteral("ztk-cli: clear-products takes one range"));
    const QStringList ends = args.first().split(QLatin1Char('-'));
    const auto first = productNumber(ends.value(0));
    const auto last = ends.size() == 1 ? first : productNumber(ends.value(1));
    if (ends.size() > 2 || !first || !last || !validRange(*first, *last))
        return ctx.badUsage(QStringLiteral("ztk-cli: bad range '%1' (A or A-B within 1..5000)").arg(args.first()));
    ScaleLink *link = ctx.link(Operation::ClearProducts);
    if (!link)
        return ctx.linkFailure();
    bool shown = false;
    const int from = *first;
    const auto state = ctx.keepState();
    ExchangeSession session(*link, ctx.clock, ctx.pump, [&shown, from](const ProgressStep &step) {
        std::fprintf(stderr, "\r%d %3d%%", from + step.done - 1, step.percent);
        std::fflush(stderr);
        shown = true;
    });
    session.watcher = state->state();
    session.log = ctx.journalOf(ctx.singleScale());
    const ExchangeResult r = session.logged(Operation::ClearProducts, clearProducts(session, *first, *last));
    if (shown)
        std::fputc('\n', stderr);
    if (!r.ok) {
        ctx.prompter.message(r.message);
        return ExitNoAnswer;
    }
    return ExitOk;
}
