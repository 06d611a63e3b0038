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

using namespace ztk::sim;

namespace {

constexpr int ArgumentTimeoutMs = 2000; // a command whose arguments stop coming goes back to idle
constexpr int WriteGiveUpMs = 2000;     // nobody reads the port: the rest of a reply is dropped

int g_signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char c = 1;
    const ssize_t ignored = ::write(g_signalPipe[1], &c, 1);
    (void)ignored;
}

struct Sale {
    int product = 0;
    std::uint32_t amount = 0, money = 0, weighings = 0;
};

struct Options {
    QString totalsFile;
    std::vector<Sale> sales;
    QString device;
    QString tcp; // HOST:PORT to listen on
    QString stateDir;
    QString logFile;
    long baud = 0;
    int number = 1;
    Faults faults;
};

struct SimOption {
    const char *name;
    const char *value;
    const char *help;
};

const SimOption SimOptions[] = {
    {"device", "PATH", "serves a real serial device at PATH instead of a new pseudo-terminal"},
    {"tcp", "HOST:PORT",
     "serves the scale over TCP at HOST:PORT as a serial device server does, instead of a pseudo-terminal: one "
     "connection at a time, a new one taking the place of the old; port 0 takes a free port"},
    {"state", "DIR", "loads the scale's memory from DIR at start and saves it there at the end"},
    {"baud", "N", "emulates a line of N bit/s on the pseudo-terminal (10 bits a byte); on a device, its speed"},
    {"log", "FILE", "writes every byte received from the PC into FILE"},
    {"number", "N", "the scale's number, -128..255 (default 1)"},
    {"totals", "FILE", "takes a kept totals reception (153600 bytes) as the scale's totals"},
    {"sale", "N:AMOUNT:MONEY:WEIGHINGS",
     "sets product N's totals: the amount (thousandths of a kilogram, or pieces), the money (hundredths) and the "
     "weighings; may be given again"},
    {"fault", "KIND",
     "misbehaves: silent (answers nothing), no-ack=S[@K] (no acknowledgement of stage S of a write, at its K-th "
     "time), short (replies cut short), cut=N[@K] (a reply stops after N bytes), noise (every reply is noise of its "
     "length, as a line at another speed brings), stray (a stray byte before each reply); may be given again"},
};

ztk::Manual simManual()
{
    ztk::Manual m;
    m.name = QStringLiteral("ztk-scale-sim");
    m.purpose = QStringLiteral("a label-printing scale on a pseudo-terminal or TCP, for tests, the demo and anyone "
                                "without a scale");
    m.synopsis = QStringLiteral("ztk-scale-sim [OPTIONS]");
    m.version = QStringLiteral(ZTK_VERSION_TEXT);
    m.sections.push_back(
        {QStringLiteral("DESCRIPTION"),
         {QStringLiteral("ztk-scale-sim answers every command of the scale's command set. It opens a pseudo-terminal "
                         "(or the device given, or listens at the TCP address given) and prints the port the PC opens "
                         "(a path, or tcp:HOST:PORT) as the first line of standard output. It listens only where it "
                         "is told. It keeps 5000 product slots, the common-data block, the totals and the clock in "
                         "memory, and runs until it is stopped (SIGTERM, SIGINT or SIGHUP), saving its state first "
                         "when --state is given."),
          QStringLiteral("A new scale holds the factory common data. --totals takes a kept reception as the totals; "
                         "each --sale then sets one product's counters.")},
         {},
         {}});
    ztk::ManualSection options{QStringLiteral("OPTIONS"), {}, {}, {}};
    for (const SimOption &o : SimOptions)
        options.entries.push_back(ztk::optionEntry(o.name, o.value, o.help));
    ztk::appendStandardOptions(options);
    m.sections.push_back(options);
    m.sections.push_back({QStringLiteral("EXIT STATUS"),
                          {},
                          {{QStringLiteral("0"), QStringLiteral("Stopped by a signal, the state saved.")},
                           {QStringLiteral("1"), QStringLiteral("The port could not be opened.")},
                           {QStringLiteral("2"), QStringLiteral("Bad usage, or a totals file of the wrong size.")}},
                          {}});
    m.sections.push_back({QStringLiteral("FILES"),
                          {QStringLiteral("In the --state folder: the scale's memory, kept between runs.")},
                          {},
                          {}});
    m.sections.push_back({QStringLiteral("SEE ALSO"), {QStringLiteral("ztk-cli(1)")}, {}, {}});
    return m;
}

[[noreturn]] void usage(const QString &why)
{
    std::fprintf(stderr, "ztk-scale-sim: %s\n(ztk-scale-sim --help lists the options)\n", qPrintable(why));
    std::exit(2);
}

bool parseFault(const QString &text, Faults &f)
{
    if (text == QLatin1String("silent")) {
        f.silent = true;
    } else if (text == QLatin1String("short")) {
        f.shortReplies = true;
    } else if (text == QLatin1String("stray")) {
        f.stray = true;
    } else if (text == QLatin1String("noise")) {
        f.noise = true;
    } else if (text.startsWith(QLatin1String("cut="))) {
        const QStringList parts = text.mid(4).split(QLatin1Char('@'));
        bool ok = false;
        f.cutBytes = parts[0].toInt(&ok);
        if (!ok || f.cutBytes < 1 || parts.size() > 2)
            return false;
        if (parts.size() == 2) {
            f.cutOccurrence = parts[1].toInt(&ok);
            if (!ok || f.cutOccurrence < 1)
                return false;
        }
    } else if (text.startsWith(QLatin1String("no-ack="))) {
        const QStringList parts = text.mid(7).split(QLatin1Char('@'));
        bool ok = false;
        f.noAckStage = parts[0].toInt(&ok);
        if (!ok || f.noAckStage < 1 || f.noAckStage > 3 || parts.size() > 2)
            return false;
        if (parts.size() == 2) {
            f.noAckOccurrence = parts[1].toInt(&ok);
            if (!ok || f.noAckOccurrence < 1)
                return false;
        }
    } else {
        return false;
    }
    return true;
}

// "12:1500:4530:3"; the counters are taken as the 32 bits the scale keeps.
bool parseSale(const QString &text, Sale &sale)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    if (parts.size() != 4)
        return false;
    bool ok = false;
    sale.product = parts[0].toInt(&ok);
    if (!ok || sale.product < 1 || sale.product > 5000)
        return false;
    std::uint32_t *counters[] = {&sale.amount, &sale.money, &sale.weighings};
    for (int i = 0; i < 3; ++i) {
        const qint64 v = parts[i + 1].toLongLong(&ok);
        if (!ok || v < -2147483648LL || v > 4294967295LL)
            return false;
        *counters[i] = std::uint32_t(v);
    }
    return true;
}

Options parseOptions(int argc, char **argv)
{
    QStringList words;
    for (int i = 0; i < argc; ++i)
        words << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser line;
    for (const SimOption &o : SimOptions)
        line.addOption({QString::fromUtf8(o.name), QString::fromUtf8(o.help), QString::fromUtf8(o.value)});
    ztk::addStandardOptions(line);
    if (!line.parse(words))
        usage(line.errorText());
    if (!line.positionalArguments().isEmpty())
        usage(QStringLiteral("unexpected %1").arg(line.positionalArguments().first()));
    if (ztk::answerStandardOptions(line, simManual()))
        std::exit(0);
    auto value = [&](const char *name) { return line.value(QString::fromUtf8(name)); };
    auto given = [&](const char *name) { return line.isSet(QString::fromUtf8(name)); };
    Options o;
    bool ok = true;
    o.device = value("device");
    o.tcp = value("tcp");
    o.stateDir = value("state");
    o.logFile = value("log");
    o.totalsFile = value("totals");
    if (given("baud")) {
        o.baud = value("baud").toLong(&ok);
        if (!ok || o.baud < 0)
            usage(QStringLiteral("bad --baud %1").arg(value("baud")));
    }
    if (given("number")) {
        o.number = value("number").toInt(&ok);
        if (!ok || o.number < -128 || o.number > 255)
            usage(QStringLiteral("bad --number %1").arg(value("number")));
    }
    for (const QString &text : line.values(QStringLiteral("sale"))) {
        Sale sale;
        if (!parseSale(text, sale))
            usage(QStringLiteral("bad --sale %1").arg(text));
        o.sales.push_back(sale);
    }
    for (const QString &text : line.values(QStringLiteral("fault"))) {
        if (!parseFault(text, o.faults))
            usage(QStringLiteral("bad --fault %1").arg(text));
    }
    if (!o.device.isEmpty() && !o.tcp.isEmpty())
        usage("--device and --tcp exclude each other");
    return o;
}

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

// The port the simulator serves, with the emulated line speed in both directions.
class Port {
public:
    int fd = -1;
    std::int64_t byteNs = 0; // 0: as fast as possible
    std::int64_t rxFreeNs = 0;
    std::int64_t txFreeNs = 0;

    // A received byte is taken only once it could have crossed the line. The bytes of
    // one read follow each other on the line from the moment they were read, so an
    // oversleep of one byte is not added to the next.
    void accountReceived(std::int64_t readAtNs)
    {
        if (!byteNs)
            return;
        const std::int64_t arrived = std::max(readAtNs, rxFreeNs) + byteNs;
        sleepUntilNs(arrived);
        rxFreeNs = arrived;
    }

    void send(const Bytes &bytes)
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

private:
    bool writeAll(const std::uint8_t *data, std::size_t size)
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
};

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
        if (fds[1].revents & POLLIN)
            break;
        if (fds[2].revents & POLLIN) {
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
