// The product selections from the command line: the records of a selection as the
// grid shows them, and the count.

#include "cli/CliCommand.h"

#include "products/ProductDataset.h"
#include "products/ProductStore.h"
#include "products/ProductTableModel.h"
#include "products/Selection.h"
#include "shared/Files.h"
#include "shared/Messages.h"

using namespace ztk;
using namespace ztk::cli;

ZTK_CLI_COMMAND(listProducts,
                {.name = "products",
                 .arguments = "[SELECTION]",
                 .summary = QT_TRANSLATE_NOOP("ztk-cli", "lists a selection of the product table, as the grid shows "
                                                         "it"),
                 .details = {QT_TRANSLATE_NOOP("ztk-cli", "SELECTION is one of: all (the default), weight, piece, "
                                                          "prefix=P, name=F (a name beginning, letter case "
                                                          "ignored), range=A-B, corr-on=yy.mm.dd, "
                                                          "corr-before=yy.mm.dd, corr-after=yy.mm.dd (by the "
                                                          "correction date), best-on=yy.mm.dd, "
                                                          "best-before=yy.mm.dd, best-after=yy.mm.dd (by the "
                                                          "best-before date). The other commands take the same "
                                                          "words in --selection. The last line gives the number of "
                                                          "records.")}})

namespace {

// One record per line whatever a name holds: control characters as \xNN.
QString oneLine(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || c.category() == QChar::Separator_Line
                 || c.category() == QChar::Separator_Paragraph || (c.unicode() >= 0x80 && c.unicode() < 0xA0))
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

} // namespace

int listProducts(CliContext &ctx, const QStringList &args)
{
    if (args.size() > 1)
        return ctx.badUsage(QStringLiteral("ztk-cli: products takes one selection"));
    const ParsedSelection sel = parseSelectionArgument(args.value(0), ctx.clock.now().date());
    if (!sel.ok)
        return ctx.badUsage(sel.error);
    ProductStore store;
    ProductDataset dataset(store, ctx.clock, ctx.prompter);
    if (!ctx.openSelection(sel, store, dataset))
        return ExitBadUsage;
    // The grid's columns, as the grid shows them.
    const ProductTableModel grid(dataset);
    for (int r = 0; r < grid.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < grid.columnCount(); ++c)
            cells << oneLine(grid.data(grid.index(r, c)).toString());
        ctx.print(cells.join(QLatin1Char(';')));
    }
    ctx.print(msg::text(msg::RecordsPrefix) + QString::number(dataset.recordCount()));
    return ExitOk;
}
