#pragma once
// The window "Чтение БДТ из весов". Created once at start-up; its commands come later.

#include <QMainWindow>

class TForm8 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm8(QWidget *parent = nullptr);
};

extern TForm8 *Form8;
