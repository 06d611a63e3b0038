#include "totals/SelectionProducts.h"

#include "transfer/ProductImage.h"

namespace ztk {

std::vector<TotalsProduct> totalsProducts(const ProductDataset &dataset)
{
    const std::vector<ProductRow> rows = selectionRows(dataset);
    std::vector<TotalsProduct> out;
    out.reserve(rows.size());
    for (const ProductRow &r : rows) {
        bool ok = false;
        const int n = r.n.toInt(&ok); // NULL reads as 0, which no product has
        out.push_back({ok ? n : 0, r.names[0], r.prefix.toString()});
    }
    return out;
}

} // namespace ztk
