#pragma once
// The common-data window "Формирование общих данных". For now it shows the
// scale's number: Button1 "Номер весов" asks the scale through the main window.

#include <QMainWindow>

class QLineEdit;
class QPushButton;

class TForm2 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm2(QWidget *parent = nullptr);

    QLineEdit *Edit3 = nullptr;     // the scale number
    QPushButton *Button1 = nullptr; // "Номер весов"

    void Button1Click();
};

extern TForm2 *Form2;
