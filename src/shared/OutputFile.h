#pragma once
// The one way an output file of a command or a window is written (an export, a report,
// a totals file, received bytes kept):
//   - never over the working folder's store or settings (FileGuard), by name or link;
//   - an existing target that is not a regular file (a device, a FIFO, /dev/stdout) is
//     written in place, never replaced by a file;
//   - a regular file is written whole under a temporary name and renamed over the old
//     one, so a short write (a full disk) leaves the old file as it was.
// Every write, the flush and the rename are checked.

#include "shared/Messages.h"

#include <QByteArray>
#include <QString>

namespace ztk {

// Why `path` cannot be an output file of the working folder `workDir`: the protected
// file's message, or that it is a folder. Empty when it may be written; a command asks
// this before an exchange, so that a refused output costs nothing at the scale.
// A folder is named with `failure` (%1 the path, %2 the reason).
QString refusedOutput(const QString &workDir, const QString &path, const char *failure = msg::FileNotWritten);

// Writes `bytes` to `path`. Empty on success; else the text to show: the refusal above,
// or `failure` (%1 the path, %2 the system's reason).
QString writeOutputFile(const QString &workDir, const QString &path, const QByteArray &bytes,
                        const char *failure);

// Writes `bytes` into a new file beside `path`, syncs it, and renames it over `path`
// (through a link: over its target), keeping the old file's permissions. Empty on
// success; else the system's reason, and the old file is as it was. Qt's QSaveFile is
// not used: it was seen to rename a file whose write had failed on a full disk.
QString replaceFileWhole(const QString &path, const QByteArray &bytes);

} // namespace ztk
