#include "ui/ExchangeRun.h"

#include "app/Workspace.h"
#include "shared/Messages.h"

#include <QAction>
#include <QList>
#include <QWidget>

namespace ztk {

void offWhileExchanging(ExchangeLock &lock, QObject *window, std::initializer_list<QAction *> actions,
                        std::initializer_list<QWidget *> widgets)
{
    QObject::connect(&lock, &ExchangeLock::busyChanged, window,
                     [actions = QList<QAction *>(actions), widgets = QList<QWidget *>(widgets)](bool busy) {
                         for (QAction *a : actions)
                             a->setEnabled(!busy);
                         for (QWidget *w : widgets)
                             w->setEnabled(!busy);
                     });
}

ExchangeRun::ExchangeRun(Workspace &workspace, QWidget *owner, Operation operation, const std::optional<Wait> &wait,
                         Progress progress)
    : m_workspace(workspace), m_operation(operation),
      m_session(workspace.link(), workspace.clock(), workspace.pump(),
                [this, progress = std::move(progress)](const ProgressStep &step) {
                    if (m_wait)
                        m_wait->setPercent(step.percent);
                    if (progress)
                        progress(step);
                })
{
    m_session.watcher = workspace.slotWatcher();
    m_session.log = workspace.journalLog();
    m_hold.emplace(workspace.exchangeLock());
    m_started = m_hold->taken();
    if (m_started && wait)
        m_wait.emplace(owner, wait->caption, wait->text, wait->gauge);
}

ExchangeRun::ExchangeRun(Workspace &workspace, QWidget *owner, Operation operation)
    : ExchangeRun(workspace, owner, operation, Wait{msg::text(operationInfo(operation).caption), QString(), true})
{
}

ExchangeRun::~ExchangeRun()
{
    if (m_session.watcher)
        m_session.watcher->flush();
    if (m_started)
        m_workspace.keepJournal();
} // then the wait window, then the lock

void ExchangeRun::setText(const QString &text)
{
    if (m_wait)
        m_wait->setText(text);
}

void ExchangeRun::advance(int points)
{
    if (m_wait)
        m_wait->advance(points);
}

bool ExchangeRun::finish(const ExchangeResult &result, const QString &doneLine)
{
    m_session.logged(m_operation, result, std::nullopt, doneLine);
    // A failure's message while the wait window still stands, as every exchange has shown it.
    if (!result.ok && !result.message.isEmpty())
        m_workspace.prompter().message(MessageKind::Warning, result.message);
    else if (result.ok && !doneLine.isEmpty())
        m_workspace.announceDone(doneLine);
    m_wait.reset();
    return result.ok;
}

} // namespace ztk
