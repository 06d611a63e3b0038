#include "support/CliProcess.h"
#include "support/Programs.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace ztk::test {

// Started with fork and exec rather than QProcess, whose way of starting a child
// leaves ThreadSanitizer blind to later synchronisation in the test program.
CliRun runCli(const QString &workingDir, const QStringList &args, int clockRate)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("ZTK_CLOCK_RATE"));
    if (clockRate > 1)
        env.insert(QStringLiteral("ZTK_CLOCK_RATE"), QString::number(clockRate));
    return runProgram(cliProgram(), workingDir, args, env);
}

CliRun runProgram(const QString &program, const QString &workingDir, const QStringList &args,
                  const QProcessEnvironment &env)
{
    CliRun r;
    const QString name = QFileInfo(program).fileName();
    // Everything the child needs is made before the fork: after it, only chdir, dup2 and exec.
    std::vector<QByteArray> envBytes, argBytes;
    for (const QString &kv : env.toStringList())
        envBytes.push_back(kv.toLocal8Bit());
    argBytes.push_back(QFile::encodeName(program));
    for (const QString &a : args)
        argBytes.push_back(a.toLocal8Bit());
    std::vector<char *> envp, argv;
    for (QByteArray &b : envBytes)
        envp.push_back(b.data());
    envp.push_back(nullptr);
    for (QByteArray &b : argBytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    const QByteArray dir = QFile::encodeName(workingDir);

    int out[2], err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) {
        r.err = QStringLiteral("no pipe for %1").arg(name);
        return r;
    }
    const pid_t pid = ::fork();
    if (pid < 0) {
        r.err = QStringLiteral("%1 could not be started").arg(name);
        return r;
    }
    if (pid == 0) {
        const int devNull = ::open("/dev/null", O_RDONLY);
        if (devNull >= 0)
            ::dup2(devNull, 0);
        ::dup2(out[1], 1);
        ::dup2(err[1], 2);
        if (::chdir(dir.constData()) != 0)
            ::_exit(127);
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);

    QByteArray outBytes, errBytes;
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    int open = 2;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    char chunk[4096];
    while (open > 0 && std::chrono::steady_clock::now() < deadline) {
        if (::poll(fds, 2, 100) < 0 && errno != EINTR)
            break;
        for (pollfd &f : fds) {
            if (f.fd < 0 || !(f.revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            const ssize_t n = ::read(f.fd, chunk, sizeof chunk);
            if (n > 0) {
                (&f == &fds[0] ? outBytes : errBytes).append(chunk, n);
            } else if (n == 0 || errno != EINTR) {
                ::close(f.fd);
                f.fd = -1;
                --open;
            }
        }
    }
    for (pollfd &f : fds)
        if (f.fd >= 0)
            ::close(f.fd);
    int status = 0;
    if (open > 0) { // did not finish in time
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        r.err = QStringLiteral("%1 did not finish").arg(name);
        return r;
    }
    ::waitpid(pid, &status, 0);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = QString::fromUtf8(outBytes);
    r.err = QString::fromUtf8(errBytes);
    return r;
}

QProcessEnvironment withLocale(const QList<QPair<QString, QString>> &locale)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"})
        env.remove(QString::fromLatin1(name));
    for (const auto &[name, value] : locale)
        env.insert(name, value);
    return env;
}

QStringList onPort(const QString &port, const QStringList &command)
{
    return QStringList{QStringLiteral("--port"), port, QStringLiteral("--baud"), QStringLiteral("9600")} + command;
}

} // namespace ztk::test
