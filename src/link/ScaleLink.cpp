#include "link/ScaleLink.h"

#include "link/Commands.h"

#include <cerrno>
#include <chrono>
#include <poll.h>
#include <system_error>
#include <unistd.h>

namespace ztk {

namespace {

constexpr int ReaderPollMs = 100;   // how soon the reader sees a stop request or a lost line
constexpr int ReopenPauseMs = 150;  // between attempts to find a vanished device again
constexpr auto WaitSlice = std::chrono::milliseconds(5);

// One counted reception: the byte goes to buf[count]; the switch goes off (release,
// after the buffer write) once `size` bytes have come. A count outside the buffer
// writes nothing.
void receiveCounted(CountedMode &mode, std::uint8_t *buf, std::int32_t size, std::uint8_t byte)
{
    std::int32_t count = mode.count.load(std::memory_order_relaxed);
    if (count >= 0 && count < size)
        buf[count] = byte;
    if (count < size)
        ++count;
    mode.count.store(count, std::memory_order_release);
    if (count >= size)
        mode.on.store(false, std::memory_order_release);
}

} // namespace

ScaleLink::ScaleLink()
    : m_totalsImage(cmd::TotalsImageSize, 0)
{
}

ScaleLink::~ScaleLink()
{
    stopReader();
    closePort();
}

int ScaleLink::openPort(const QString &devicePath, std::int32_t baud, std::int32_t stopBitsIndex,
                        std::int16_t parityIndex)
{
    return m_port.open(devicePath, baud, stopBitsIndex, parityIndex);
}

void ScaleLink::closePort()
{
    m_port.close();
}

void ScaleLink::sendByte(std::uint8_t byte)
{
    m_port.sendByte(byte);
}

void ScaleLink::sendWord(std::uint16_t word)
{
    sendByte(std::uint8_t(word & 0xFF));
    sendByte(std::uint8_t(word >> 8));
}

void ScaleLink::discardAll()
{
    m_port.discardAll();
}

bool ScaleLink::startReader()
{
    if (m_thread.joinable())
        return true;
    m_stop.store(false, std::memory_order_release);
    try {
        m_thread = std::thread([this] { readerLoop(); });
    } catch (const std::system_error &) {
        return false;
    }
    return true;
}

void ScaleLink::stopReader()
{
    {
        std::lock_guard<std::mutex> lock(m_stopMutex);
        m_stop.store(true, std::memory_order_release);
    }
    m_stopWake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void ScaleLink::setLinkStateHandler(std::function<void(bool)> handler)
{
    std::lock_guard<std::mutex> lock(m_handlerMutex);
    m_linkStateHandler = std::move(handler);
}

void ScaleLink::clearModes()
{
    ack.on.store(false, std::memory_order_release);
    ack.expected.store(0, std::memory_order_release);
    ack.count.store(0, std::memory_order_release);
    ack.done.store(false, std::memory_order_release);
    for (CountedMode *m : {&commonData, &totals, &record}) {
        m->on.store(false, std::memory_order_release);
        m->count.store(0, std::memory_order_release);
    }
    linkProbe.store(false, std::memory_order_release);
    byteReply.on.store(false, std::memory_order_release);
}

void ScaleLink::armAck(std::int32_t expected)
{
    // Counter first, expected last: the reader counts only once expected is not 0.
    ack.expected.store(0, std::memory_order_release);
    ack.count.store(0, std::memory_order_release);
    ack.done.store(false, std::memory_order_release);
    ack.expected.store(expected, std::memory_order_release);
}

void ScaleLink::route(std::uint8_t byte)
{
    if (ack.on.load(std::memory_order_acquire)) {
        const std::int32_t expected = ack.expected.load(std::memory_order_acquire);
        if (expected != 0) {
            const std::int32_t count = ack.count.load(std::memory_order_relaxed) + 1;
            ack.count.store(count, std::memory_order_release);
            if (count >= expected)
                ack.done.store(true, std::memory_order_release);
        }
        return;
    }
    if (commonData.on.load(std::memory_order_acquire)) {
        receiveCounted(commonData, m_receiveBuffer.data(), cmd::CommonDataSize, byte);
        return;
    }
    if (totals.on.load(std::memory_order_acquire)) {
        receiveCounted(totals, m_totalsImage.data(), cmd::TotalsImageSize, byte);
        return;
    }
    if (record.on.load(std::memory_order_acquire)) {
        receiveCounted(record, m_receiveBuffer.data(), cmd::RecordSize, byte);
        return;
    }
    if (linkProbe.load(std::memory_order_acquire)) {
        linkProbe.store(false, std::memory_order_release);
        return;
    }
    if (byteReply.on.load(std::memory_order_acquire)) {
        byteReply.reply.store(byte, std::memory_order_release);
        byteReply.on.store(false, std::memory_order_release);
        return;
    }
    // No mode on: the byte is dropped.
}

void ScaleLink::notifyWaiter()
{
    {
        std::lock_guard<std::mutex> lock(m_wakeMutex);
        ++m_wakeSeq;
    }
    m_wake.notify_all();
}

void ScaleLink::reportLinkState(bool up, bool &lastUp)
{
    if (up == lastUp)
        return;
    lastUp = up;
    std::function<void(bool)> handler;
    {
        std::lock_guard<std::mutex> lock(m_handlerMutex);
        handler = m_linkStateHandler;
    }
    if (handler)
        handler(up);
}

void ScaleLink::pauseReader(int ms)
{
    std::unique_lock<std::mutex> lock(m_stopMutex);
    m_stopWake.wait_for(lock, std::chrono::milliseconds(ms),
                        [this] { return m_stop.load(std::memory_order_acquire); });
}

// The reader blocks in poll() instead of polling the port busily, so it keeps the
// normal priority: a lowered one would only delay bytes when the machine is busy.
void ScaleLink::readerLoop()
{
    bool lastUp = false;  // what the link display was last told; starts as down
    bool broken = false;  // the descriptor failed: only reopening the device mends it
    std::array<std::uint8_t, 512> chunk{};

    while (!m_stop.load(std::memory_order_acquire)) {
        if (!m_port.isOpen()) {
            pauseReader(ReaderPollMs);
            continue;
        }
        if (broken) {
            // A hung-up descriptor polls ready at once; pause so that this never spins.
            pauseReader(ReopenPauseMs);
            if (m_stop.load(std::memory_order_acquire))
                break;
            if (!m_port.reopen())
                continue;
            broken = false;
        }
        if (!m_port.lineSettingsReadable()) {
            reportLinkState(false, lastUp);
            broken = true;
            continue;
        }
        reportLinkState(true, lastUp);

        pollfd p{m_port.fd(), POLLIN, 0};
        const int r = ::poll(&p, 1, ReaderPollMs);
        if (r <= 0)
            continue; // time-out or a signal: next pass
        if (p.revents & POLLIN) {
            const ssize_t n = ::read(m_port.fd(), chunk.data(), chunk.size());
            if (n > 0) {
                for (ssize_t i = 0; i < n; ++i)
                    route(chunk[std::size_t(i)]);
                notifyWaiter();
                continue;
            }
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
                continue;
            // 0 (hang-up) or a read error
        } else if (!(p.revents & (POLLERR | POLLHUP | POLLNVAL))) {
            continue;
        }
        reportLinkState(false, lastUp);
        broken = true;
    }
}

bool ScaleLink::receptionWait(const std::function<bool()> &answered, int seconds, const Clock &clock,
                              EventPump &pump)
{
    const QDateTime start = clock.now();
    const qint64 limitMs = qint64(seconds) * 1000;
    for (;;) {
        // Take the hand-over count before testing, so a byte routed in between
        // cuts the sleep below short instead of being missed.
        std::uint64_t seen;
        {
            std::lock_guard<std::mutex> lock(m_wakeMutex);
            seen = m_wakeSeq;
        }
        if (answered())
            return true;
        pump.pump();
        if (start.msecsTo(clock.now()) > limitMs)
            return false;
        std::unique_lock<std::mutex> lock(m_wakeMutex);
        m_wake.wait_for(lock, WaitSlice, [&] { return m_wakeSeq != seen; });
    }
}

bool probeLink(ScaleLink &link, const Clock &clock, EventPump &pump)
{
    link.linkProbe.store(true, std::memory_order_release);
    link.discardAll();
    link.sendByte(cmd::LinkProbe);
    const bool answered = link.receptionWait(
        [&] { return !link.linkProbe.load(std::memory_order_acquire); }, cmd::LinkCheckWaitSeconds, clock, pump);
    if (!answered)
        link.linkProbe.store(false, std::memory_order_release);
    return answered;
}

std::optional<std::int8_t> queryScaleNumber(ScaleLink &link, const Clock &clock, EventPump &pump)
{
    link.byteReply.on.store(true, std::memory_order_release);
    link.discardAll();
    link.sendByte(cmd::ScaleNumber);
    const bool answered = link.receptionWait(
        [&] { return !link.byteReply.on.load(std::memory_order_acquire); }, cmd::WaitSeconds, clock, pump);
    if (!answered) {
        link.byteReply.on.store(false, std::memory_order_release);
        return std::nullopt;
    }
    return std::int8_t(link.byteReply.reply.load(std::memory_order_acquire));
}

} // namespace ztk
