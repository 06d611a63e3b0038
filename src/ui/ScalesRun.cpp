#include "ui/ScalesRun.h"

#include "app/Workspace.h"
#include "link/ScaleLink.h"
#include "shared/Messages.h"
#include "ui/Mess.h"

#include <QScopeGuard>

namespace ztk {

std::optional<QList<ScaleOutcome>> runOnScales(Workspace &workspace, QWidget *owner, Operation operation,
                                               const QString &caption, const QList<ScaleEntry> &scales,
                                               const ScaleRunner::Job &job)
{
    const ExchangeLock::Hold hold(workspace.exchangeLock());
    if (!hold.taken())
        return std::nullopt;
    QStringList names;
    for (const ScaleEntry &s : scales)
        names << s.name;
    if (Mess1) {
        Mess1->beginLines(caption, msg::text(msg::WriteLoading), names);
        Mess1->centreOn(owner);
    }
    // The window's own link lets go of its port for the time of the run.
    workspace.link().stopReader();
    workspace.link().closePort();
    const auto reopen = qScopeGuard([&workspace] {
        workspace.keepJournal();
        if (Mess1)
            Mess1->end();
        workspace.reopenLink();
    });
    ScaleRunner runner(scales, workspace.portConfig(), workspace.clock());
    for (const ScaleEntry &s : scales)
        workspace.journalLog(s); // made here: the scales' threads only find them
    runner.setJournal({[&workspace](const ScaleEntry &s) { return workspace.journalLog(s); }, operation});
    return runner.run(job, workspace.pump(), [](int line, int percent) {
        if (Mess1)
            Mess1->setLinePercent(line, percent);
    });
}

QString failedScalesText(const QList<ScaleOutcome> &outcomes)
{
    const QStringList failed = ScaleRunner::failedNames(outcomes);
    if (failed.isEmpty())
        return QString();
    QString text = msg::text(msg::ScalesFailed).arg(failed.join(QStringLiteral(", ")));
    for (const ScaleOutcome &o : outcomes) {
        for (const QString &m : o.messages)
            text += QStringLiteral("\n%1: %2").arg(o.name, m);
    }
    return text;
}

} // namespace ztk
