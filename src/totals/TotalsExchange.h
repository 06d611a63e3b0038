#pragma once
// The totals exchanges with the scale: receiving the TotalsImage (0x09) and clearing
// products' totals (0x0B and the product number; the scale sends nothing back).

#include "totals/TotalsImage.h"

#include "link/Exchange.h"

#include <span>

namespace ztk {

// A reply of 153,600 bytes at 9,600 bit/s takes 160 s, so the limit is counted from
// the last byte that came, not from the command.
inline constexpr int TotalsSilenceSeconds = 15;

// TotalsReceive armed at byte 0, 0x09 sent, then the reply into `image`; the gauge as
// the bytes come (totalsPercent). A failure when 15 s pass without a new byte; the
// mode is off and the queues are discarded then.
ExchangeResult receiveTotals(ExchangeSession &session, TotalsImage &image);

// The wait window's gauge: received * 100 / 153,600.
int totalsPercent(int received);

// A product whose totals the scale can clear: 1..5000.
bool clearableTotals(int product);
// 0x0B and each number in turn, one write per byte, without waiting. A bad number
// anywhere sends nothing at all; the first the line does not take ends it.
ExchangeResult clearTotals(ExchangeSession &session, std::span<const int> products);

} // namespace ztk
