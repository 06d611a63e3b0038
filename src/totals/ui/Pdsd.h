#pragma once
// The window "Приём итоговых данных из весов". Created once at start-up; its commands come later.

#include <QMainWindow>

class TForm5 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm5(QWidget *parent = nullptr);
};

extern TForm5 *Form5;
