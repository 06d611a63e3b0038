#pragma once
// One exchange on several scales at once from a window: the line lock held, the main
// link's port let go of (it is likely one of the list's) and opened again after, one
// gauge line per scale in the wait window, centred on the window that started it; the
// window stays alive meanwhile.

#include "link/ScaleRunner.h"

#include <QList>
#include <QString>

#include <optional>

class QWidget;

namespace ztk {

class Workspace;

// Nothing when another exchange holds the line. Each scale's exchanges are journalled;
// a scale whose port does not open as a failed `operation`.
std::optional<QList<ScaleOutcome>> runOnScales(Workspace &workspace, QWidget *owner, Operation operation,
                                               const QString &caption, const QList<ScaleEntry> &scales,
                                               const ScaleRunner::Job &job);

// "Не выполнено на весах: a, b" and each failed scale's messages under it; empty when
// every scale succeeded.
QString failedScalesText(const QList<ScaleOutcome> &outcomes);

} // namespace ztk
