#pragma once
// Stand-ins for the operator and the clock in tests.

#include "shared/Seams.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <deque>

namespace ztk::test {

// Records every box shown; answers questions and file dialogs from a script.
// A question without a scripted answer is answered with the first button
// (Ok / Yes) and counted in unscripted.
class ScriptedPrompter final : public Prompter {
public:
    struct Shown {
        QString text;
        QString caption;
        bool question = false;
        MessageKind kind = MessageKind::Information;
        QString informative;           // a Question's
        std::optional<Answer> preferred; // a Question's default button
    };

    void message(const QString &text, const QString &caption = QString()) override;
    void message(MessageKind kind, const QString &text, const QString &caption = QString()) override;
    Answer ask(const QString &text, const QString &caption, Buttons buttons) override;
    Answer ask(const Question &question) override;
    QString openFileName(const QString &caption, const QString &filter) override;
    QString saveFileName(const QString &caption, const QString &filter, const QString &proposedPath = QString()) override;

    void answer(Answer a) { m_answers.push_back(a); }
    void file(const QString &path) { m_files.push_back(path); }

    QList<Shown> shown;
    QStringList proposedPaths; // what each save dialog proposed
    int unscripted = 0;
    QStringList texts() const;   // the texts shown, in order
    void clear() { shown.clear(); }

private:
    std::deque<Answer> m_answers;
    std::deque<QString> m_files;
};

// A clock that stands still unless told to move; with a step it advances by that
// much on every reading, so waits end after a known number of polls.
class FakeClock final : public Clock {
public:
    explicit FakeClock(QDateTime start = QDateTime(QDate(2026, 12, 8), QTime(14, 5, 33)))
        : m_now(std::move(start)) {}
    QDateTime now() const override;
    void set(const QDateTime &t) { m_now = t; }
    void advance(qint64 ms) { m_now = m_now.addMSecs(ms); }
    void setStepMs(qint64 ms) { m_stepMs = ms; }
    int readings() const { return m_readings; }

private:
    mutable QDateTime m_now;
    qint64 m_stepMs = 0;
    mutable int m_readings = 0;
};

// Counts the polls of a wait.
class CountingPump final : public EventPump {
public:
    void pump() override { ++count; }
    int count = 0;
};

} // namespace ztk::test
