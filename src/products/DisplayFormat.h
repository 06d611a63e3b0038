#pragma once
// The display patterns of the product grid: "0###" for "N", "0####" for "SK5" and
// "####.00" for "Цена". NULL shows as an empty text.

#include <QString>
#include <QVariant>

namespace ztk::display {

// At least `digits` digits with leading zeros (7 with 4 digits -> "0007"); a
// negative number keeps its sign in front ("-0007").
QString zeroPadded(const QVariant &value, int digits);
inline QString productNumber(const QVariant &value) { return zeroPadded(value, 4); } // "0###"
inline QString sk5(const QVariant &value) { return zeroPadded(value, 5); }           // "0####"

// Two decimals, no zero before the point: 0.5 -> ".50", 12 -> "12.00", 0 -> ".00".
// A value too large for the patterns shows as stored ("1e+308"), never wrapped.
QString price(const QVariant &value);

} // namespace ztk::display
