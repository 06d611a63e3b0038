#pragma once
// Clearing products in the scale with the command 0x0C and the 1-based product
// number. The scale answers nothing, so nothing is waited for; only a line that does
// not take the bytes (no port, no connection) fails.

#include "shared/Seams.h"

#include <functional>

namespace ztk {

class ScaleLink;

namespace readback {
// The range dialog's gauge after product `i` of from..to; a range of one shows 100.
int clearGauge(int i, int from, int to);
} // namespace readback

class ProductClearer {
public:
    inline static constexpr int PauseMs = 150;

    // Product `number` was sent; `percent` is the gauge.
    using Sent = std::function<void(int number, int percent)>;
    // The pause after product `number` is over.
    using Cleared = std::function<void(int number)>;

    // All references outlive the clearer; the clock measures the pauses.
    ProductClearer(ScaleLink &link, const Clock &clock, EventPump &pump);

    bool clearOne(int number);
    // from..to in turn, each followed by a pause of 150 ms; nothing when from > to.
    // Stops at the first product the line did not take: false then.
    bool clearRange(int from, int to, const Sent &sent = {}, const Cleared &cleared = {});

private:
    ScaleLink &m_link;
    const Clock &m_clock;
    EventPump &m_pump;
};

} // namespace ztk
