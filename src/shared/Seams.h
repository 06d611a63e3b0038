#pragma once
// The three places where tests and the command-line tool stand in for the user
// and the clock: Clock, EventPump and Prompter. Nothing else is replaced.

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

namespace ztk {

// The current local date-time for stamps, the date box and the limits of waits.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

// A clock that runs `rate` times faster than the real one, from the moment it is made.
// The test runs of the program and of ztk-cli pick it through ZTK_CLOCK_RATE.
class ScaledClock final : public Clock {
public:
    explicit ScaledClock(double rate);
    QDateTime now() const override;
private:
    double m_rate;
    QDateTime m_start;
    qint64 m_startMs;
};

// The system clock, or a ScaledClock when ZTK_CLOCK_RATE holds a rate above 1.
const Clock &defaultClock();
// The rates ZTK_CLOCK_RATE may hold: beyond them a wait would end at once or never.
inline constexpr double MinClockRate = 0.001;
inline constexpr double MaxClockRate = 100000.0;
// False when ZTK_CLOCK_RATE is set to something other than a rate within those limits;
// defaultClock() then runs at the real rate.
bool clockRateValid();

// Called by waits and long operations so that windows stay alive.
class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void pump() = 0;
};

class NullEventPump final : public EventPump {
public:
    void pump() override {}
};

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
// What a message box is about, for its icon; the text says the rest.
enum class MessageKind { Information, Warning, Error };
enum class Answer { Ok, Cancel, Yes, No };

// A question with more to it than its text: a second, smaller text under it (what the
// question is about), and the button that Enter presses (else the first).
struct Question {
    QString text;
    QString caption;
    Buttons buttons = Buttons::YesNo;
    QString informative;
    std::optional<Answer> preferred;
};

// Every modal message box, question and file dialog goes through here.
class Prompter {
public:
    virtual ~Prompter() = default;
    // A modal box with an OK button; an empty caption means the application title.
    virtual void message(const QString &text, const QString &caption = QString()) = 0;
    // The same box marked as a warning or an error; a Prompter without icons shows it plain.
    virtual void message(MessageKind kind, const QString &text, const QString &caption = QString())
    {
        (void)kind;
        message(text, caption);
    }
    virtual Answer ask(const QString &text, const QString &caption, Buttons buttons) = 0;
    // A Prompter without informative texts asks the plain question.
    virtual Answer ask(const Question &question) { return ask(question.text, question.caption, question.buttons); }
    // An empty result means the operator cancelled. A save dialog may propose a path.
    virtual QString openFileName(const QString &caption, const QString &filter) = 0;
    virtual QString saveFileName(const QString &caption, const QString &filter,
                                 const QString &proposedPath = QString()) = 0;
};

} // namespace ztk
