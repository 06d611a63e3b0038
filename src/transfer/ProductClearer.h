#pragma once
// Clearing products in the scale with the command 0x0C and the 1-based product number,
// 150 ms apart. The scale answers nothing, so nothing is waited for; only a line that
// does not take the bytes (no port, no connection) fails: "Возможно, нет связи с весами".

#include "link/Exchange.h"

#include <functional>
#include <span>

namespace ztk {

namespace readback {
// The range dialog's gauge after product `i` of from..to; a range of one shows 100.
int clearGauge(int i, int from, int to);
} // namespace readback

inline constexpr int ClearPauseMs = 150;

// The pause after product `number` is over.
using Cleared = std::function<void(int number)>;

// from..to in turn, each followed by its pause; nothing when from > to. The gauge after
// product i is clearGauge(i, from, to); the result counts the products sent.
ExchangeResult clearProducts(ExchangeSession &session, int from, int to, const Cleared &cleared = {});
// The numbers in the order given, each followed by its pause.
ExchangeResult clearProductList(ExchangeSession &session, std::span<const int> numbers, const Cleared &cleared = {});

} // namespace ztk
