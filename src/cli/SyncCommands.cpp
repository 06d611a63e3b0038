// Keeping the scales in step with the product table: sync sends what changed, compare
// reads the scale back and says what differs.

#include "cli/CliCommand.h"
#include "cli/RangeOption.h"

#include "products/ProductDataset.h"
#include "products/ProductStore.h"
#include "products/Selection.h"
#include "shared/Messages.h"
#include "transfer/ProductImage.h"
#include "transfer/ProductReader.h"
#include "transfer/ScaleState.h"
#include "transfer/ScaleSync.h"

#include <QCoreApplication>
#include <QSysInfo>

#include <memory>

using namespace ztk;
using namespace ztk::cli;

constexpr CommandOption FullOption{"full", nullptr, "forgets what the scale is known to hold and writes every product"};
constexpr CommandOption DryRunOption{"dry-run", nullptr, "prints what would be written and cleared, and sends nothing"};

ZTK_CLI_COMMAND(sync,
                {.name = "sync",
                 .summary = "brings each scale in step with the product table, sending only what changed",
                 .options = {FullOption, DryRunOption},
                 .details = "Asks the scale's number, writes the products whose record differs from what the scale "
                            "is known to hold (or whose slot is unknown), then clears the products it holds that the "
                            "table no longer has. What each scale holds is kept in the product store. A scale whose "
                            "number is not the list's is forgotten and written whole. Prints one line per scale: "
                            "written, cleared, unchanged, unknown slots."})
ZTK_CLI_COMMAND(compare,
                {.name = "compare",
                 .summary = "reads products A..B back and lists those that differ from the product table",
                 .options = {FromOption, ToOption},
                 .details = "One line per product that differs, is only in the scale or only in the table, then a "
                            "summary line; what was read is kept as what the scale holds. Exit 0 whether they differ "
                            "or not."})

namespace {

// A sync on another PC that has not been seen for this long has gone.
constexpr int StaleSyncSeconds = 120;

// Every product of the table as the image build makes it; nothing on bad input (shown).
std::unique_ptr<ProductImage> tableImage(CliContext &ctx, ProductStore &store)
{
    ProductDataset dataset(store, ctx.clock, ctx.prompter);
    if (!ctx.openSelection(parseSelectionArgument(QStringLiteral("all"), ctx.clock.now().date()), store, dataset))
        return nullptr;
    auto image = std::make_unique<ProductImage>();
    image->build(selectionRows(dataset), std::nullopt, ctx.clock.now().date());
    if (!ScaleState::prepare(store)) {
        ctx.prompter.message(store.errorText());
        return nullptr;
    }
    return image;
}

// The number the list gives the scale; for the one scale of the port, the list's scale
// on that port, else the last scale number of "fbdves.cfg".
int expectedNumber(const CliContext &ctx, const ScaleEntry &scale)
{
    if (!scale.name.isEmpty())
        return scale.number;
    const ScaleList list = ScaleList::load(ctx.workDir, ctx.port);
    for (const ScaleEntry &s : list.scales()) {
        if (s.port == scale.port)
            return s.number;
    }
    return int(ctx.port.lastScaleNumber);
}

QString thisHolder()
{
    return QStringLiteral("%1:%2").arg(QSysInfo::machineHostName()).arg(QCoreApplication::applicationPid());
}

} // namespace

int sync(CliContext &ctx, const QStringList &args)
{
    Options o;
    if (const auto bad = parseOptions(ctx, args, o))
        return *bad;
    ProductStore store;
    const std::unique_ptr<ProductImage> table = tableImage(ctx, store);
    if (!table)
        return ExitBadUsage;

    if (o.flag(DryRunOption)) {
        const QList<ScaleEntry> scales = ctx.manyScales() ? ctx.scales : QList<ScaleEntry>{ctx.singleScale()};
        for (const ScaleEntry &scale : scales) {
            ScaleState state(store, ctx.scaleName(scale), ctx.clock);
            QString error;
            const SyncReport report = planOnly(state, *table, o.flag(FullOption), &error);
            if (!error.isEmpty()) {
                ctx.prompter.message(error);
                return ExitBadUsage;
            }
            const QString lead = ctx.manyScales() ? scale.name + QStringLiteral(": ") : QString();
            for (const QString &line : planLines(report.plan, *table))
                ctx.print(lead + line);
            ctx.print(lead + report.line());
        }
        return ExitOk;
    }

    const bool full = o.flag(FullOption);
    return ctx.onScales(
        [&](ScaleJob &j) {
            OwnScaleState own(ctx.workDir, ctx.storeUrl, ctx.scaleName(j.scale), j.clock, &j.prompter);
            ScaleState *state = own.state();
            if (!state) {
                j.prompter.message(msg::text(msg::StateNotKept).arg(own.error()));
                return ScaleStatus::BadInput;
            }
            // Two PCs at one scale would each send what the other already sent.
            QString heldBy;
            if (!state->claim(thisHolder(), StaleSyncSeconds, heldBy)) {
                j.prompter.message(msg::text(msg::SyncHeldBy).arg(heldBy.isEmpty() ? state->error() : heldBy));
                return ScaleStatus::BadInput;
            }
            ExchangeSession session = j.session();
            SyncReport report;
            const ExchangeResult r =
                syncScale(session, *state, *table, SyncSettings{expectedNumber(ctx, j.scale), full}, report);
            if (!report.note.isEmpty())
                j.prompter.message(report.note);
            if (!r.ok)
                j.prompter.message(r.message);
            j.print(report.line());
            state->recordSync(r.ok ? report.line() : r.message);
            state->release();
            return r.ok ? ScaleStatus::Done : ScaleStatus::NoAnswer;
        },
        msg::text(msg::SyncCaption));
}

int compare(CliContext &ctx, const QStringList &args)
{
    Options o;
    if (const auto bad = parseOptions(ctx, args, o))
        return *bad;
    const std::optional<readback::Range> range = readRange(ctx, o);
    if (!range)
        return ExitBadUsage;
    ProductStore store;
    const std::unique_ptr<ProductImage> table = tableImage(ctx, store);
    if (!table)
        return ExitBadUsage;
    return ctx.onScales(
        [&](ScaleJob &j) {
            const auto state = ctx.keepState(j);
            ExchangeSession session = j.session();
            int differs = 0, onlyScale = 0, onlyTable = 0;
            const ExchangeResult r = readProducts(session, range->first, range->last,
                                                  [&](int, int number, const ProductRecord &record) {
                const int slot = number - 1;
                const bool inTable = !table->slotEmpty(slot);
                const bool inScale = !record.isEmpty();
                if (inTable && inScale) {
                    if (std::equal(record.bytes.begin(), record.bytes.end(), table->slotData(slot))) // alike
                        return;
                    ++differs;
                    j.print(msg::text(msg::CompareDiffers).arg(number));
                } else if (inScale) {
                    ++onlyScale;
                    j.print(msg::text(msg::CompareOnlyScale).arg(number));
                } else if (inTable) {
                    ++onlyTable;
                    j.print(msg::text(msg::CompareOnlyTable).arg(number));
                }
            });
            if (!r.ok) {
                j.prompter.message(r.message);
                return ScaleStatus::NoAnswer;
            }
            j.print(msg::text(msg::CompareDone).arg(r.done).arg(differs).arg(onlyScale).arg(onlyTable));
            return ScaleStatus::Done;
        },
        msg::text(msg::ReadCaption));
}
