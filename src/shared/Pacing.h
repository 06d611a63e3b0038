#pragma once
// Pauses of an exchange that paces itself, measured from one starting moment so that
// small delays never add up: by the clock (a fast clock shortens them), never longer
// than the real time (a clock that stands still cannot hold them), with events pumped
// at least every PumpEveryMs meanwhile.

#include "shared/Seams.h"

#include <QDateTime>
#include <QElapsedTimer>

namespace ztk {

class PacedSchedule {
public:
    static constexpr int PumpEveryMs = 2;

    // The schedule starts now.
    PacedSchedule(const Clock &clock, EventPump &pump);
    // Returns once `ms` have passed since the start.
    void waitUntil(qint64 ms);

private:
    const Clock &m_clock;
    EventPump &m_pump;
    QDateTime m_start;
    QElapsedTimer m_real;
};

} // namespace ztk
