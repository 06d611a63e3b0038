#pragma once
// What every window of the program follows, kept in one table by window name: its
// title-bar buttons, whether its size is fixed and its help topic; F1 opens the topic
// of the window that has the focus. The application title is the program's own.

#include <QString>

class QCoreApplication;
class QWidget;

namespace ztk {

struct WindowRule {
    const char *window;     // object name
    const char *helpTopic;  // anchor in the help; empty opens the contents
    bool titleButtons;      // false: a title without buttons, closed by its own controls
    bool fixedSize;         // at the size the window gave itself
};

// The rule of a window by its object name; nullptr when the table has none.
const WindowRule *windowRule(const QString &objectName);
// Applies the window's rule (none when the table has none), gives every menu item
// without one an Alt letter and makes F1 work in the window.
void applyWindowRule(QWidget *window);
// The help topic of the window `w` lies in; empty for the contents.
QString helpTopicOf(const QWidget *w);

// The title message boxes carry when they have no caption of their own. Not Qt's
// display name, which the platform would append to every window's title.
QString applicationTitle();
void setApplicationTitle(const QString &title);

// Qt's own Russian texts of standard buttons and dialogs; false when not installed.
bool installQtRussian(QCoreApplication &app);

} // namespace ztk
