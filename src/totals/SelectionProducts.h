#pragma once
// The rows of the current selection as the totals look product names up in them.

#include "totals/TotalsRows.h"

#include <vector>

namespace ztk {

class ProductDataset;

// Every row of the dataset's snapshot, in its order; the cursor is not moved.
std::vector<TotalsProduct> totalsProducts(const ProductDataset &dataset);

} // namespace ztk
