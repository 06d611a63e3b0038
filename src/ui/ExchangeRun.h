#pragma once
// One exchange started from a window, in one scope:
//
//   ExchangeRun run(workspace, this, Operation::ReadProducts);
//   if (!run.started())
//       return;
//   const ExchangeResult r = readProducts(run.session(), first, last, received);
//   run.finish(r, msg::text(msg::ReadDone).arg(r.done));
//
// While it lives the exchange lock is held (every other exchange command is off: the
// link is one line), the wait window is up, centred on the window that started it,
// with the gauge following the exchange. finish() shows the result once: a failure's
// message in a box, then the wait window closes; a success as a short line (no box).

#include "app/ExchangeLock.h"
#include "ui/Mess.h"
#include "link/Exchange.h"

#include <QString>

#include <optional>

#include <initializer_list>

class QAction;
class QObject;
class QWidget;

namespace ztk {

class Workspace;

// A window's exchange commands: off while any exchange runs (the link is one line),
// on again after it.
void offWhileExchanging(ExchangeLock &lock, QObject *window, std::initializer_list<QAction *> actions,
                        std::initializer_list<QWidget *> widgets = {});

class ExchangeRun {
public:
    // How the wait window shows the run; without one the window's own gauge follows
    // `progress` (or nothing does).
    struct Wait {
        QString caption;
        QString text;       // the red line; empty keeps the one shown before
        bool gauge = true;  // the gauge under it
    };

    // `operation`: what the journal calls the run.
    ExchangeRun(Workspace &workspace, QWidget *owner, Operation operation, const std::optional<Wait> &wait,
                Progress progress = {});
    // The wait window of the operation's caption, the text line kept, the gauge shown.
    ExchangeRun(Workspace &workspace, QWidget *owner, Operation operation);
    ~ExchangeRun(); // the journal kept, the wait window closed, the lock let go
    ExchangeRun(const ExchangeRun &) = delete;
    ExchangeRun &operator=(const ExchangeRun &) = delete;

    // False when another exchange holds the line: nothing is shown, nothing may be sent.
    bool started() const { return m_started; }
    ExchangeSession &session() { return m_session; }
    // The wait window's red line, painted at once.
    void setText(const QString &text);
    // Moves the wait window's gauge on (an exchange that cannot count its progress).
    void advance(int points);

    // A failure: its message as a warning (then the wait window closes). A success:
    // `doneLine` (when given) in the workspace's line of results. Either is journalled.
    // Returns r.ok.
    bool finish(const ExchangeResult &result, const QString &doneLine = QString());

private:
    Workspace &m_workspace;
    std::optional<ExchangeLock::Hold> m_hold;
    std::optional<WaitScope> m_wait;
    bool m_started = false;
    Operation m_operation;
    ExchangeSession m_session;
};

} // namespace ztk
