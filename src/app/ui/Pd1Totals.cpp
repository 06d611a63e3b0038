// The main window's "Приём итоговых данных из весов": the reception with the wait
// window, the raw image kept, then the totals window.

#include "app/ui/Pd1.h"

#include "app/ui/Mess.h"
#include "link/ScaleLink.h"
#include "shared/Messages.h"
#include "totals/TotalsArchive.h"
#include "totals/TotalsExchange.h"
#include "totals/ui/Pdsd.h"

#include <optional>

using namespace ztk;

void TForm1::N4Click()
{
    std::optional<ExchangeLock::Hold> hold(std::in_place, m_exchange);
    if (!hold->taken())
        return;
    if (Mess1)
        Mess1->begin(msg::text(msg::TotalsCaption)); // its text line stays as it is
    const std::optional<TotalsImage> image =
        receiveTotals(*m_link, *m_context.clock, *m_context.pump, [](int received) {
            if (Mess1)
                Mess1->setPercent(totalsPercent(received));
        });
    if (!image) {
        m_context.prompter->message(ztk::MessageKind::Warning, msg::text(msg::NoLink));
        if (Mess1)
            Mess1->end();
        return;
    }
    // Kept before the totals window can clear anything in the scale.
    const KeepResult kept = keepTotals(m_context.workDir, *image, m_context.clock->now());
    if (Form5)
        Form5->setImage(*image, kept.ok ? QString() : kept.error);
    if (Mess1)
        Mess1->end();
    if (!kept.ok)
        m_context.prompter->message(ztk::MessageKind::Error, kept.error);
    hold.reset(); // the totals window's clears take the lock one by one
    if (Form5)
        Form5->showModal();
}
