// The product transfer commands: building the product image and writing it to the scale.

#include "cli/CliCommand.h"

#include "products/ProductDataset.h"
#include "products/ProductStore.h"
#include "products/Selection.h"
#include "shared/Files.h"
#include "shared/Messages.h"
#include "transfer/ProductImage.h"
#include "transfer/ProductList.h"
#include "transfer/ProductWriter.h"

#include <QDir>

#include <cstdio>
#include <memory>

using namespace ztk;
using namespace ztk::cli;

ZTK_CLI_COMMAND(buildImage, "build-image", "[--selection SEL] [--list N,N,...] [--out FILE]",
                "writes the product image of a selection (default BDforVes.bd)")
ZTK_CLI_COMMAND(writeProducts, "write-products", "[--selection SEL] [--list N,N,...]",
                "builds the product image and writes it to the scale")

namespace {

struct ImageOptions {
    QString selection = QStringLiteral("all");
    std::optional<QString> list;
    std::optional<QString> out;
};

// Parses the options; on bad usage returns the exit code to give.
std::optional<int> parseOptions(CliContext &ctx, QStringList args, ImageOptions &o, bool allowOut)
{
    while (!args.isEmpty()) {
        QString opt = args.takeFirst();
        if (!opt.startsWith(QLatin1String("--")))
            return ctx.badUsage(QStringLiteral("ztk-cli: %1 is not an option").arg(opt));
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
        if (opt == QLatin1String("--selection"))
            o.selection = value;
        else if (opt == QLatin1String("--list"))
            o.list = value;
        else if (opt == QLatin1String("--out") && allowOut)
            o.out = value;
        else
            return ctx.badUsage(QStringLiteral("ztk-cli: unknown option %1").arg(opt));
    }
    return std::nullopt;
}

// "--list 3,7": a list formed in the list window with "Список" ticked. Nothing on bad input
// (the message has been shown).
std::optional<std::optional<QSet<int>>> listFilter(CliContext &ctx, const std::optional<QString> &text)
{
    if (!text)
        return std::optional<QSet<int>>();
    QStringList entries;
    for (const QString &part : text->split(QLatin1Char(','), Qt::SkipEmptyParts))
        entries << part.trimmed();
    ProductList list;
    list.open(entries);
    for (int i = 0; i < entries.size(); ++i) {
        if (!list.tick(i)) {
            ctx.prompter.message(msg::text(msg::ListTooMany));
            return std::nullopt;
        }
    }
    list.setMemoLines(entries); // the numbers as typed
    if (!entries.isEmpty()) {
        const ProductList::Outcome formed = list.form();
        if (!formed.ok) {
            ctx.prompter.message(formed.message);
            return std::nullopt;
        }
    }
    return list.filter();
}

// Builds the image of the options' selection and list; nothing on bad input.
std::unique_ptr<ProductImage> buildFromStore(CliContext &ctx, const ImageOptions &o)
{
    const QDate today = ctx.clock.now().date();
    const ParsedSelection sel = parseSelectionArgument(o.selection, today);
    if (!sel.ok) {
        ctx.prompter.message(sel.error);
        return nullptr;
    }
    const auto filter = listFilter(ctx, o.list);
    if (!filter)
        return nullptr;
    ProductStore store;
    if (!ctx.openStoreForReading(store))
        return nullptr;
    ProductDataset dataset(store, ctx.clock, ctx.prompter);
    if (!dataset.open(sel.sql)) {
        ctx.prompter.message(dataset.errorText());
        return nullptr;
    }
    auto image = std::make_unique<ProductImage>();
    image->build(selectionRows(dataset), *filter, today);
    return image;
}

} // namespace

int buildImage(CliContext &ctx, const QStringList &args)
{
    ImageOptions o;
    if (const auto bad = parseOptions(ctx, args, o, true))
        return *bad;
    const auto image = buildFromStore(ctx, o);
    if (!image)
        return ExitBadUsage;
    // A relative --out is taken in the working folder, where the image normally lives.
    const QString out = o.out ? QDir(ctx.workDir).filePath(*o.out) : ctx.path(files::ProductImage);
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
    ImageOptions o;
    if (const auto bad = parseOptions(ctx, args, o, false))
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
    ScaleLink *link = ctx.link();
    if (!link)
        return ctx.linkFailure();

    int shown = -1;
    ProductWriter writer(*link, ctx.clock, ctx.pump, [&](int percent) {
        if (percent == shown)
            return;
        shown = percent;
        std::fprintf(stderr, "\r%s %3d%%", msg::WriteLoading, percent);
        std::fflush(stderr);
    });
    const WriteResult r = writer.sendFile(path);
    if (shown >= 0)
        std::fputc('\n', stderr);
    if (!r.ok) {
        ctx.prompter.message(r.message);
        return r.message == msg::text(msg::CannotOpenForReading) ? ExitBadUsage : ExitNoAnswer;
    }
    ctx.print(QString::number(r.sent));
    return ExitOk;
}
