#pragma once
// Starts ztk-scale-sim for a benchmark and reads its port path; stops it on destruction.

#include <QByteArray>
#include <QDeadlineTimer>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace ztk::bench {

class SimLauncher {
public:
    explicit SimLauncher(const QStringList &args = {})
    {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral(ZTK_SIM_PATH), args);
        if (!m_process.waitForStarted(10000))
            return;
        QDeadlineTimer deadline(10000);
        QByteArray line;
        while (!line.contains('\n') && !deadline.hasExpired() && m_process.state() != QProcess::NotRunning) {
            m_process.waitForReadyRead(100);
            line += m_process.readAllStandardOutput();
        }
        if (line.contains('\n'))
            m_port = QString::fromLocal8Bit(line.left(line.indexOf('\n')));
    }
    ~SimLauncher()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished(5000);
    }
    SimLauncher(const SimLauncher &) = delete;
    SimLauncher &operator=(const SimLauncher &) = delete;

    // Empty when the simulator did not start.
    const QString &port() const { return m_port; }

private:
    QProcess m_process;
    QString m_port;
};

// The value after `name` on the command line, or `fallback`.
inline long longOption(int argc, char **argv, const char *name, long fallback)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (QByteArray(argv[i]) == name)
            return QByteArray(argv[i + 1]).toLong();
    }
    return fallback;
}

} // namespace ztk::bench
