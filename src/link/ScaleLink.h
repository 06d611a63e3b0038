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

#include "link/SerialPort.h"
#include "shared/Seams.h"

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace ztk {

// The receive modes, in the order in which the reader tests them.
struct AckCountMode {
    std::atomic<bool> on{false};
    std::atomic<std::int32_t> count{0};
    std::atomic<std::int32_t> expected{0}; // bytes are counted only while this is not 0
    std::atomic<bool> done{false};
};

struct CountedMode { // CommonDataReceive, TotalsReceive, RecordReceive
    std::atomic<bool> on{false};
    std::atomic<std::int32_t> count{0};
};

struct ByteReplyMode {
    std::atomic<bool> on{false};
    std::atomic<std::uint8_t> reply{0};
};

class ScaleLink {
public:
    static constexpr int ReceiveBufferSize = 512;

    ScaleLink();
    ~ScaleLink(); // stops the reader thread and waits for it, then closes the port
    ScaleLink(const ScaleLink &) = delete;
    ScaleLink &operator=(const ScaleLink &) = delete;

    // Port. openPort returns 0, 2 or 3 as SerialPort::open. Close only with the reader stopped.
    int openPort(const QString &devicePath, std::int32_t baud, std::int32_t stopBitsIndex, std::int16_t parityIndex);
    void closePort();
    bool portOpen() const { return m_port.isOpen(); }
    QString portOpenError() const { return m_port.openErrorText(); } // why the last openPort failed
    void sendByte(std::uint8_t byte);  // one write; nothing without a port
    void sendWord(std::uint16_t word); // low byte, then high byte: two writes
    void discardAll();

    // Reader thread. startReader clears the stop request; false when the thread cannot be made.
    bool startReader();
    // Sets the stop request and waits until the thread has left its loop.
    void stopReader();
    bool readerRunning() const { return m_thread.joinable(); }

    // Called on the reader thread whenever its view of the line changes (up = line
    // settings readable). The first pass on an open port reports up. The handler
    // must hand the display change over to the user-interface thread.
    void setLinkStateHandler(std::function<void(bool up)> handler);

    // Modes.
    AckCountMode ack;
    CountedMode commonData; // armed by the common-data window
    CountedMode totals;
    CountedMode record;
    std::atomic<bool> linkProbe{false};
    ByteReplyMode byteReply;

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
    void readerLoop();
    void notifyWaiter();
    void reportLinkState(bool up, bool &lastUp);
    void pauseReader(int ms); // sleeps, but returns at once on a stop request

    SerialPort m_port;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::mutex m_stopMutex;
    std::condition_variable m_stopWake;
    std::mutex m_handlerMutex; // the handler may be replaced while the reader runs
    std::function<void(bool)> m_linkStateHandler;
    std::array<std::uint8_t, ReceiveBufferSize> m_receiveBuffer{};
    std::vector<std::uint8_t> m_totalsImage;

    std::mutex m_wakeMutex;
    std::condition_variable m_wake;
    std::uint64_t m_wakeSeq = 0; // guarded by m_wakeMutex
};

// The link check: LinkProbe on, DiscardAll, 0x0D, a wait of 3 s. True when any
// byte came back; on a time-out LinkProbe is switched off.
bool probeLink(ScaleLink &link, const Clock &clock, EventPump &pump);

// The scale-number query: ByteReply on, DiscardAll, 0x13, a wait of 15 s. The reply
// byte read as a signed number, or nothing on a time-out (ByteReply switched off).
std::optional<std::int8_t> queryScaleNumber(ScaleLink &link, const Clock &clock, EventPump &pump);

} // namespace ztk
