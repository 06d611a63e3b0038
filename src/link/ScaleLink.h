#pragma once
// The connection to one scale: the port, the reader thread that hands each
// received byte to the first ReceiveMode that is on, and ReceptionWait.
//
// Threads share the modes by phase, without locks: the user-interface thread
// prepares a mode's counters, switches it on and only then sends; while the
// switch is on only the reader thread writes the counters and the target buffer;
// the reader switches the mode off (release) after its last write; the
// user-interface thread reads the buffer only after it has seen the switch off
// (acquire).

#include "link/Commands.h"
#include "link/LinkPort.h"
#include "link/SerialPort.h"
#include "shared/Seams.h"

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <sys/eventfd.h>
#include <thread>
#include <vector>

namespace ztk {

struct PortConfig;

// The receive modes, in the order in which the reader tests them.
struct AckCountMode {
    std::atomic<bool> on{false};
    std::atomic<std::int32_t> count{0};
    std::atomic<std::int32_t> expected{0}; // bytes are counted only while this is not 0
    std::atomic<bool> done{false};
};

// A reply of a fixed size into its buffer; the switch goes off with its last byte.
struct CountedMode {
    std::atomic<bool> on{false};
    std::atomic<std::int32_t> count{0};
};

// The receptions a caller can ask for, in the order in which the reader offers them a
// byte; each has its reply size and its buffer.
enum class Reception { CommonData, Totals, Record, LinkProbe, ByteReply };
inline constexpr int ReceptionCount = 5;

// How long a reception or a stage may take, by the clock: `seconds` in all, or, with
// `sinceLastByte`, `seconds` without a new byte (a long reply at a slow speed).
struct WaitLimit {
    int seconds = cmd::WaitSeconds;
    bool sinceLastByte = false;
};

// One stage of an acknowledged exchange: these bytes, then `acks` bytes back.
struct AckStage {
    std::span<const std::uint8_t> bytes;
    std::int32_t acks = 0;
};

// What opening the link came to; the messages have been shown.
struct LinkOpenResult {
    SerialPort::OpenResult port = SerialPort::CannotOpen;
    QString failure; // the device path and the system's reason when the port did not open
    bool readerStarted = false;
    bool ok() const { return port == SerialPort::Opened && readerStarted; }
};

class ScaleLink {
public:
    static constexpr int ReceiveBufferSize = 512;

    ScaleLink();
    ~ScaleLink(); // stops the reader thread and waits for it, then closes the port
    ScaleLink(const ScaleLink &) = delete;
    ScaleLink &operator=(const ScaleLink &) = delete;

    // The open sequence of the program and of ztk-cli: the reader stopped, the port of
    // `config` opened ("ERROR: Opening COM-Port failed!" shown when it is not, and
    // who holds the port when another program does: waiting would not help), pending
    // bytes dropped, every mode off, the reader started (its message shown when it
    // cannot be). The reader runs even without a port, so a later open finds it.
    LinkOpenResult open(const PortConfig &config, Prompter &prompter);

    // Port: a serial device path, or "tcp:HOST:PORT". Close only with the reader stopped.
    SerialPort::OpenResult openPort(const QString &devicePath, std::int32_t baud, std::int32_t stopBitsIndex,
                                    std::int16_t parityIndex);
    void closePort();
    bool portOpen() const { return m_port && m_port->isOpen(); }
    // Why the last openPort failed (for a network port: why its first connect did)
    QString portOpenError() const { return m_port ? m_port->openErrorText() : QString(); }
    // The line is up now (a network port: connected).
    bool lineUp() const { return m_port && m_port->lineUp(); }
    // Bytes of a command the scale does not answer. False when not all of them were
    // written (no port, a connection not made or lost).
    bool sendByte(std::uint8_t byte);  // one write; nothing without a port
    bool sendWord(std::uint16_t word); // low byte, then high byte: two writes
    bool sendBytes(std::span<const std::uint8_t> bytes); // one write per byte
    void discardAll();

    // Before a request that is answered: returns once the line has been quiet for a
    // while (no byte outside a reception, none sent without an answer, the port not
    // just opened), so that the tail of an earlier reply the scale is still sending is
    // never taken as this one's. False when it stays busy beyond twice the time
    // `replyBytes` take at the line's speed (and a second): the request is not sent then.
    // `quietFactor` times the quiet time: after a reply that did not stand alone, a
    // busy machine's pauses within a stream may have passed for the end of it.
    bool settleLine(int replyBytes, EventPump &pump, int quietFactor = 1);
    // How long the line must be quiet: 50 ms, or 32 bytes' time on a slow line.
    int quietMs() const;
    // After a reply: true when the line stays quiet for quietMs(). A byte meanwhile means
    // the reply was not the whole answer to the request (it began with an earlier
    // reply's tail, and the rest of its own is still coming).
    bool quietAfterReply(EventPump &pump);

    // --- exchanges: the only way callers use the modes

    // Waits for a quiet line (settleLine; false at once when it stays busy), arms
    // `reception` with count 0 (after DiscardAll when `discardFirst`), sends
    // `command`, and waits within `limit`. True when the whole reply came; the mode is
    // off again either way. `progress` is given the bytes received so far.
    bool receive(Reception reception, std::span<const std::uint8_t> command, WaitLimit limit, const Clock &clock,
                 EventPump &pump, bool discardFirst = false, const std::function<void(int received)> &progress = {});
    // The reply of the last reception of that kind (its whole buffer; for ByteReply
    // the one byte).
    std::span<const std::uint8_t> received(Reception reception) const;

    // Runs the stages in order: each stage's bytes leave as soon as the acknowledgements
    // of the one before are in. The reader thread sends them, so the scale never waits
    // for this thread to wake. Each stage may take `limit`. AckCount is on while this
    // runs (bytes outside a stage are dropped uncounted) and off on every way out.
    // Returns how many stages were acknowledged; `progress` is told after each one.
    int runAcknowledged(std::span<const AckStage> stages, WaitLimit limit, const Clock &clock, EventPump &pump,
                        const std::function<void(int done)> &progress = {});
    // While a caller holds one, AckCount is on with nothing expected, so that stray
    // bytes before the first stage are dropped.
    class AckSession {
    public:
        explicit AckSession(ScaleLink &link);
        ~AckSession();
        AckSession(const AckSession &) = delete;
        AckSession &operator=(const AckSession &) = delete;
    private:
        ScaleLink &m_link;
    };

    // For benchmarks: when set, the reader appends the time from reading an acknowledgement's
    // last byte to writing the next stage's first byte, in microseconds.
    void setTurnaroundLog(std::vector<double> *log) { m_turnaroundLog = log; }

    // Reader thread. startReader clears the stop request; false when the thread cannot be made.
    bool startReader();
    // Sets the stop request and waits until the thread has left its loop.
    void stopReader();
    bool readerRunning() const { return m_thread.joinable(); }

    // Called on the reader thread whenever its view of the line changes (up = line
    // settings readable). The first pass on an open port reports up. The handler
    // must hand the display change over to the user-interface thread.
    void setLinkStateHandler(std::function<void(bool up)> handler);

    // Modes. The exchanges above arm them; tests may look at them.
    AckCountMode ack;
    CountedMode commonData;
    CountedMode totals;
    CountedMode record;
    CountedMode linkProbe; // any one byte, dropped
    CountedMode byteReply; // one byte, kept

    void clearModes(); // every switch off, every count and expected 0, done clear
    // AckCount between waits: count 0, done clear, then expected (0 disarms).
    void armAck(std::int32_t expected);

    const std::uint8_t *receiveBuffer() const { return m_receiveBuffer.data(); }
    std::uint8_t *receiveBuffer() { return m_receiveBuffer.data(); }
    const std::uint8_t *totalsImage() const { return m_totalsImage.data(); }
    std::uint8_t *totalsImage() { return m_totalsImage.data(); }

    // Hands one byte to the first mode that is on, exactly as the reader thread does.
    void route(std::uint8_t byte);

    // Waits until `answered` holds or more than `seconds` (strictly) have passed by
    // `clock`, pumping events between polls; wakes at once when the reader hands over
    // a byte. True when answered.
    bool receptionWait(const std::function<bool()> &answered, int seconds, const Clock &clock, EventPump &pump);

private:
    // Each reception's mode, buffer and size, by Reception.
    struct ReceptionSlot {
        CountedMode *mode;
        std::uint8_t *buffer;
        std::int32_t size;
    };
    const ReceptionSlot &slotOf(Reception reception) const { return m_receptions[std::size_t(reception)]; }
    void advanceStages(); // on the reader thread, after a stage's last acknowledgement
    // receptionWait with the limit counted from `start`.
    bool waitFrom(const QDateTime &start, qint64 limitMs, const std::function<bool()> &answered, const Clock &clock,
                  EventPump &pump);
    void readerLoop();
    void notifyWaiter();
    void reportLinkState(bool up, bool &lastUp);
    void pauseReader(int ms); // sleeps, but returns at once on a stop request
    void markBusy(std::atomic<std::int64_t> &moment); // the steady clock's now, in ns
    bool sendRaw(std::span<const std::uint8_t> bytes);

    std::unique_ptr<LinkPort> m_port; // replaced only with the reader stopped
    std::int32_t m_baud = 0;          // of the open port
    // When the line was last busy in a way a new request must wait out, by the steady
    // clock in ns: the port opened, a byte that no reception took, an unanswered command.
    std::atomic<std::int64_t> m_openedAt{0};
    std::atomic<std::int64_t> m_strayAt{0};
    std::atomic<std::int64_t> m_unansweredAt{0};
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::mutex m_stopMutex;
    std::condition_variable m_stopWake;
    int m_stopFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK); // wakes the reader's poll() for a stop
    std::mutex m_handlerMutex; // the handler may be replaced while the reader runs
    std::function<void(bool)> m_linkStateHandler;
    std::array<std::uint8_t, ReceiveBufferSize> m_receiveBuffer{};
    std::vector<std::uint8_t> m_totalsImage;
    std::array<std::uint8_t, 1> m_byteReplied{};
    std::array<std::uint8_t, 1> m_probeByte{};
    std::array<ReceptionSlot, ReceptionCount> m_receptions;

    std::mutex m_wakeMutex;
    std::condition_variable m_wake;
    std::uint64_t m_wakeSeq = 0; // guarded by m_wakeMutex

    // The acknowledged stages under way; the reader advances them, the waiting thread
    // stops them on a time-out. Both under m_stageMutex.
    std::mutex m_stageMutex;
    // The stages under way, published with release and read with acquire, so that the
    // reader sees them whole without leaning on the mutex alone.
    std::atomic<const AckStage *> m_stageData{nullptr};
    std::atomic<std::size_t> m_stageCount{0};
    std::atomic<bool> m_stagesActive{false}; // written under m_stageMutex; the reader also peeks without it
    std::atomic<int> m_stagesDone{0};
    std::chrono::steady_clock::time_point m_lastRead{};
    std::vector<double> *m_turnaroundLog = nullptr;
};

} // namespace ztk
