#include "support/SimProcess.h"
#include "support/Programs.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace ztk::test {

namespace {
constexpr int RecordSize = 256;

// fork and exec, standard output to `out` (or left as it is with -1), and with
// `bothOut` standard error too. The child's pid, or -1.
pid_t spawn(std::vector<std::string> &args, int out, bool bothOut = false)
{
    std::vector<char *> argv;
    for (std::string &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (out >= 0)
            ::dup2(out, STDOUT_FILENO);
        if (out >= 0 && bothOut)
            ::dup2(out, STDERR_FILENO);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    return pid;
}

void reap(int &pid, int signal, int graceMs)
{
    if (pid <= 0)
        return;
    ::kill(pid, signal);
    QDeadlineTimer deadline(graceMs);
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (deadline.hasExpired()) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            break;
        }
        QThread::msleep(5);
    }
    pid = -1;
}

sockaddr_in loopback(quint16 port)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

quint16 freeLoopbackPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a = loopback(0);
    socklen_t size = sizeof a;
    quint16 port = 0;
    if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0
        && ::getsockname(fd, reinterpret_cast<sockaddr *>(&a), &size) == 0)
        port = ntohs(a.sin_port);
    if (fd >= 0)
        ::close(fd);
    return port;
}

bool accepts(quint16 port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in a = loopback(port);
    const bool ok = fd >= 0 && ::connect(fd, reinterpret_cast<const sockaddr *>(&a), sizeof a) == 0;
    if (fd >= 0)
        ::close(fd);
    return ok;
}
} // namespace

QByteArray readFileBytes(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

std::string transportName(const ::testing::TestParamInfo<Transport> &info)
{
    switch (info.param) {
    case Transport::Tcp: return "Tcp";
    case Transport::Ser2net: return "Ser2net";
    case Transport::Pty: break;
    }
    return "Pty";
}

SimProcess::SimProcess(Transport transport)
    : m_transport(transport)
{
    QDir(m_dir.path()).mkpath(QStringLiteral("state"));
}

SimProcess::~SimProcess()
{
    stop();
}

QString SimProcess::stateDir() const
{
    return QDir(m_dir.path()).filePath(QStringLiteral("state"));
}

QString SimProcess::logPath() const
{
    return QDir(m_dir.path()).filePath(QStringLiteral("sim.log"));
}

bool SimProcess::running() const
{
    if (m_pid <= 0)
        return false;
    int status = 0;
    if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
        m_pid = -1;
        return false;
    }
    return true;
}

bool SimProcess::start(const QStringList &args)
{
    stop();
    const QString previous = m_port;
    const QString previousPort = previous.startsWith(QLatin1String("tcp:")) ? previous.section(QLatin1Char(':'), 2) : QString();
    m_port.clear();
    m_device.clear();
    m_error.clear();

    // Everything the child needs is made before the fork: after it, only exec.
    std::vector<std::string> argStrings{test::simProgram().toStdString(), "--log", logPath().toStdString(), "--state",
                                        stateDir().toStdString()};
    if (m_transport == Transport::Tcp) {
        argStrings.push_back("--tcp");
        argStrings.push_back("127.0.0.1:" + (previousPort.isEmpty() ? std::string("0") : previousPort.toStdString()));
    }
    for (const QString &a : args)
        argStrings.push_back(a.toStdString());

    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) {
        m_error = QStringLiteral("no pipe for the simulator");
        return false;
    }
    const pid_t pid = spawn(argStrings, out[1]);
    if (pid < 0) {
        ::close(out[0]);
        ::close(out[1]);
        m_error = QStringLiteral("the simulator did not start");
        return false;
    }
    ::close(out[1]);
    m_pid = pid;

    // The first line is the port path; the rest of standard output is not read.
    QByteArray line;
    QDeadlineTimer deadline(10000);
    while (!line.contains('\n') && !deadline.hasExpired()) {
        pollfd p{out[0], POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0)
            continue;
        char buf[256];
        const ssize_t n = ::read(out[0], buf, sizeof buf);
        if (n <= 0)
            break; // the simulator ended
        line.append(buf, n);
    }
    ::close(out[0]);
    if (!line.contains('\n')) {
        m_error = QStringLiteral("the simulator gave no port path");
        stop();
        return false;
    }
    m_port = QString::fromLocal8Bit(line.left(line.indexOf('\n')));
    if (m_transport != Transport::Ser2net)
        return true;
    m_device = m_port;
    const quint16 port = previousPort.isEmpty() ? freeLoopbackPort() : quint16(previousPort.toUInt());
    if (!startDeviceServer(port)) {
        stop();
        return false;
    }
    m_port = QStringLiteral("tcp:127.0.0.1:%1").arg(port);
    return true;
}

bool SimProcess::startDeviceServer(quint16 port)
{
    if (port == 0) {
        m_error = QStringLiteral("no free port on the loopback for ser2net");
        return false;
    }
    // Raw TCP, the line as the simulator is set (its speed is the pseudo-terminal's,
    // which does not pace); no lock files, no pid file of the system's.
    const std::string pidFile = QDir(m_dir.path()).filePath(QStringLiteral("ser2net.pid")).toStdString();
    std::vector<std::string> args{"ser2net", "-n", "-u", "-P", pidFile,
                                  "-Y", "connection: &sim",
                                  "-Y", "  accepter: tcp,127.0.0.1," + std::to_string(port),
                                  "-Y", "  connector: serialdev," + m_device.toStdString() + ",115200n81,local",
                                  "-Y", "  options:",
                                  "-Y", "    kickolduser: true"};
    // What it says goes to its own log beside the simulator's.
    const std::string logFile = QDir(m_dir.path()).filePath(QStringLiteral("ser2net.log")).toStdString();
    const int log = ::open(logFile.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    m_serverPid = spawn(args, log, true);
    if (log >= 0)
        ::close(log);
    if (m_serverPid < 0) {
        m_error = QStringLiteral("ser2net did not start");
        return false;
    }
    // Ready once it accepts on the port.
    QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        int status = 0;
        if (::waitpid(m_serverPid, &status, WNOHANG) == m_serverPid) {
            m_serverPid = -1;
            m_error = QStringLiteral("ser2net ended at start (is it installed?)");
            return false;
        }
        if (accepts(port)) {
            // ser2net lets the next client in once it has let go of this one.
            QThread::msleep(100);
            return true;
        }
        QThread::msleep(20);
    }
    m_error = QStringLiteral("ser2net did not listen on port %1").arg(port);
    return false;
}

void SimProcess::signalAndReap(int signal, int graceMs)
{
    // The device server goes with the scale behind it, so the port vanishes as a
    // listening simulator's does.
    reap(m_serverPid, SIGTERM, 2000);
    reap(m_pid, signal, graceMs);
}

void SimProcess::stop()
{
    signalAndReap(SIGTERM, 10000);
}

void SimProcess::kill()
{
    signalAndReap(SIGKILL, 5000);
}

QByteArray SimProcess::log() const
{
    return readFileBytes(logPath());
}

QByteArray SimProcess::waitForLog(int bytes, int ms) const
{
    QDeadlineTimer deadline(ms);
    QByteArray got = log();
    while (got.size() < bytes && !deadline.hasExpired()) {
        QThread::msleep(10);
        got = log();
    }
    return got;
}

QByteArray SimProcess::stateFile(const QString &name) const
{
    return readFileBytes(QDir(stateDir()).filePath(name));
}

bool SimProcess::writeStateFile(const QString &name, const QByteArray &bytes) const
{
    QFile f(QDir(stateDir()).filePath(name));
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray SimProcess::slot(int index) const
{
    return stateFile(QStringLiteral("products.bin")).mid(qsizetype(index) * RecordSize, RecordSize);
}

} // namespace ztk::test
