#pragma once
// A scale behind a serial device server: one TCP connection ("tcp:HOST:PORT", raw
// mode) carrying the line. The connection is made out only; a lost one is made again
// under the same descriptor number, so a writer never meets a closed or reused one.

#include "link/LinkPort.h"

#include <QString>

#include <atomic>
#include <optional>

namespace ztk {

struct NetworkAddress {
    QString host; // without the brackets of an IPv6 address
    quint16 port = 0;
};

class NetworkPort final : public LinkPort {
public:
    static constexpr int ConnectTimeoutMs = 3000;
    static constexpr int LongestPauseMs = 1000; // reconnecting backs off to once a second

    NetworkPort() = default;
    ~NetworkPort() override;
    NetworkPort(const NetworkPort &) = delete;
    NetworkPort &operator=(const NetworkPort &) = delete;

    // "tcp:" starts the name.
    static bool isAddress(const QString &name);
    // "tcp:HOST:PORT" (HOST may be "[v6]"), the port 1 to 65535; nothing when malformed.
    static std::optional<NetworkAddress> parse(const QString &name);

    // CannotOpen only for a malformed address (or no socket at all). An address that
    // does not answer opens a port whose line is down: the reader keeps trying, and
    // openErrorText() says why the first try failed.
    OpenResult open(const QString &path, std::int32_t baud, std::int32_t stopBitsIndex,
                    std::int16_t parityIndex) override;
    void close() override;
    bool isOpen() const override { return m_fd >= 0; }
    int fd() const override { return m_fd; }
    const QString &openErrorText() const override { return m_openError; }

    bool sendByte(std::uint8_t byte) override;
    // One send for the lot: each byte its own packet would only load the device server.
    bool sendBytes(std::span<const std::uint8_t> bytes) override;
    void discardAll() override;
    bool lineUp() const override { return m_connected.load(std::memory_order_acquire); }
    bool reconnect(const std::atomic<bool> &stop) override;
    int reconnectPauseMs(int failures) const override;

private:
    // Connects within ConnectTimeoutMs; returns the socket, or -1 with `why` set.
    int connectOut(const std::atomic<bool> *stop, QString &why);

    int m_fd = -1;
    NetworkAddress m_address;
    QString m_openError;
    std::atomic<bool> m_connected{false};
};

} // namespace ztk
