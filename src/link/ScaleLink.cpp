#include "link/ScaleLink.h"

#include "link/Commands.h"
#include "shared/LittleEndian.h"
#include "shared/Messages.h"
#include "shared/PortConfig.h"

#include <cerrno>
#include <chrono>
#include <poll.h>
#include <sys/eventfd.h>
#include <system_error>
#include <unistd.h>

namespace ztk {

namespace {

constexpr int ReaderPollMs = 100;   // how soon the reader sees a stop request or a lost line
// The quiet a request waits for: never less than MinQuietMs, and on a slow line the
// time of QuietBytes bytes of BitsPerByte bits, far above any pause within a reply.
constexpr int MinQuietMs = 50;
constexpr std::int64_t QuietBytes = 32;
constexpr std::int64_t BitsPerByte = 10;
constexpr auto WaitSlice = std::chrono::milliseconds(5);
constexpr auto ProgressNotifyInterval = std::chrono::milliseconds(5);

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
    : m_totalsImage(cmd::TotalsImageSize, 0),
      m_receptions{{{&commonData, m_receiveBuffer.data(), cmd::CommonDataSize},
                    {&totals, m_totalsImage.data(), cmd::TotalsImageSize},
                    {&record, m_receiveBuffer.data(), cmd::RecordSize},
                    {&linkProbe, m_probeByte.data(), 1},
                    {&byteReply, m_byteReplied.data(), 1}}}
{
}

ScaleLink::~ScaleLink()
{
    stopReader();
    closePort();
    if (m_stopFd >= 0)
        ::close(m_stopFd);
}

SerialPort::OpenResult ScaleLink::openPort(const QString &devicePath, std::int32_t baud, std::int32_t stopBitsIndex,
                                           std::int16_t parityIndex)
{
    m_port = LinkPort::forName(devicePath);
    m_baud = baud;
    markBusy(m_openedAt);
    return SerialPort::OpenResult(m_port->open(devicePath, baud, stopBitsIndex, parityIndex));
}

LinkOpenResult ScaleLink::open(const PortConfig &config, Prompter &prompter)
{
    LinkOpenResult result;
    stopReader();
    closePort();
    const QString device = LinkPort::pathFor(QString::fromLocal8Bit(config.portName));
    result.port = openPort(device, config.baudRate, config.stopBitsIndex, config.parityIndex);
    if (result.port != SerialPort::Opened) {
        result.failure = SerialPort::failureText(result.port, device, portOpenError());
        // One box: the program's line, then the port's path and the system's reason.
        prompter.message(MessageKind::Error, msg::text(msg::PortOpenFailed) + result.failure);
    }
    discardAll();
    clearModes();
    result.readerStarted = startReader();
    if (!result.readerStarted)
        prompter.message(MessageKind::Error, msg::text(msg::ThreadFailed), msg::text(msg::ThreadFailedCaption));
    return result;
}

void ScaleLink::closePort()
{
    if (m_port)
        m_port->close();
}

bool ScaleLink::sendByte(std::uint8_t byte)
{
    const std::uint8_t bytes[] = {byte};
    return sendBytes(bytes);
}

bool ScaleLink::sendWord(std::uint16_t word)
{
    std::array<std::uint8_t, 2> bytes{};
    le::put2(bytes, 0, word);
    return sendBytes(bytes);
}

bool ScaleLink::sendBytes(std::span<const std::uint8_t> bytes)
{
    // The scale may still be busy with it (or answer it) when the next request goes.
    markBusy(m_unansweredAt);
    const bool sent = lineUp() && sendRaw(bytes);
    markBusy(m_unansweredAt);
    return sent;
}

bool ScaleLink::sendRaw(std::span<const std::uint8_t> bytes)
{
    return m_port && m_port->sendBytes(bytes);
}

void ScaleLink::markBusy(std::atomic<std::int64_t> &moment)
{
    moment.store(std::chrono::duration_cast<std::chrono::nanoseconds>(
                     std::chrono::steady_clock::now().time_since_epoch()).count(),
                 std::memory_order_release);
}

int ScaleLink::quietMs() const
{
    const std::int64_t baud = m_baud > 0 ? m_baud : DefaultLineSpeed;
    return int(std::max<std::int64_t>(MinQuietMs, QuietBytes * BitsPerByte * 1000 / baud));
}

bool ScaleLink::quietAfterReply(EventPump &pump)
{
    const auto now = [] {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(
                   std::chrono::steady_clock::now().time_since_epoch()).count();
    };
    const std::int64_t from = now();
    const std::int64_t until = from + std::int64_t(quietMs()) * 1000000;
    for (std::int64_t t = from; t < until; t = now()) {
        if (m_strayAt.load(std::memory_order_acquire) >= from)
            return false;
        pump.pump();
        std::unique_lock<std::mutex> lock(m_wakeMutex);
        m_wake.wait_for(lock, std::chrono::nanoseconds(std::min<std::int64_t>(until - t, 2000000)));
    }
    return m_strayAt.load(std::memory_order_acquire) < from;
}

bool ScaleLink::settleLine(int replyBytes, EventPump &pump, int quietFactor)
{
    const std::int64_t baud = m_baud > 0 ? m_baud : DefaultLineSpeed;
    const std::int64_t quiet = std::int64_t(quietMs()) * 1000000 * std::max(1, quietFactor);
    // Twice the reply's time and a second: a busy machine delivers a long reply slower
    // than its line's speed.
    const std::int64_t bound = 3 * quiet + 1000000000 + 2 * std::int64_t(replyBytes) * BitsPerByte * 1000000000 / baud;
    const auto now = [] {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(
                   std::chrono::steady_clock::now().time_since_epoch()).count();
    };
    const std::int64_t start = now();
    for (;;) {
        const std::int64_t busy = std::max({m_openedAt.load(std::memory_order_acquire),
                                            m_strayAt.load(std::memory_order_acquire),
                                            m_unansweredAt.load(std::memory_order_acquire)});
        const std::int64_t t = now();
        if (t - busy >= quiet)
            return true;
        if (t - start >= bound)
            return false;
        pump.pump();
        std::unique_lock<std::mutex> lock(m_wakeMutex);
        m_wake.wait_for(lock, std::chrono::nanoseconds(std::min<std::int64_t>(quiet - (t - busy), 2000000)));
    }
}

void ScaleLink::discardAll()
{
    if (m_port)
        m_port->discardAll();
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
    // The reader may be in poll(): the event ends it now, not at its time-out.
    if (m_stopFd >= 0) {
        const std::uint64_t one = 1;
        (void)!::write(m_stopFd, &one, sizeof one);
    }
    if (m_thread.joinable())
        m_thread.join();
    if (m_stopFd >= 0) {
        std::uint64_t drained = 0;
        (void)!::read(m_stopFd, &drained, sizeof drained);
    }
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
    for (const ReceptionSlot &r : m_receptions) {
        r.mode->on.store(false, std::memory_order_release);
        r.mode->count.store(0, std::memory_order_release);
    }
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
        if (expected == 0)
            markBusy(m_strayAt); // between stages: nobody's acknowledgement
        if (expected != 0) {
            const std::int32_t count = ack.count.load(std::memory_order_relaxed) + 1;
            ack.count.store(count, std::memory_order_release);
            if (count >= expected)
                ack.done.store(true, std::memory_order_release);
            if (count == expected)
                advanceStages();
        }
        return;
    }
    for (const ReceptionSlot &r : m_receptions) {
        if (r.mode->on.load(std::memory_order_acquire)) {
            receiveCounted(*r.mode, r.buffer, r.size, byte);
            return;
        }
    }
    // No mode on: the byte is dropped, and the line counts as busy.
    markBusy(m_strayAt);
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
    int failures = 0;     // reconnects in a row that did not mend it
    std::chrono::steady_clock::time_point lastNotify{};
    std::array<std::uint8_t, 512> chunk{};

    while (!m_stop.load(std::memory_order_acquire)) {
        if (!portOpen()) {
            pauseReader(ReaderPollMs);
            continue;
        }
        LinkPort &port = *m_port;
        if (broken) {
            // A hung-up descriptor polls ready at once; pause so that this never spins.
            pauseReader(port.reconnectPauseMs(failures));
            if (m_stop.load(std::memory_order_acquire))
                break;
            if (!port.reconnect(m_stop)) {
                ++failures;
                continue;
            }
            broken = false;
            failures = 0;
        }
        if (!port.lineUp()) {
            reportLinkState(false, lastUp);
            broken = true;
            continue;
        }
        reportLinkState(true, lastUp);

        pollfd polled[2] = {{port.fd(), POLLIN, 0}, {m_stopFd, POLLIN, 0}};
        const int r = ::poll(polled, m_stopFd >= 0 ? 2 : 1, ReaderPollMs);
        const pollfd &p = polled[0];
        if (r <= 0)
            continue; // time-out or a signal: next pass
        if (p.revents & POLLIN) {
            const ssize_t n = ::read(port.fd(), chunk.data(), chunk.size());
            if (m_turnaroundLog)
                m_lastRead = std::chrono::steady_clock::now();
            if (n > 0) {
                for (ssize_t i = 0; i < n; ++i)
                    route(chunk[std::size_t(i)]);
                // Midway through a long reply, or through stages this thread sends on
                // by itself, the waiter only counts: telling it every few milliseconds
                // is enough. The end of a reply, and every other answer, wakes it at once.
                const bool midReply = totals.on.load(std::memory_order_relaxed)
                    || commonData.on.load(std::memory_order_relaxed) || record.on.load(std::memory_order_relaxed)
                    || m_stagesActive.load(std::memory_order_relaxed);
                const auto now = std::chrono::steady_clock::now();
                if (!midReply || now - lastNotify >= ProgressNotifyInterval) {
                    notifyWaiter();
                    lastNotify = now;
                }
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
    return waitFrom(clock.now(), qint64(seconds) * 1000, answered, clock, pump);
}

bool ScaleLink::waitFrom(const QDateTime &start, qint64 limitMs, const std::function<bool()> &answered,
                         const Clock &clock, EventPump &pump)
{
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

// --- exchanges

bool ScaleLink::receive(Reception reception, std::span<const std::uint8_t> command, WaitLimit limit,
                        const Clock &clock, EventPump &pump, bool discardFirst,
                        const std::function<void(int)> &progress)
{
    const ReceptionSlot &slot = slotOf(reception);
    if (!settleLine(slot.size, pump))
        return false;
    CountedMode &mode = *slot.mode;
    mode.count.store(0, std::memory_order_release);
    mode.on.store(true, std::memory_order_release);
    if (discardFirst)
        discardAll();
    sendRaw(command);

    const auto done = [&] { return !mode.on.load(std::memory_order_acquire); };
    const auto count = [&] { return mode.count.load(std::memory_order_acquire); };
    bool answered = false;
    if (!limit.sinceLastByte && !progress) {
        answered = receptionWait(done, limit.seconds, clock, pump);
    } else {
        // Wait for the reply or the next byte; with sinceLastByte every byte starts the limit anew.
        QDateTime start = clock.now();
        int seen = 0;
        for (;;) {
            const bool moved = waitFrom(start, qint64(limit.seconds) * 1000,
                                        [&] { return done() || count() != seen; }, clock, pump);
            if (done()) {
                answered = true;
                break;
            }
            if (!moved)
                break;
            seen = count();
            if (progress)
                progress(seen);
            if (limit.sinceLastByte)
                start = clock.now();
        }
    }
    if (!answered)
        mode.on.store(false, std::memory_order_release);
    return answered;
}

std::span<const std::uint8_t> ScaleLink::received(Reception reception) const
{
    const ReceptionSlot &slot = slotOf(reception);
    return {slot.buffer, std::size_t(slot.size)};
}

ScaleLink::AckSession::AckSession(ScaleLink &link) : m_link(link)
{
    m_link.armAck(0);
    m_link.ack.on.store(true, std::memory_order_release);
}

ScaleLink::AckSession::~AckSession()
{
    m_link.armAck(0);
    m_link.ack.on.store(false, std::memory_order_release);
}

void ScaleLink::advanceStages()
{
    std::lock_guard<std::mutex> lock(m_stageMutex);
    if (!m_stagesActive)
        return;
    const int done = m_stagesDone.load(std::memory_order_relaxed) + 1;
    const AckStage *stages = m_stageData.load(std::memory_order_acquire);
    if (stages && std::size_t(done) < m_stageCount.load(std::memory_order_acquire)) {
        const AckStage &next = stages[std::size_t(done)];
        armAck(next.acks);
        if (m_turnaroundLog)
            m_turnaroundLog->push_back(
                std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - m_lastRead).count());
        sendRaw(next.bytes);
    } else {
        m_stagesActive = false;
    }
    m_stagesDone.store(done, std::memory_order_release);
}

int ScaleLink::runAcknowledged(std::span<const AckStage> stages, WaitLimit limit, const Clock &clock,
                               EventPump &pump, const std::function<void(int)> &progress)
{
    if (stages.empty())
        return 0;
    const bool ownSession = !ack.on.load(std::memory_order_acquire);
    if (ownSession) {
        armAck(0);
        ack.on.store(true, std::memory_order_release);
    }
    {
        std::lock_guard<std::mutex> lock(m_stageMutex);
        m_stageCount.store(stages.size(), std::memory_order_release);
        m_stageData.store(stages.data(), std::memory_order_release);
        m_stagesDone.store(0, std::memory_order_release);
        m_stagesActive = true;
        armAck(stages[0].acks);
        sendRaw(stages[0].bytes);
    }
    const int total = int(stages.size());
    int done = 0;
    while (done < total) {
        const bool moved = receptionWait([&] { return m_stagesDone.load(std::memory_order_acquire) != done; },
                                         limit.seconds, clock, pump);
        if (!moved)
            break;
        done = m_stagesDone.load(std::memory_order_acquire);
        if (progress)
            progress(done);
    }
    {
        std::lock_guard<std::mutex> lock(m_stageMutex);
        m_stagesActive = false;
        m_stageData.store(nullptr, std::memory_order_release);
        m_stageCount.store(0, std::memory_order_release);
        done = m_stagesDone.load(std::memory_order_acquire);
    }
    armAck(0);
    if (ownSession)
        ack.on.store(false, std::memory_order_release);
    return done;
}

} // namespace ztk
