#include "cli/ListOption.h"

#include "shared/Messages.h"
#include "transfer/ProductList.h"

namespace ztk::cli {

std::optional<std::optional<QSet<int>>> listFilter(CliContext &ctx, const Options &options)
{
    const std::optional<QString> text = options.value(ProductListOption);
    if (!text)
        return std::optional<QSet<int>>();
    QStringList entries;
    for (const QString &part : text->split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        if (!part.trimmed().isEmpty())
            entries << part.trimmed();
    }
    // An empty list would mean every product: a list asked for names at least one.
    if (entries.isEmpty()) {
        ctx.badUsage(QStringLiteral("ztk-cli: %1 names no product").arg(dashedName(ProductListOption)));
        return std::nullopt;
    }
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

} // namespace ztk::cli
