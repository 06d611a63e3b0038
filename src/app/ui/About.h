#pragma once
// The About box: program name, version and a comment; shown modally by "О программе".

#include <QDialog>

class QLabel;
class QPushButton;

class TAboutProgram1 : public QDialog {
    Q_OBJECT
public:
    // An empty version text keeps the design text "Version 1.01".
    explicit TAboutProgram1(const QString &versionText, QWidget *parent = nullptr);

    QLabel *ProgramIcon = nullptr;
    QLabel *ProductName = nullptr;
    QLabel *Version = nullptr;
    QLabel *Copyright = nullptr; // the empty label
    QLabel *Comments = nullptr;
    QPushButton *OKButton = nullptr;
};

extern TAboutProgram1 *AboutProgram1;
