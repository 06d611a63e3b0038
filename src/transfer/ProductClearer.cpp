#include "transfer/ProductClearer.h"

#include "link/Commands.h"
#include "link/ScaleLink.h"
#include "shared/Pacing.h"

namespace ztk {

int readback::clearGauge(int i, int from, int to)
{
    if (to == from)
        return 100;
    return int(qint64(i - from) * 100 / (qint64(to) - from));
}

ProductClearer::ProductClearer(ScaleLink &link, const Clock &clock, EventPump &pump)
    : m_link(link), m_clock(clock), m_pump(pump)
{
}

bool ProductClearer::clearOne(int number)
{
    return m_link.sendByte(cmd::ClearProduct) && m_link.sendWord(std::uint16_t(number));
}

bool ProductClearer::clearRange(int from, int to, const Sent &sent, const Cleared &cleared)
{
    // One schedule for the range, so that late wake-ups do not add up.
    PacedSchedule schedule(m_clock, m_pump);
    for (qint64 i = from; i <= to; ++i) {
        if (!clearOne(int(i)))
            return false;
        if (sent)
            sent(int(i), readback::clearGauge(int(i), from, to));
        schedule.waitUntil((i - from + 1) * PauseMs);
        if (cleared)
            cleared(int(i));
    }
    return true;
}

} // namespace ztk
