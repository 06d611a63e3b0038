#include "shared/Pacing.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace ztk {

PacedSchedule::PacedSchedule(const Clock &clock, EventPump &pump)
    : m_clock(clock), m_pump(pump), m_start(clock.now())
{
    m_real.start();
}

void PacedSchedule::waitUntil(qint64 ms)
{
    for (;;) {
        m_pump.pump();
        const qint64 realLeft = ms - m_real.elapsed();
        if (realLeft <= 0 || m_start.msecsTo(m_clock.now()) >= ms)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min<qint64>(realLeft, PumpEveryMs)));
    }
}

} // namespace ztk
