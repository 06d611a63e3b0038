#pragma once
// What the product list window and the index window share: the products of the main
// window's selection with tick boxes (CheckListBox1), "Выбрано" and the count of ticks
// (Label2, Label1), the memo of the ticked products' numbers in ticking order (Memo1)
// and the menu "Выполнить", "?", "Выход" (N1, N2, N3). The ticks go into the window's
// TickedList; a tick beyond its limit is undone and `tooMany` shown.

#include "shared/Seams.h"
#include "shared/TickedList.h"

#include <QDialog>
#include <QStringList>

class QAction;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QMenuBar;
class QPlainTextEdit;

class TickListDialog : public QDialog {
    Q_OBJECT
public:
    TickListDialog(ztk::Prompter &prompter, const QString &tooMany, QWidget *parent = nullptr,
                   Qt::WindowFlags flags = {});

    QListWidget *CheckListBox1 = nullptr;
    QLabel *Label2 = nullptr; // "Выбрано"
    QLabel *Label1 = nullptr; // the number of ticked entries
    QPlainTextEdit *Memo1 = nullptr;
    QMenuBar *MainMenu1 = nullptr;
    QAction *N1 = nullptr; // "Выполнить"
    QAction *N2 = nullptr; // "?"
    QAction *N3 = nullptr; // "Выход"

    void CheckListBox1ClickCheck(QListWidgetItem *item);

protected:
    virtual ztk::TickedList &ticks() = 0;
    // One unticked item per entry ("N Name"), the memo emptied, the list opened on them.
    void fillEntries(const QStringList &entryTexts);
    // The memo's lines as the operator left them; they go into the list before each use.
    QStringList memoLines() const;
    void showCount();

    ztk::Prompter &m_prompter;

private:
    QString m_tooMany;
    bool m_settingChecks = false; // ticks changed by the program, not the operator
};
