#pragma once
// The print window: the report as an editable fixed-pitch text, "Print" (one
// landscape job "Печать БД" through the print dialog), "FILE" (the text saved as
// RTF whatever the extension) and "Выход". Shown modally by the main window.

#include "shared/Seams.h"

#include <QDialog>
#include <memory>

class QPrinter;
class QPushButton;
class QTextEdit;
class QToolButton;

class TFormPrint : public QDialog {
    Q_OBJECT
public:
    // `workDir`: the working folder, whose store and settings a saved report never replaces.
    TFormPrint(ztk::Prompter &prompter, const QString &workDir, QWidget *parent = nullptr);
    ~TFormPrint() override;

    // The report into RichEdit1, then the window modally; returns when it closes.
    void showReport(const QString &report);

    QTextEdit *RichEdit1 = nullptr;
    QToolButton *PrintBtn = nullptr;  // "Print"
    QPushButton *Button1 = nullptr;   // "FILE"
    QPushButton *Button2 = nullptr;   // "Выход"

    void PrintBtnClick();
    void Button1Click();
    void Button2Click();

    // Saves the text as RTF; false with the message shown when it cannot be written.
    bool saveRtf(const QString &path);

private:
    void initActionsConnections();

    ztk::Prompter &m_prompter;
    QString m_workDir;
    std::unique_ptr<QPrinter> m_printer; // kept, so that landscape stays after a print
};

extern TFormPrint *FormPrint;
