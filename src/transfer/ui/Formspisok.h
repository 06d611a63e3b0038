#pragma once
// The product list window "Формирование списка товаров для весов": the products of
// the current selection with tick boxes, the numbers of the ticked ones in the memo,
// and "Выполнить", which forms the list a write keeps while "Список" is ticked.
// The list state lives between openings.

#include "ui/TickListDialog.h"
#include "transfer/ProductList.h"

class TForm7 : public TickListDialog {
    Q_OBJECT
public:
    explicit TForm7(ztk::Prompter &prompter, QWidget *parent = nullptr);

    // A new opening: one unticked entry per text ("N Name"), the memo emptied, no
    // ticks. The formed numbers stay. The caller then shows the window modally.
    void fill(const QStringList &entryTexts) { fillEntries(entryTexts); }

    const ztk::ProductList &list() const { return m_list; }

    void N1Click();
    void N3Click();
    void FormActivate();

protected:
    ztk::TickedList &ticks() override { return m_list; }
    void showEvent(QShowEvent *event) override;

private:
    void initActionsConnections();

    ztk::ProductList m_list;
};

extern TForm7 *Form7;
