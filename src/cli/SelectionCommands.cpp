// The product selections from the command line: the records of a selection as the
// grid shows them, and the count.

#include "cli/CliCommand.h"

#include "products/DisplayFormat.h"
#include "products/ProductDataset.h"
#include "products/ProductStore.h"
#include "products/Selection.h"
#include "shared/Files.h"
#include "shared/Messages.h"

using namespace ztk;
using namespace ztk::cli;

ZTK_CLI_COMMAND(listProducts, "products", "[SELECTION]",
                "lists a selection (all, weight, piece, prefix=P, name=F, range=A-B, corr-on|before|after=yy.mm.dd, "
                "best-on|before|after=yy.mm.dd)")

int listProducts(CliContext &ctx, const QStringList &args)
{
    if (args.size() > 1)
        return ctx.badUsage(QStringLiteral("ztk-cli: products takes one selection"));
    const ParsedSelection sel = parseSelectionArgument(args.value(0), ctx.clock.now().date());
    if (!sel.ok)
        return ctx.badUsage(sel.error);
    ProductStore store;
    if (!store.open(ctx.path(files::ProductStore))) {
        ctx.prompter.message(store.errorText());
        return ExitBadUsage;
    }
    ProductDataset dataset(store, ctx.clock, ctx.prompter);
    if (!dataset.open(sel.sql)) {
        ctx.prompter.message(dataset.errorText());
        return ExitBadUsage;
    }
    // The grid's columns: N, name, SK5, price, prefix, type, best-before, correction.
    for (int r = 0; r < dataset.recordCount(); ++r) {
        const QStringList cells{
            display::productNumber(dataset.rowValue(r, fld::N)),
            dataset.rowValue(r, fld::Name).toString(),
            display::sk5(dataset.rowValue(r, fld::SK5)),
            display::price(dataset.rowValue(r, fld::Price)),
            dataset.rowValue(r, fld::Prefix).toString(),
            dataset.rowCalculated(r, fld::TypeCal),
            dataset.rowCalculated(r, fld::Goden),
            dataset.rowCalculated(r, fld::Dcorr),
        };
        ctx.print(cells.join(QLatin1Char(';')));
    }
    ctx.print(msg::text(msg::RecordsPrefix) + QString::number(dataset.recordCount()));
    return ExitOk;
}
