#include "transfer/Pause.h"

#include <QElapsedTimer>
#include <chrono>
#include <thread>

namespace ztk {

void pauseFor(int ms, const Clock &clock, EventPump &pump)
{
    const QDateTime start = clock.now();
    QElapsedTimer real;
    real.start();
    while (start.msecsTo(clock.now()) < ms && real.elapsed() < ms) {
        pump.pump();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

} // namespace ztk
