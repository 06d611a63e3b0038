#pragma once
// The single-instance rule: count the running processes whose program file name
// (without directory) equals ours, case-sensitive. Every process is counted; no
// list of them is kept, so there is no limit on their number.

#include <QString>

namespace ztk {

// The program file name of a process directory such as "/proc/123": the base name of
// its "exe" link, or of the first argument of "cmdline" when the link cannot be read
// (a process of another user). Empty when neither can be read.
QString processProgramName(const QString &processDir);

// Processes under `procRoot` (a /proc-like folder of numeric directories) whose
// program file name is `fileName`.
int countProcessesNamed(const QString &fileName, const QString &procRoot = QStringLiteral("/proc"));

// Our own program file name without directory.
QString ownProgramFileName();

} // namespace ztk
