#pragma once
// The window "Печать". Created once at start-up; its commands come later.

#include <QMainWindow>

class TFormPrint : public QMainWindow {
    Q_OBJECT
public:
    explicit TFormPrint(QWidget *parent = nullptr);
};

extern TFormPrint *FormPrint;
