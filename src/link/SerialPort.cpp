#include "link/SerialPort.h"

#include "shared/Messages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace ztk {

namespace {

struct BaudEntry {
    std::int32_t rate;
    speed_t constant;
};

// The rates termios can name; any other rate (and 0, which would hang the line up) is refused.
constexpr BaudEntry BaudTable[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},
    {150, B150},         {200, B200},         {300, B300},         {600, B600},
    {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

bool baudConstant(std::int32_t rate, speed_t &out)
{
    for (const BaudEntry &e : BaudTable) {
        if (e.rate == rate) {
            out = e.constant;
            return true;
        }
    }
    return false;
}

// Opens and prepares one descriptor; returns it, or -1 with `result` and `err` (an errno) set.
int openConfigured(const QByteArray &path, std::int32_t baud, std::int32_t stopBitsIndex, int &result, int &err)
{
    // Non-blocking: a port without carrier must not block the open, and the reader
    // only reads after poll() said there is something.
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        err = errno;
        result = err == EBUSY ? SerialPort::InUse : SerialPort::CannotOpen; // EBUSY: held exclusive
        return -1;
    }
    auto fail = [&](int r, int e) {
        ::close(fd);
        result = r;
        err = e;
        return -1;
    };
    // TIOCEXCL does not hold against root; the advisory lock holds against every
    // opener that takes it too (this program, ztk-cli, the simulator).
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return fail(errno == EWOULDBLOCK ? SerialPort::InUse : SerialPort::CannotOpen, errno);
    if (::ioctl(fd, TIOCEXCL) != 0)
        return fail(SerialPort::CannotOpen, errno);

    termios tio{};
    if (::tcgetattr(fd, &tio) != 0)
        return fail(SerialPort::CannotOpen, errno);

    speed_t speed = B0;
    if (!baudConstant(baud, speed))
        return fail(SerialPort::SettingsRefused, EINVAL);
    // termios knows one or two stop bits only; "one and a half" (index 1) becomes two,
    // which any receiver set to one and a half accepts as well.
    if (stopBitsIndex < 0 || stopBitsIndex > 2)
        return fail(SerialPort::SettingsRefused, EINVAL);

    ::cfmakeraw(&tio);
    tio.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK | PARMRK | IGNPAR | ISTRIP);
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    if (stopBitsIndex != 0)
        tio.c_cflag |= CSTOPB;
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    if (::cfsetispeed(&tio, speed) != 0 || ::cfsetospeed(&tio, speed) != 0)
        return fail(SerialPort::SettingsRefused, errno);
    if (::tcsetattr(fd, TCSANOW, &tio) != 0)
        return fail(SerialPort::SettingsRefused, errno);

    // A pseudo-terminal has no modem lines and refuses this; that is not an error.
    int lines = TIOCM_DTR | TIOCM_RTS;
    (void)::ioctl(fd, TIOCMBIS, &lines);

    ::tcflush(fd, TCIOFLUSH);
    result = SerialPort::Opened;
    return fd;
}

} // namespace

SerialPort::~SerialPort()
{
    close();
}

QString SerialPort::devicePath(const QString &portName)
{
    if (portName.startsWith(QLatin1Char('/')))
        return portName;
    static const QRegularExpression com(QStringLiteral("^COM([0-9]+)$"), QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = com.match(portName);
    if (m.hasMatch()) {
        bool ok = false;
        const int n = m.captured(1).toInt(&ok);
        if (ok && n >= 1)
            return QStringLiteral("/dev/ttyS%1").arg(n - 1);
    }
    return QStringLiteral("/dev/") + portName;
}

SerialPort::OpenResult SerialPort::open(const QString &devicePath, std::int32_t baud, std::int32_t stopBitsIndex,
                                        std::int16_t)
{
    close();
    m_openError.clear();
    int result = CannotOpen;
    int err = 0;
    const int fd = openConfigured(QFile::encodeName(devicePath), baud, stopBitsIndex, result, err);
    if (fd < 0) {
        const QStringList holders = result == InUse ? holdersOf(devicePath) : QStringList();
        m_openError = holders.isEmpty() ? QString::fromLocal8Bit(std::strerror(err)) : holders.join(QStringLiteral(", "));
        return OpenResult(result);
    }
    m_fd = fd;
    m_path = devicePath;
    m_baud = baud;
    m_stopBitsIndex = stopBitsIndex;
    return Opened;
}

QString SerialPort::failureText(OpenResult result, const QString &devicePath, const QString &reason)
{
    if (result == InUse)
        return reason.isEmpty() || reason == QString::fromLocal8Bit(std::strerror(EBUSY))
                   || reason == QString::fromLocal8Bit(std::strerror(EWOULDBLOCK))
            ? msg::text(msg::PortInUse).arg(devicePath)
            : msg::text(msg::PortInUseBy).arg(devicePath, reason);
    if (result == CannotOpen && reason == QString::fromLocal8Bit(std::strerror(EACCES)))
        return msg::text(msg::PortNoPermission).arg(devicePath, reason);
    return QStringLiteral("%1: %2").arg(devicePath, reason);
}

QStringList SerialPort::holdersOf(const QString &devicePath)
{
    QStringList out;
    const QString device = QFileInfo(devicePath).canonicalFilePath();
    if (device.isEmpty())
        return out;
    const QString self = QString::number(::getpid());
    const QDir proc(QStringLiteral("/proc"));
    for (const QString &pid : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (pid == self || pid.front() < QLatin1Char('0') || pid.front() > QLatin1Char('9'))
            continue;
        // Another user's descriptors cannot be read without root: those stay unnamed.
        const QDir fds(proc.filePath(pid + QStringLiteral("/fd")));
        for (const QString &fd : fds.entryList(QDir::System | QDir::NoDotAndDotDot)) {
            if (QFileInfo(fds.filePath(fd)).symLinkTarget() != device)
                continue;
            QFile comm(proc.filePath(pid + QStringLiteral("/comm")));
            const QString name = comm.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(comm.readAll()).trimmed() : QString();
            out << QStringLiteral("%1 (%2)").arg(pid, name);
            break;
        }
    }
    return out;
}

void SerialPort::close()
{
    if (m_fd < 0)
        return;
    // Release the exclusive claim at once: another opener of the tty must not find it held.
    (void)::ioctl(m_fd, TIOCNXCL);
    ::close(m_fd);
    m_fd = -1;
}

bool SerialPort::sendByte(std::uint8_t byte)
{
    if (m_fd < 0)
        return false;
    // A line without flow control drains at its own speed; a queue that takes nothing
    // for this long belongs to a device nobody reads, so the byte is given up.
    constexpr int GiveUpMs = 2000;
    int waitedMs = 0;
    for (;;) {
        const ssize_t n = ::write(m_fd, &byte, 1);
        if (n == 1)
            return true;
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (waitedMs >= GiveUpMs)
                return false;
            pollfd p{m_fd, POLLOUT, 0};
            const int r = ::poll(&p, 1, 100);
            if (r == 0)
                waitedMs += 100;
            else if (r > 0 && (p.revents & (POLLERR | POLLHUP | POLLNVAL)))
                return false;
            continue;
        }
        return false;
    }
}

void SerialPort::discardAll()
{
    if (m_fd >= 0)
        ::tcflush(m_fd, TCIOFLUSH);
}

bool SerialPort::lineSettingsReadable() const
{
    if (m_fd < 0)
        return false;
    termios tio{};
    return ::tcgetattr(m_fd, &tio) == 0;
}

int SerialPort::reconnectPauseMs(int) const
{
    return 150; // a vanished USB adapter is looked for again at once, and often
}

bool SerialPort::reopen()
{
    if (m_fd < 0 || m_path.isEmpty())
        return false;
    // The old descriptor may still hold the exclusive claim and the lock on a tty that survived.
    (void)::ioctl(m_fd, TIOCNXCL);
    (void)::flock(m_fd, LOCK_UN);
    int result = CannotOpen;
    int err = 0;
    const int fd = openConfigured(QFile::encodeName(m_path), m_baud, m_stopBitsIndex, result, err);
    if (fd < 0)
        return false;
    return replaceDescriptor(fd, m_fd);
}

} // namespace ztk
