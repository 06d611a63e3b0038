#pragma once
// The product list window "Формирование списка товаров для весов": the products of
// the current selection with tick boxes, the numbers of the ticked ones in the memo,
// and "Выполнить", which forms the list a write keeps while "Список" is ticked.
// The list state lives between openings.

#include "shared/Seams.h"
#include "transfer/ProductList.h"

#include <QDialog>
#include <QStringList>

class QAction;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QMenuBar;
class QPlainTextEdit;

class TForm7 : public QDialog {
    Q_OBJECT
public:
    explicit TForm7(ztk::Prompter &prompter, QWidget *parent = nullptr);

    // A new opening: one unticked entry per text ("N Name"), the memo emptied, no
    // ticks. The formed numbers stay. The caller then shows the window modally.
    void fill(const QStringList &entryTexts);

    const ztk::ProductList &list() const { return m_list; }

    QListWidget *CheckListBox1 = nullptr;
    QLabel *Label2 = nullptr; // "Выбрано"
    QLabel *Label1 = nullptr; // the number of ticked entries
    QPlainTextEdit *Memo1 = nullptr;
    QMenuBar *MainMenu1 = nullptr;
    QAction *N1 = nullptr; // "Выполнить"
    QAction *N2 = nullptr; // "?"
    QAction *N3 = nullptr; // "Выход"

    void CheckListBox1ClickCheck(QListWidgetItem *item);
    void N1Click();
    void N3Click();
    void FormActivate();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void initActionsConnections();
    QStringList memoLines() const;
    void showList();

    ztk::Prompter &m_prompter;
    ztk::ProductList m_list;
    bool m_settingChecks = false; // ticks changed by the program, not the operator
};

extern TForm7 *Form7;
