// The main window's "Приём итоговых данных из весов": the reception with the wait
// window, the raw image kept, then the totals window.

#include "app/ui/Pd1.h"

#include "ui/ExchangeRun.h"
#include "sales/SalesRecorder.h"
#include "shared/Messages.h"
#include "totals/TotalsArchive.h"
#include "totals/TotalsExchange.h"
#include "totals/ui/Pdsd.h"

#include <memory>
#include <optional>

using namespace ztk;

void TForm1::N4Click()
{
    auto image = std::make_unique<TotalsImage>();
    KeepResult kept;
    {
        ExchangeRun run(m_ws, this, Operation::ReceiveTotals); // its text line stays as it is
        if (!run.started())
            return;
        if (!run.finish(receiveTotals(run.session(), *image)))
            return;
        // Kept before the totals window can clear anything in the scale.
        const QDateTime completed = m_context.clock->now();
        kept = keepTotals(m_context.workDir, *image, completed);
        SalesRecorder(m_ws.store(), m_ws.scales().nameOfPort(QString::fromLocal8Bit(m_ws.portConfig().portName)),
                      *m_context.prompter)
            .reception(completed, *image, kept);
        if (Form5)
            Form5->setImage(*image, kept.ok ? QString() : kept.error);
    } // the totals window's clears take the line one by one
    if (!kept.ok)
        m_context.prompter->message(ztk::MessageKind::Error, kept.error);
    if (Form5)
        Form5->showModal();
}
