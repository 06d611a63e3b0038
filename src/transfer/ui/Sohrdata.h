#pragma once
// The window "Удаление товаров из весов". Created once at start-up; its commands come later.

#include <QMainWindow>

class TFormSD : public QMainWindow {
    Q_OBJECT
public:
    explicit TFormSD(QWidget *parent = nullptr);
};

extern TFormSD *FormSD;
