#include "app/ExchangeLock.h"

namespace ztk {

ExchangeLock::Hold::Hold(ExchangeLock &lock) : m_lock(lock)
{
    if (m_lock.m_busy)
        return;
    m_taken = true;
    m_lock.m_busy = true;
    Q_EMIT m_lock.busyChanged(true);
}

ExchangeLock::Hold::~Hold()
{
    if (!m_taken)
        return;
    m_lock.m_busy = false;
    Q_EMIT m_lock.busyChanged(false);
}

} // namespace ztk
