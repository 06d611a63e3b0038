#pragma once
// Runs ztk-scale-sim for a test: its own temporary folder holds the byte log
// ("sim.log", every byte the PC sent) and the state folder ("state/"). Files put in
// the state folder before start() are loaded by the simulator. The destructor stops it.
//
// Started with fork and exec rather than QProcess: QProcess's way of starting a child
// makes ThreadSanitizer lose track of the test's own locks and report races that
// are not there.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace ztk::test {

class SimProcess {
public:
    SimProcess();
    ~SimProcess();
    SimProcess(const SimProcess &) = delete;
    SimProcess &operator=(const SimProcess &) = delete;

    // Starts the simulator with `args` (beyond --log and --state) and reads the port
    // path from its first line. False (see error()) when it did not come within 10 s.
    bool start(const QStringList &args = {});
    // SIGTERM and wait: the simulator saves its state on the way out.
    void stop();
    // SIGKILL and wait: the port vanishes without any saving.
    void kill();

    bool running() const;
    const QString &port() const { return m_port; }
    const QString &error() const { return m_error; }
    QString dir() const { return m_dir.path(); }
    QString stateDir() const;
    QString logPath() const;

    // Everything the simulator received so far.
    QByteArray log() const;
    // Waits (up to `ms`) until the log holds at least `bytes` bytes, and returns it.
    QByteArray waitForLog(int bytes, int ms = 10000) const;

    // State folder files: "products.bin", "common.bin", "totals.bin", "clock.bin".
    QByteArray stateFile(const QString &name) const;
    bool writeStateFile(const QString &name, const QByteArray &bytes) const;
    // The 256 bytes of 0-based slot `index` in products.bin (empty when not saved yet).
    QByteArray slot(int index) const;

private:
    void signalAndReap(int signal, int graceMs);

    QTemporaryDir m_dir;
    mutable int m_pid = -1; // -1 once reaped
    QString m_port;
    QString m_error;
};

// The whole of a file, or empty when it cannot be read.
QByteArray readFileBytes(const QString &path);

} // namespace ztk::test
