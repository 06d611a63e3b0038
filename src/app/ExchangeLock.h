#pragma once
// The link is one line: while an exchange with the scale runs (its waits pump events,
// so the windows stay alive), no other exchange may start. Windows disable their
// exchange commands on busyChanged, and every handler that talks to the scale holds
// a Hold for as long as it does.

#include <QObject>

namespace ztk {

class ExchangeLock : public QObject {
    Q_OBJECT
public:
    bool busy() const { return m_busy; }

    // Takes the lock for its lifetime; taken() is false (and nothing is held) when
    // another exchange has it already.
    class Hold {
    public:
        explicit Hold(ExchangeLock &lock);
        ~Hold();
        Hold(const Hold &) = delete;
        Hold &operator=(const Hold &) = delete;
        bool taken() const { return m_taken; }

    private:
        ExchangeLock &m_lock;
        bool m_taken = false;
    };

Q_SIGNALS:
    void busyChanged(bool busy);

private:
    bool m_busy = false;
};

} // namespace ztk
