// ztk-scale-sim: answers the scale's commands on a pseudo-terminal (or a given
// device, or a TCP port as a serial device server does) for tests, the demo and
// anyone without a scale.
//
//   ztk-scale-sim [OPTIONS]; ztk-scale-sim --help tells them (simManual() below).
//
// A new scale (no state) holds the common data of ScaleMemory::factoryCommonData.

#include "SimOptions.h"
#include "SimPort.h"
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

using namespace ztk::sim;

namespace {

constexpr int ArgumentTimeoutMs = 2000; // a command whose arguments stop coming goes back to idle

int g_signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char c = 1;
    const ssize_t ignored = ::write(g_signalPipe[1], &c, 1);
    (void)ignored;
}

} // namespace

int main(int argc, char **argv)
{
    const Options opt = parseOptions(argc, argv);
    // The emulated line paces bytes by sleeping: keep the kernel's default 50 us of
    // timer slack out of every byte.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);

    ScaleMemory memory;
    memory.common = ScaleMemory::factoryCommonData(std::uint8_t(opt.number), QDateTime::currentDateTime());
    if (!opt.stateDir.isEmpty())
        memory.load(opt.stateDir);
    if (!opt.totalsFile.isEmpty() && !memory.loadTotals(opt.totalsFile)) {
        std::fprintf(stderr, "ztk-scale-sim: %s is not a totals image of 153600 bytes\n", qPrintable(opt.totalsFile));
        return 2;
    }
    for (const Sale &sale : opt.sales)
        memory.setTotals(sale.product, sale.amount, sale.money, sale.weighings);
    ScaleMachine scale(memory, opt.faults, std::uint8_t(opt.number));

    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return 1;
    struct sigaction sa{};
    sa.sa_handler = onSignal;
    ::sigemptyset(&sa.sa_mask);
    ::sigaction(SIGTERM, &sa, nullptr);
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGHUP, &sa, nullptr);
    ::signal(SIGPIPE, SIG_IGN);

    Port port;
    QString path;
    int slaveFd = -1;
    ztk::SerialPort device;
    int listenFd = -1;
    if (!opt.tcp.isEmpty()) {
        listenFd = listenOn(opt.tcp, path);
        if (listenFd < 0) {
            std::fprintf(stderr, "ztk-scale-sim: cannot listen on %s: %s\n", qPrintable(opt.tcp), std::strerror(errno));
            return 1;
        }
        if (opt.baud > 0)
            port.byteNs = 10 * std::int64_t(1000000000) / opt.baud;
    } else if (opt.device.isEmpty()) {
        port.fd = openPty(path, slaveFd);
        if (port.fd < 0) {
            std::fprintf(stderr, "ztk-scale-sim: cannot open a pseudo-terminal: %s\n", std::strerror(errno));
            return 1;
        }
        if (opt.baud > 0)
            port.byteNs = 10 * std::int64_t(1000000000) / opt.baud;
    } else {
        // A real line paces itself at the speed it is set to.
        path = ztk::SerialPort::devicePath(opt.device);
        if (device.open(path, std::int32_t(opt.baud > 0 ? opt.baud : 9600), 0, 0) != ztk::SerialPort::Opened) {
            std::fprintf(stderr, "ztk-scale-sim: cannot open %s\n", qPrintable(path));
            return 1;
        }
        port.fd = device.fd();
    }

    int logFd = -1;
    if (!opt.logFile.isEmpty()) {
        logFd = ::open(opt.logFile.toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (logFd < 0)
            std::fprintf(stderr, "ztk-scale-sim: cannot open the log %s\n", qPrintable(opt.logFile));
    }

    std::printf("%s\n", path.toLocal8Bit().constData());
    std::fflush(stdout);

    if (listenFd < 0)
        port.send(scale.startUpBytes());
    // Over TCP: the connection ends, what was under way is dropped as a line cut would.
    auto dropConnection = [&] {
        if (listenFd < 0 || port.fd < 0)
            return;
        ::close(port.fd);
        port.fd = -1;
        scale.abandon();
    };

    auto saveState = [&] {
        if (!opt.stateDir.isEmpty() && !memory.save(opt.stateDir))
            std::fprintf(stderr, "ztk-scale-sim: cannot save the state in %s\n", qPrintable(opt.stateDir));
    };

    std::int64_t lastByteNs = nowNs();
    std::uint8_t chunk[4096];
    Bytes out;
    for (;;) {
        int timeoutMs = -1;
        if (scale.waitingForArguments()) {
            const std::int64_t left = lastByteNs + std::int64_t(ArgumentTimeoutMs) * 1000000 - nowNs();
            timeoutMs = left > 0 ? int(left / 1000000) + 1 : 0;
        }
        pollfd fds[3] = {{port.fd, POLLIN, 0}, {g_signalPipe[0], POLLIN, 0}, {listenFd, POLLIN, 0}};
        const int r = ::poll(fds, 3, timeoutMs);
        if (r < 0 && errno != EINTR)
            break;
        // A stop still takes in what the PC has already sent: the last command of an
        // exchange may be in the port when the signal comes.
        const bool stopping = fds[1].revents & POLLIN;
        if (stopping && !(fds[0].revents & POLLIN))
            break;
        if (!stopping && (fds[2].revents & POLLIN)) {
            const int conn = ::accept4(listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (conn >= 0) {
                dropConnection();
                const int on = 1;
                ::setsockopt(conn, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
                port.fd = conn;
                port.send(scale.startUpBytes());
            }
            continue;
        }

        if (fds[0].revents & POLLIN) {
            const ssize_t n = ::read(port.fd, chunk, sizeof chunk);
            if (n > 0) {
                const std::int64_t readAtNs = nowNs();
                if (logFd >= 0) {
                    const ssize_t ignored = ::write(logFd, chunk, std::size_t(n));
                    (void)ignored;
                }
                for (ssize_t i = 0; i < n; ++i) {
                    port.accountReceived(readAtNs);
                    out.clear();
                    scale.feed(chunk[i], out);
                    // Saved before the answer goes out: whoever saw the answer finds the files.
                    if (scale.takeChanged())
                        saveState();
                    port.send(out);
                    lastByteNs = nowNs();
                }
            } else if (stopping) {
                break;
            } else if (listenFd >= 0 && (n == 0 || (errno != EAGAIN && errno != EINTR))) {
                dropConnection();
            } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                ::usleep(100000); // the other side is closed (EIO on a master): wait for it
            }
        } else if (listenFd >= 0 && (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL))) {
            dropConnection();
        } else if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            ::usleep(100000);
        }

        if (scale.waitingForArguments() && nowNs() - lastByteNs >= std::int64_t(ArgumentTimeoutMs) * 1000000)
            scale.abandon();
        if (scale.takeChanged())
            saveState();
    }

    scale.abandon();
    saveState();
    if (logFd >= 0)
        ::close(logFd);
    if (slaveFd >= 0)
        ::close(slaveFd);
    dropConnection();
    if (listenFd >= 0)
        ::close(listenFd);
    return 0;
}
