#include "app/ui/ExchangeRun.h"

#include "app/Workspace.h"
#include "shared/Messages.h"

namespace ztk {

ExchangeRun::ExchangeRun(Workspace &workspace, QWidget *owner, const std::optional<Wait> &wait, Progress progress)
    : m_workspace(workspace),
      m_session(workspace.link(), workspace.clock(), workspace.pump(),
                [this, progress = std::move(progress)](const ProgressStep &step) {
                    if (m_wait)
                        m_wait->setPercent(step.percent);
                    if (progress)
                        progress(step);
                })
{
    m_hold.emplace(workspace.exchangeLock());
    m_started = m_hold->taken();
    if (m_started && wait)
        m_wait.emplace(owner, wait->caption, wait->text, wait->gauge);
}

ExchangeRun::ExchangeRun(Workspace &workspace, QWidget *owner, Operation operation)
    : ExchangeRun(workspace, owner, Wait{msg::text(operationInfo(operation).caption), QString(), true})
{
}

ExchangeRun::~ExchangeRun() = default; // the wait window first, then the lock

void ExchangeRun::setText(const QString &text)
{
    if (m_wait)
        m_wait->setText(text);
}

bool ExchangeRun::finish(const ExchangeResult &result, const QString &doneLine)
{
    // A failure's message while the wait window still stands, as every exchange has shown it.
    if (!result.ok && !result.message.isEmpty())
        m_workspace.prompter().message(MessageKind::Warning, result.message);
    else if (result.ok && !doneLine.isEmpty())
        m_workspace.announceDone(doneLine);
    m_wait.reset();
    return result.ok;
}

} // namespace ztk
