#include "support/CliProcess.h"

#include <QProcess>
#include <QProcessEnvironment>

namespace ztk::test {

CliRun runCli(const QString &workingDir, const QStringList &args, int clockRate)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("ZTK_CLOCK_RATE"));
    if (clockRate > 1)
        env.insert(QStringLiteral("ZTK_CLOCK_RATE"), QString::number(clockRate));
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(workingDir);
    p.start(QStringLiteral(ZTK_CLI_PATH), args);
    CliRun r;
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        r.err = QStringLiteral("ztk-cli did not finish");
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QStringList onPort(const QString &port, const QStringList &command)
{
    return QStringList{QStringLiteral("--port"), port, QStringLiteral("--baud"), QStringLiteral("9600")} + command;
}

} // namespace ztk::test
