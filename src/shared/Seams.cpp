#include "shared/Seams.h"

#include <QElapsedTimer>
#include <cmath>
#include <cstdlib>

namespace ztk {

namespace {
qint64 monotonicMs()
{
    static QElapsedTimer timer = [] { QElapsedTimer t; t.start(); return t; }();
    return timer.elapsed();
}
} // namespace

ScaledClock::ScaledClock(double rate)
    : m_rate(rate), m_start(QDateTime::currentDateTime()), m_startMs(monotonicMs())
{
}

QDateTime ScaledClock::now() const
{
    const double elapsed = double(monotonicMs() - m_startMs) * m_rate;
    return m_start.addMSecs(qint64(std::llround(elapsed)));
}

const Clock &defaultClock()
{
    static const Clock *clock = []() -> const Clock * {
        const char *rate = std::getenv("ZTK_CLOCK_RATE");
        const double r = rate ? std::atof(rate) : 0.0;
        if (r > 1.0)
            return new ScaledClock(r); // lives for the whole run
        return new SystemClock;
    }();
    return *clock;
}

} // namespace ztk
