#pragma once
// Runs the real ztk-cli (or another program) for end-to-end tests.

#include <QList>
#include <QPair>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace ztk::test {

struct CliRun {
    int exitCode = -1; // -1 when it crashed or did not finish
    QString out;
    QString err;
};

// Runs ztk-cli with `args` in `workingDir`. A clock rate above 1 makes its waits'
// clock run that much faster (ZTK_CLOCK_RATE), so a time-out passes in a fraction of its length.
CliRun runCli(const QString &workingDir, const QStringList &args, int clockRate = 0);

// Any program, the same way: started with fork and exec, its output collected, given
// two minutes.
CliRun runProgram(const QString &program, const QString &workingDir, const QStringList &args,
                  const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment());

// The system's environment with the locale's variables (LANGUAGE, LC_ALL, LC_MESSAGES,
// LANG) replaced by `locale`, e.g. {{"LANG", "ru_RU.UTF-8"}}; none given: no locale at all.
QProcessEnvironment withLocale(const QList<QPair<QString, QString>> &locale);

// `command` preceded by --port PORT --baud 9600.
QStringList onPort(const QString &port, const QStringList &command);

} // namespace ztk::test
