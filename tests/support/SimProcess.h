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

#include <gtest/gtest.h>

#include <string>

namespace ztk::test {

// How the PC reaches the simulator: a pseudo-terminal; TCP on the loopback as a
// serial device server is reached (the simulator listening itself); or a real serial
// device server (Debian's ser2net, raw TCP) in front of the simulator's pseudo-terminal.
enum class Transport { Pty, Tcp, Ser2net };

// A test that runs once over each transport: TEST_P(Suite, Name) with SimProcess
// sim(GetParam()), and ZTK_OVER_EACH_TRANSPORT(Suite) once in the file.
class OverTransport : public ::testing::TestWithParam<Transport> {};
std::string transportName(const ::testing::TestParamInfo<Transport> &info);
#define ZTK_OVER_EACH_TRANSPORT(suite)                                                                    \
    INSTANTIATE_TEST_SUITE_P(Over, suite,                                                                \
                             ::testing::Values(::ztk::test::Transport::Pty, ::ztk::test::Transport::Tcp), \
                             ::ztk::test::transportName)

class SimProcess {
public:
    explicit SimProcess(Transport transport = Transport::Pty);
    ~SimProcess();
    SimProcess(const SimProcess &) = delete;
    SimProcess &operator=(const SimProcess &) = delete;

    // Starts the simulator with `args` (beyond --log and --state) and reads the port
    // path from its first line. False (see error()) when it did not come within 10 s.
    // Over TCP it listens on a free port of 127.0.0.1, and after a stop or kill starts
    // again on the same one.
    bool start(const QStringList &args = {});
    // SIGTERM and wait: the simulator saves its state on the way out.
    void stop();
    // SIGKILL and wait: the port vanishes without any saving.
    void kill();

    bool running() const;
    // The simulator's own pseudo-terminal when a device server stands in front of it.
    const QString &device() const { return m_device; }
    const QString &port() const { return m_port; } // a device path, or "tcp:127.0.0.1:PORT"
    Transport transport() const { return m_transport; }
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
    bool startDeviceServer(quint16 port);
    void signalAndReap(int signal, int graceMs);

    QTemporaryDir m_dir;
    Transport m_transport = Transport::Pty;
    mutable int m_pid = -1; // -1 once reaped
    int m_serverPid = -1;   // ser2net, when it stands in front
    QString m_port;
    QString m_device;
    QString m_error;
};

// The whole of a file, or empty when it cannot be read.
QByteArray readFileBytes(const QString &path);

} // namespace ztk::test
