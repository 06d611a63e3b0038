#include "support/SimProcess.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

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

SimProcess::SimProcess()
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

bool SimProcess::start(const QStringList &args)
{
    m_port.clear();
    m_error.clear();
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral(ZTK_SIM_PATH),
                    QStringList{QStringLiteral("--log"), logPath(), QStringLiteral("--state"), stateDir()} + args);
    if (!m_process.waitForStarted(10000)) {
        m_error = QStringLiteral("the simulator did not start: ") + m_process.errorString();
        return false;
    }
    QDeadlineTimer deadline(10000);
    QByteArray line;
    while (!line.contains('\n')) {
        if (deadline.hasExpired() || m_process.state() == QProcess::NotRunning) {
            m_error = QStringLiteral("the simulator gave no port path");
            stop();
            return false;
        }
        m_process.waitForReadyRead(100);
        line += m_process.readAllStandardOutput();
    }
    m_port = QString::fromLocal8Bit(line.left(line.indexOf('\n')));
    return true;
}

void SimProcess::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(10000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

void SimProcess::kill()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished(5000);
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
