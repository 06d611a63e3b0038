#include "support/Scripted.h"

namespace ztk::test {

void ScriptedPrompter::message(const QString &text, const QString &caption)
{
    shown.append({text, caption, false, MessageKind::Information, {}, {}});
}

void ScriptedPrompter::message(MessageKind kind, const QString &text, const QString &caption)
{
    shown.append({text, caption, false, kind, {}, {}});
}

Answer ScriptedPrompter::ask(const QString &text, const QString &caption, Buttons buttons)
{
    shown.append({text, caption, true, MessageKind::Information, {}, {}});
    if (!m_answers.empty()) {
        const Answer a = m_answers.front();
        m_answers.pop_front();
        return a;
    }
    ++unscripted;
    return buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? Answer::Yes : Answer::Ok;
}

Answer ScriptedPrompter::ask(const Question &question)
{
    const Answer a = ask(question.text, question.caption, question.buttons);
    shown.back().informative = question.informative;
    shown.back().preferred = question.preferred;
    return a;
}

QString ScriptedPrompter::openFileName(const QString &, const QString &)
{
    if (m_files.empty())
        return QString();
    QString f = m_files.front();
    m_files.pop_front();
    return f;
}

QString ScriptedPrompter::saveFileName(const QString &caption, const QString &filter, const QString &proposedPath)
{
    proposedPaths << proposedPath;
    return openFileName(caption, filter);
}

QStringList ScriptedPrompter::texts() const
{
    QStringList out;
    for (const Shown &s : shown)
        out << s.text;
    return out;
}

QDateTime FakeClock::now() const
{
    ++m_readings;
    const QDateTime t = m_now;
    if (m_stepMs)
        m_now = m_now.addMSecs(m_stepMs);
    return t;
}

} // namespace ztk::test
