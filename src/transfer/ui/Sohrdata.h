#pragma once
// The dialog "Удаление данных о товарах с... по...": clears a range of products in the
// scale, inside the range of the read window, and blanks their rows there.

#include <QDialog>

class NumberSpinEdit;
class QLabel;
class QProgressBar;
class QPushButton;

class TFormSD : public QDialog {
    Q_OBJECT
public:
    explicit TFormSD(QWidget *parent = nullptr);

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
};

extern TFormSD *FormSD;
