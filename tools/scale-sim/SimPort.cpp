#include "SimPort.h"

// ztk-scale-sim: answers the scale's commands on a pseudo-terminal (or a given
// device, or a TCP port as a serial device server does) for tests, the demo and
// anyone without a scale.
//
//   ztk-scale-sim [OPTIONS]; ztk-scale-sim --help tells them (simManual() below).
//
// A new scale (no state) holds the common data of ScaleMemory::factoryCommonData.

#include "SimScale.h"

#include "link/SerialPort.h"
#include "shared/ManualText.h"

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/prctl.h>
#include <termios.h>
#include <unistd.h>

namespace ztk::sim {

namespace {

constexpr int WriteGiveUpMs = 2000;     // nobody reads the port: the rest of a reply is dropped

} // namespace

std::int64_t nowNs()
{
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return std::int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

void sleepUntilNs(std::int64_t t)
{
    timespec ts{};
    ts.tv_sec = time_t(t / 1000000000);
    ts.tv_nsec = long(t % 1000000000);
    while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
    }
}

void Port::accountReceived(std::int64_t readAtNs)
{
    if (!byteNs)
        return;
    const std::int64_t arrived = std::max(readAtNs, rxFreeNs) + byteNs;
    sleepUntilNs(arrived);
    rxFreeNs = arrived;
}

void Port::send(const Bytes &bytes)
{
    if (bytes.empty() || fd < 0)
        return;
    if (!byteNs) {
        writeAll(bytes.data(), bytes.size());
        return;
    }
    const std::int64_t startNs = nowNs();
    for (std::uint8_t b : bytes) {
        const std::int64_t done = std::max(startNs, txFreeNs) + byteNs;
        sleepUntilNs(done);
        txFreeNs = done;
        if (!writeAll(&b, 1))
            return;
    }
}

bool Port::writeAll(const std::uint8_t *data, std::size_t size)
{
    std::size_t sent = 0;
    while (sent < size) {
        const ssize_t n = ::write(fd, data + sent, size - sent);
        if (n > 0) {
            sent += std::size_t(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd p{fd, POLLOUT, 0};
            if (::poll(&p, 1, WriteGiveUpMs) > 0 && !(p.revents & (POLLERR | POLLNVAL)))
                continue;
        }
        std::fprintf(stderr, "ztk-scale-sim: %zu reply bytes dropped: nobody reads the port\n", size - sent);
        return false;
    }
    return true;
}

void makeRaw(int fd)
{
    termios tio{};
    if (::tcgetattr(fd, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::tcsetattr(fd, TCSANOW, &tio);
    }
}

// Opens a pseudo-terminal; returns the master and fills the slave's path. The slave
// stays open here as well, so the master never sees a hang-up while the PC has the
// port closed, and the line stays raw between the PC's opens.
int openPty(QString &slavePath, int &slaveFd)
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0)
        return -1;
    const char *name = ::ptsname(master);
    if (!name)
        return -1;
    slavePath = QString::fromLocal8Bit(name);
    slaveFd = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slaveFd < 0)
        return -1;
    makeRaw(slaveFd);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    return master;
}

// Listens on "HOST:PORT" (an IPv4 address); returns the socket and fills `where` with
// the address actually bound, or -1.
int listenOn(const QString &hostPort, QString &where)
{
    const qsizetype colon = hostPort.lastIndexOf(QLatin1Char(':'));
    bool ok = false;
    const uint portNumber = hostPort.mid(colon + 1).toUInt(&ok);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(quint16(portNumber));
    if (colon <= 0 || !ok || portNumber > 65535
        || ::inet_pton(AF_INET, hostPort.left(colon).toLatin1().constData(), &addr.sin_addr) != 1) {
        errno = EINVAL;
        return -1;
    }
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    // A simulator started again on the port of a killed one must not wait out TIME_WAIT.
    const int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    socklen_t len = sizeof addr;
    if (::bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0 || ::listen(fd, 4) != 0
        || ::getsockname(fd, reinterpret_cast<sockaddr *>(&addr), &len) != 0) {
        const int err = errno;
        ::close(fd);
        errno = err;
        return -1;
    }
    where = QStringLiteral("tcp:%1:%2").arg(hostPort.left(colon)).arg(ntohs(addr.sin_port));
    return fd;
}

} // namespace ztk::sim
