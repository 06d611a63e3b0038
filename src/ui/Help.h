#pragma once
// The program's help: the HTML help built into the program, shown in one help
// window. Windows open it at the contents or at their topic ("Topic50" ...). Opened
// from a modal window it comes over that window; Esc or "Закрыть" closes it.

#include <QString>

class QTextBrowser;
class QWidget;

namespace ztk {

// Opens (or raises) the help window at `topic`; an empty topic means the contents.
void showHelp(const QString &topic = QString());
// The page of the help window, if it was opened; nullptr otherwise.
QTextBrowser *helpBrowser();
// The help window around it, if it was opened; nullptr otherwise.
QWidget *helpWindow();
// Destroys the help window (at the end of the program).
void closeHelp();

} // namespace ztk

class QMainWindow;
class QAction;

namespace ztk {
// Adds the "?" item to the window's menu bar; it opens `topic` (no command when empty).
QAction *addHelpItem(QMainWindow *window, const QString &topic);
} // namespace ztk
