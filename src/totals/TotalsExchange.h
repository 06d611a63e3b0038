#pragma once
// The totals exchanges with the scale: receiving the TotalsImage (0x09) and clearing
// one product's totals (0x0B, number low byte first; the scale sends nothing back).

#include "totals/TotalsImage.h"

#include "shared/Seams.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

namespace ztk {

class ScaleLink;

// A reply of 153,600 bytes at 9,600 bit/s takes 160 s, so the limit is counted from
// the last byte that came, not from the command.
inline constexpr int TotalsSilenceSeconds = 15;

// TotalsReceive armed at byte 0, 0x09 sent, then the reply. Nothing when 15 s pass
// without a new byte; the mode is off and the queues are discarded then.
// `progress` is given the bytes received so far.
std::optional<TotalsImage> receiveTotals(ScaleLink &link, const Clock &clock, EventPump &pump,
                                         const std::function<void(int received)> &progress = {});

// The wait window's gauge: received * 100 / 153,600.
int totalsPercent(int received);

// The three bytes that clear `product`; nothing for a number outside 1..5000.
std::optional<std::array<std::uint8_t, 3>> clearTotalsCommand(int product);
// Sends them, one write per byte, without waiting; false for a bad number (nothing
// sent) or when the line did not take them (no port, no connection).
bool clearTotals(ScaleLink &link, int product);

} // namespace ztk
