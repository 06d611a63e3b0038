#include "shared/Seams.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <cmath>
#include <cstdlib>
#include <optional>

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

namespace {
// The rate of ZTK_CLOCK_RATE: 1 when unset; nothing when it is not a rate we accept.
std::optional<double> environmentRate()
{
    const char *text = std::getenv("ZTK_CLOCK_RATE");
    if (!text)
        return 1.0;
    bool ok = false;
    const double r = QByteArray(text).trimmed().toDouble(&ok);
    if (!ok || !(r >= MinClockRate && r <= MaxClockRate))
        return std::nullopt;
    return r;
}
} // namespace

bool clockRateValid()
{
    return environmentRate().has_value();
}

const Clock &defaultClock()
{
    static const Clock *clock = []() -> const Clock * {
        const double r = environmentRate().value_or(1.0);
        if (r > 1.0)
            return new ScaledClock(r); // lives for the whole run
        return new SystemClock;
    }();
    return *clock;
}

} // namespace ztk
