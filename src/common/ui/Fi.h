#pragma once
// The window "Формирование индексов". Created once at start-up; its commands come later.

#include <QMainWindow>

class TForm6 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm6(QWidget *parent = nullptr);
};

extern TForm6 *Form6;
