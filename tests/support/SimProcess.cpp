#include "support/SimProcess.h"
#include "support/Programs.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace ztk::test {

namespace {
constexpr int RecordSize = 256;
}

QByteArray readFileBytes(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

std::string transportName(const ::testing::TestParamInfo<Transport> &info)
{
    return info.param == Transport::Tcp ? "Tcp" : "Pty";
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
    m_port.clear();
    m_error.clear();

    // Everything the child needs is made before the fork: after it, only exec.
    std::vector<std::string> argStrings{test::simProgram().toStdString(), "--log", logPath().toStdString(), "--state",
                                        stateDir().toStdString()};
    if (m_transport == Transport::Tcp) {
        const QString again = previous.startsWith(QLatin1String("tcp:")) ? previous.section(QLatin1Char(':'), 2) : QString();
        argStrings.push_back("--tcp");
        argStrings.push_back("127.0.0.1:" + (again.isEmpty() ? std::string("0") : again.toStdString()));
    }
    for (const QString &a : args)
        argStrings.push_back(a.toStdString());
    std::vector<char *> argv;
    for (std::string &a : argStrings)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) {
        m_error = QStringLiteral("no pipe for the simulator");
        return false;
    }
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(out[0]);
        ::close(out[1]);
        m_error = QStringLiteral("the simulator did not start");
        return false;
    }
    if (pid == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
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
    return true;
}

void SimProcess::signalAndReap(int signal, int graceMs)
{
    if (m_pid <= 0)
        return;
    ::kill(m_pid, signal);
    QDeadlineTimer deadline(graceMs);
    int status = 0;
    while (::waitpid(m_pid, &status, WNOHANG) == 0) {
        if (deadline.hasExpired()) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, &status, 0);
            break;
        }
        QThread::msleep(5);
    }
    m_pid = -1;
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
