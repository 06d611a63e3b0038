// CPU time of the whole program while it sits idle: `ztk` (offscreen) started on a
// working directory whose "fbdves.cfg" names a simulator port, with its reader
// thread, its one-second clock and its window, measured from /proc over N seconds
// after start-up has settled. Target: below 1 % of one core.
//
//   bench_program_idle [--seconds N]   (default 10)

#include "SimLauncher.h"

#include "shared/PortConfig.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>
#include <unistd.h>

namespace {

// utime + stime of a process, in seconds.
double processCpuSeconds(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray stat = f.readAll();
    // Fields after the command name, which is in parentheses and may hold spaces.
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return -1;
    const double ticks = double(sysconf(_SC_CLK_TCK));
    return (fields[11].toDouble() + fields[12].toDouble()) / ticks; // utime, stime
}

} // namespace

int main(int argc, char **argv)
{
    const long seconds = ztk::bench::longOption(argc, argv, "--seconds", 10);
    ztk::bench::SimLauncher sim;
    QTemporaryDir dir;
    if (sim.port().isEmpty() || !dir.isValid()) {
        std::fprintf(stderr, "bench_program_idle: the simulator did not start\n");
        return 1;
    }
    ztk::PortConfig cfg;
    cfg.portName = sim.port().toLocal8Bit();
    if (cfg.portName.startsWith("/dev/"))
        cfg.portName = cfg.portName.mid(5); // "pts/N" fits the 9 characters of the file
    cfg.baudRate = 115200;
    cfg.lastScaleNumber = 1;
    if (!cfg.save(dir.filePath(QStringLiteral("fbdves.cfg")))) {
        std::fprintf(stderr, "bench_program_idle: cannot write fbdves.cfg\n");
        return 1;
    }

    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("ZTK_ECHO_MESSAGES"), QStringLiteral("noshow"));
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(dir.path());
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(QStringLiteral(ZTK_PROGRAM_PATH), {});
    if (!program.waitForStarted(10000)) {
        std::fprintf(stderr, "bench_program_idle: the program did not start\n");
        return 1;
    }
    QThread::sleep(3); // start-up and the first link check
    const double cpu0 = processCpuSeconds(program.processId());
    QThread::sleep(unsigned(seconds));
    const double cpu1 = processCpuSeconds(program.processId());
    program.terminate();
    program.waitForFinished(5000);
    if (cpu0 < 0 || cpu1 < 0) {
        std::fprintf(stderr, "bench_program_idle: the program ended early\n");
        return 1;
    }
    const double used = cpu1 - cpu0;
    std::printf("program_idle: %.1f ms CPU over %ld s = %.3f %% of one core (target < 1 %%)\n", used * 1000.0,
                seconds, used * 100.0 / double(seconds));
    return 0;
}
