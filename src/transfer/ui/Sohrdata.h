#pragma once
// The dialog "Удаление данных о товарах с... по...": clears a range of products in the
// scale, inside the range of the read window, and blanks their rows there.

#include <QDialog>

#include <functional>

namespace ztk {
class Workspace;
}

class NumberSpinEdit;
class QLabel;
class QProgressBar;
class QPushButton;

class TFormSD : public QDialog {
    Q_OBJECT
public:
    explicit TFormSD(ztk::Workspace &workspace, QWidget *parent = nullptr);

    // Shows the dialog modally for a range within first..last, the read window's fields
    // as they stand; `blank` is told each product cleared.
    void open(int first, int last, std::function<void(int number)> blank);

    QLabel *Label1 = nullptr; // "с..."
    NumberSpinEdit *CSpinEdit1 = nullptr;
    QLabel *Label2 = nullptr; // "по..."
    NumberSpinEdit *CSpinEdit2 = nullptr;
    QProgressBar *CGauge1 = nullptr; // hidden while idle
    QPushButton *Button1 = nullptr;  // "Выполнить"
    QPushButton *Button2 = nullptr;  // "Отмена"

    void Button1Click();
    void Button2Click();

private:
    void initActionsConnections();

    ztk::Workspace &m_ws;
    int m_first = 1;
    int m_last = 2;
    std::function<void(int number)> m_blank;
};

extern TFormSD *FormSD;
