#pragma once
// The printed report of a selection: five fixed-width lines per product, in
// ascending number, products 1..5000 only.
//   line 1     "%10s%4d %28s %05d %1d %8.2f %8s %17s %17s"  (N, Name, SK5, prefix,
//              price with a point, Goden, Dcorr)
//   lines 2-5  "%15s%28s"  (Name2 .. Name5)
// Wider values widen their line; nothing is cut.

#include "products/Product.h"

#include <QDateTime>
#include <QSet>
#include <QString>

#include <optional>
#include <vector>

namespace ztk {

// The five lines of one product, each ended by "\n". `now` stands in for a correction
// moment that does not read (as the grid shows it).
QString reportLines(const Product &product, const QDateTime &now);

// The report of `rows` (the selection, ascending "N"). With `list` only its numbers.
QString buildReport(const std::vector<Product> &rows, const std::optional<QSet<int>> &list, const QDateTime &now);

} // namespace ztk
