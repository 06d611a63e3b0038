#include "link/NetworkPort.h"

#include <QDeadlineTimer>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace ztk {

namespace {

constexpr int StopCheckMs = 100;  // a connect in progress looks at the stop request this often
constexpr int FirstPauseMs = 100; // the first reconnect comes soon: a device server restarts fast
constexpr int SendGiveUpMs = 2000; // as the serial line: a peer that takes nothing for this long

// Dead peers are noticed within about 10 s even when nothing is being sent.
void setOptions(int fd)
{
    const int on = 1, idle = 5, interval = 2, count = 3;
    (void)::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    (void)::setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
    (void)::setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle);
    (void)::setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof interval);
    (void)::setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &count, sizeof count);
}

// A socket that is not connected: it stands in for the connection while there is none,
// so that the descriptor number stays taken and a write fails at once.
int unconnectedSocket()
{
    return ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
}

} // namespace

NetworkPort::~NetworkPort()
{
    close();
}

bool NetworkPort::isAddress(const QString &name)
{
    return name.startsWith(QLatin1String("tcp:"));
}

std::optional<NetworkAddress> NetworkPort::parse(const QString &name)
{
    if (!isAddress(name))
        return std::nullopt;
    const QString rest = name.mid(4);
    const qsizetype colon = rest.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0)
        return std::nullopt;
    QString host = rest.left(colon);
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
        host = host.mid(1, host.size() - 2);
    bool ok = false;
    const uint port = rest.mid(colon + 1).toUInt(&ok);
    if (!ok || port < 1 || port > 65535 || host.isEmpty() || host.contains(QLatin1Char(' ')))
        return std::nullopt;
    return NetworkAddress{host, quint16(port)};
}

int NetworkPort::connectOut(const std::atomic<bool> *stop, QString &why)
{
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *found = nullptr;
    const QByteArray host = m_address.host.toUtf8();
    const QByteArray service = QByteArray::number(m_address.port);
    const int gai = ::getaddrinfo(host.constData(), service.constData(), &hints, &found);
    if (gai != 0) {
        why = QString::fromLocal8Bit(::gai_strerror(gai));
        return -1;
    }
    int result = -1;
    QDeadlineTimer deadline(ConnectTimeoutMs);
    for (addrinfo *a = found; a && result < 0 && !deadline.hasExpired(); a = a->ai_next) {
        const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) {
            why = QString::fromLocal8Bit(std::strerror(errno));
            continue;
        }
        int err = ::connect(fd, a->ai_addr, a->ai_addrlen) == 0 ? 0 : errno;
        if (err == EINPROGRESS) {
            err = ETIMEDOUT;
            while (!deadline.hasExpired() && !(stop && stop->load(std::memory_order_acquire))) {
                pollfd p{fd, POLLOUT, 0};
                const int r = ::poll(&p, 1, int(std::min<qint64>(StopCheckMs, deadline.remainingTime())));
                if (r < 0 && errno != EINTR) {
                    err = errno;
                    break;
                }
                if (r > 0) {
                    socklen_t len = sizeof err;
                    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0)
                        err = errno;
                    break;
                }
            }
        }
        if (err == 0) {
            setOptions(fd);
            result = fd;
        } else {
            why = QString::fromLocal8Bit(std::strerror(err));
            ::close(fd);
        }
    }
    ::freeaddrinfo(found);
    return result;
}

LinkPort::OpenResult NetworkPort::open(const QString &path, std::int32_t, std::int32_t, std::int16_t)
{
    close();
    m_openError.clear();
    const std::optional<NetworkAddress> address = parse(path);
    if (!address) {
        m_openError = QStringLiteral("not an address tcp:HOST:PORT");
        return CannotOpen;
    }
    m_address = *address;
    int fd = connectOut(nullptr, m_openError);
    const bool connected = fd >= 0;
    if (!connected)
        fd = unconnectedSocket();
    if (fd < 0) {
        m_openError = QString::fromLocal8Bit(std::strerror(errno));
        return CannotOpen;
    }
    m_fd = fd;
    m_connected.store(connected, std::memory_order_release);
    return Opened;
}

void NetworkPort::close()
{
    if (m_fd < 0)
        return;
    ::close(m_fd);
    m_fd = -1;
    m_connected.store(false, std::memory_order_release);
}

bool NetworkPort::sendByte(std::uint8_t byte)
{
    return sendBytes({&byte, 1});
}

bool NetworkPort::sendBytes(std::span<const std::uint8_t> bytes)
{
    if (m_fd < 0)
        return false;
    std::size_t sent = 0;
    int waitedMs = 0;
    while (sent < bytes.size()) {
        // MSG_NOSIGNAL: a connection the peer has closed must not end the program.
        const ssize_t n = ::send(m_fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            sent += std::size_t(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && waitedMs < SendGiveUpMs) {
            pollfd p{m_fd, POLLOUT, 0};
            const int r = ::poll(&p, 1, StopCheckMs);
            if (r == 0)
                waitedMs += StopCheckMs;
            else if (r > 0 && (p.revents & (POLLERR | POLLHUP | POLLNVAL)))
                return false;
            continue;
        }
        return false;
    }
    return true;
}

void NetworkPort::discardAll()
{
    if (m_fd < 0)
        return;
    std::uint8_t sink[512];
    while (::recv(m_fd, sink, sizeof sink, MSG_DONTWAIT) > 0) {
    }
}

bool NetworkPort::reconnect(const std::atomic<bool> &stop)
{
    if (m_fd < 0)
        return false;
    // The old connection goes at once: the peer sees it closed, and writes fail fast.
    m_connected.store(false, std::memory_order_release);
    const int placeholder = unconnectedSocket();
    if (placeholder >= 0)
        replaceDescriptor(placeholder, m_fd);
    QString why; // the reader's own: openErrorText() belongs to the opening thread
    const int fd = connectOut(&stop, why);
    if (fd < 0)
        return false;
    if (!replaceDescriptor(fd, m_fd))
        return false;
    m_connected.store(true, std::memory_order_release);
    return true;
}

int NetworkPort::reconnectPauseMs(int failures) const
{
    return std::min(LongestPauseMs, FirstPauseMs << std::min(failures, 4));
}

} // namespace ztk
