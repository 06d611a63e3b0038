#pragma once
// PortList: the names of the serial ports present, in the order the system lists
// them. The port settings file holds names of at most 9 characters and the list has
// 100 slots, so longer names are left out (they could not be stored or reopened) and
// names past the 100th are dropped.

#include <QStringList>

namespace ztk {

inline constexpr int PortListSlots = 100;

QStringList makePortList(const QStringList &deviceNames);

// The stable names of the serial devices present (/dev/serial/by-id/...), which keep
// naming the same adapter wherever it is plugged in; full paths, sorted.
QStringList stableSerialPaths(const QString &folder = QStringLiteral("/dev/serial/by-id"));

} // namespace ztk
