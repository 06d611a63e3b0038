#pragma once
// The program's Prompter: modal message boxes and file dialogs.
// With ZTK_ECHO_MESSAGES=1 every text is also written to standard error; with
// ZTK_ECHO_MESSAGES=noshow it is only written there and every question takes its
// first button, every file dialog is cancelled (for unattended runs of the program).

#include "shared/Seams.h"

namespace ztk {

class WidgetPrompter final : public Prompter {
public:
    WidgetPrompter();
    void message(const QString &text, const QString &caption = QString()) override;
    void message(MessageKind kind, const QString &text, const QString &caption = QString()) override;
    Answer ask(const QString &text, const QString &caption, Buttons buttons) override;
    Answer ask(const Question &question) override;
    QString openFileName(const QString &caption, const QString &filter) override;
    QString saveFileName(const QString &caption, const QString &filter, const QString &proposedPath = QString()) override;

private:
    void echo(const QString &text) const;
    bool m_echo = false;
    bool m_show = true;
};

} // namespace ztk
