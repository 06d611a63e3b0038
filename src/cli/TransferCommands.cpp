// The product transfer commands: building the product image and writing it to the scale.

#include "cli/CliCommand.h"
#include "cli/ListOption.h"

#include "products/ProductDataset.h"
#include "products/ProductStore.h"
#include "products/Selection.h"
#include "shared/Files.h"
#include "shared/Messages.h"
#include "transfer/ScaleState.h"
#include "transfer/ProductImage.h"
#include "transfer/ProductList.h"
#include "transfer/ProductWriter.h"

#include <QDir>

#include <memory>

using namespace ztk;
using namespace ztk::cli;

constexpr CommandOption ImageOutOption{"out", "FILE", QT_TRANSLATE_NOOP("ztk-cli",
                                                          "the image file (default BDforVes.bd in the working "
                                                          "folder)")};

ZTK_CLI_COMMAND(buildImage, {.name = "build-image",
                             .summary = QT_TRANSLATE_NOOP("ztk-cli", "writes the product image of a selection "
                                                                     "(default BDforVes.bd)"),
                             .options = {SelectionOption, ProductListOption, ImageOutOption},
                             .details = {QT_TRANSLATE_NOOP("ztk-cli", "Prints the number of products in the image.")}})
ZTK_CLI_COMMAND(writeProducts, {.name = "write-products",
                                .summary = QT_TRANSLATE_NOOP("ztk-cli",
                                               "builds the product image and writes it to the scale"),
                                .options = {SelectionOption, ProductListOption},
                                .details = {QT_TRANSLATE_NOOP("ztk-cli",
                                                "The image is stored as BDforVes.bd first, then sent in its three "
                                                "stages; a stage the scale does not acknowledge ends the write with "
                                                "exit 1.")}})

namespace {

// Builds the image of the options' selection and list; nothing on bad input.
std::unique_ptr<ProductImage> buildFromStore(CliContext &ctx, const Options &o)
{
    const QDate today = ctx.clock.now().date();
    const ParsedSelection sel = parseSelectionArgument(selectionOf(o), today);
    if (!sel.ok) {
        ctx.prompter.message(sel.error);
        return nullptr;
    }
    const auto filter = listFilter(ctx, o);
    if (!filter)
        return nullptr;
    ProductStore store;
    ProductDataset dataset(store, ctx.clock, ctx.prompter);
    if (!ctx.openSelection(sel, store, dataset))
        return nullptr;
    auto image = std::make_unique<ProductImage>();
    image->build(selectionRows(dataset), *filter, today);
    return image;
}

} // namespace

int buildImage(CliContext &ctx, const QStringList &args)
{
    Options o;
    if (const auto bad = parseOptions(ctx, args, o))
        return *bad;
    const auto image = buildFromStore(ctx, o);
    if (!image)
        return ExitBadUsage;
    // A relative --out is taken in the working folder, where the image normally lives.
    const std::optional<QString> outFile = o.value(ImageOutOption);
    const QString out = outFile ? QDir(ctx.workDir).filePath(*outFile) : ctx.path(files::ProductImage);
    const QString refused = storeImageFile(*image, ctx.workDir, out);
    if (!refused.isEmpty()) {
        ctx.prompter.message(refused);
        return ExitBadUsage;
    }
    ctx.print(QString::number(image->nonEmptyCount()));
    return ExitOk;
}

int writeProducts(CliContext &ctx, const QStringList &args)
{
    Options o;
    if (const auto bad = parseOptions(ctx, args, o))
        return *bad;
    const auto image = buildFromStore(ctx, o);
    if (!image)
        return ExitBadUsage;
    // As the menu command: the image is stored, then the file is sent.
    const QString path = ctx.path(files::ProductImage);
    // The previous file holds another selection: nothing goes out unless this one was stored.
    const QString refused = storeImageFile(*image, ctx.workDir, path);
    if (!refused.isEmpty()) {
        ctx.prompter.message(refused);
        return ExitBadUsage;
    }
    return ctx.onScales(
        Operation::WriteProducts,
        [&path, &ctx](ScaleJob &j) {
            const auto state = ctx.keepState(j);
            ExchangeSession session = j.session();
            const ExchangeResult r = session.logged(Operation::WriteProducts, writeProductFile(session, path));
            if (!r.ok) {
                j.prompter.message(r.message);
                return r.message == msg::text(msg::CannotOpenForReading) ? ScaleStatus::BadInput
                                                                         : ScaleStatus::NoAnswer;
            }
            j.print(QString::number(r.done));
            return ScaleStatus::Done;
        },
        msg::text(msg::WriteLoading));
}
