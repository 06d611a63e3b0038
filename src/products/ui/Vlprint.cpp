#include "products/ui/Vlprint.h"

#include "products/ProductTextFile.h"
#include "products/RtfWriter.h"
#include "products/print/ReportPrinter.h"
#include "shared/Messages.h"
#include "shared/OutputFile.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTextEdit>
#include <QToolButton>

TFormPrint *FormPrint = nullptr;

using namespace ztk;

TFormPrint::TFormPrint(Prompter &prompter, const QString &workDir, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_prompter(prompter), m_workDir(workDir)
{
    setObjectName(QStringLiteral("FormPrint"));
    setWindowTitle(QStringLiteral("FormPrint"));
    setModal(true);
    setFixedSize(944, 494);

    PrintBtn = new QToolButton(this);
    PrintBtn->setObjectName(QStringLiteral("PrintBtn"));
    PrintBtn->setText(QStringLiteral("Print"));
    PrintBtn->setGeometry(8, 8, 75, 25);
    Button1 = new QPushButton(QStringLiteral("FILE"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(96, 8, 75, 25);
    Button2 = new QPushButton(msg::text(msg::PrintExit), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(184, 8, 75, 25);

    RichEdit1 = new QTextEdit(this);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->setGeometry(8, 40, 921, 409);
    RichEdit1->setAcceptRichText(false);
    RichEdit1->setFont(reportScreenFont());
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The columns line up only while a line stays one line.
    RichEdit1->setLineWrapMode(QTextEdit::NoWrap);

    initActionsConnections();
}

TFormPrint::~TFormPrint()
{
    if (FormPrint == this)
        FormPrint = nullptr;
}

void TFormPrint::initActionsConnections()
{
    connect(PrintBtn, &QToolButton::clicked, this, &TFormPrint::PrintBtnClick);
    connect(Button1, &QPushButton::clicked, this, &TFormPrint::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TFormPrint::Button2Click);
}

void TFormPrint::showReport(const QString &report)
{
    RichEdit1->setPlainText(report);
    exec();
}

void TFormPrint::PrintBtnClick()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    m_printer->setPageOrientation(QPageLayout::Landscape);
    QPrintDialog dialog(m_printer.get(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_printer->setDocName(msg::text(msg::PrintJobName));
    drawReport(*m_printer, RichEdit1->toPlainText());
}

void TFormPrint::Button1Click()
{
    const QString chosen = m_prompter.saveFileName(msg::text(msg::PrintSaveTitle), msg::text(msg::PrintSaveFilter));
    if (chosen.isEmpty())
        return;
    saveRtf(withDefaultExtension(chosen, "txt", false));
}

bool TFormPrint::saveRtf(const QString &path)
{
    const QString error = writeOutputFile(
        m_workDir, path,
        rtfDocument(RichEdit1->toPlainText(), QString::fromLatin1(ReportFontDesignFamily), ReportPointSize),
        msg::FileNotWritten);
    if (error.isEmpty())
        return true;
    m_prompter.message(MessageKind::Error, error);
    return false;
}

void TFormPrint::Button2Click()
{
    close();
}
