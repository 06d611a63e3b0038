#include "totals/SelectionProducts.h"

#include "products/ProductDataset.h"

namespace ztk {

std::vector<TotalsProduct> totalsProducts(const ProductDataset &dataset)
{
    const std::vector<Product> rows = selectionRows(dataset);
    std::vector<TotalsProduct> out;
    out.reserve(rows.size());
    for (const Product &p : rows) {
        // A number that is NULL, not a number or beyond int matches no product (1..5000).
        const qint64 n = p.number.value.value_or(0);
        out.push_back({n >= 1 && n <= 5000 ? int(n) : 0, p.names[0], p.prefix});
    }
    return out;
}

} // namespace ztk
