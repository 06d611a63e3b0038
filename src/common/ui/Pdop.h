#pragma once
// The window "Общие данные из весов". Created once at start-up; its commands come later.

#include <QMainWindow>

class TForm4 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm4(QWidget *parent = nullptr);
};

extern TForm4 *Form4;
