// The main window's text import and export of the product table and the printed
// report.

#include "app/ui/Pd1.h"

#include "ui/Mess.h"
#include "products/ProductDataset.h"
#include "products/ProductImport.h"
#include "products/ProductReport.h"
#include "products/ProductTextFile.h"
#include "products/ui/Vlprint.h"
#include "shared/Messages.h"
#include "shared/OutputFile.h"
#include "transfer/ui/Formspisok.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTableView>

using namespace ztk;

void TForm1::ImportClick()
{
    Prompter &prompter = *m_context.prompter;
    const QString chosen = prompter.openFileName(msg::text(msg::ImportDialogTitle), msg::text(msg::ImportDialogFilter));
    if (chosen.isEmpty())
        return;
    QFile file(withDefaultExtension(chosen, "txt", true));
    if (!openImportFile(file)) {
        prompter.message(MessageKind::Error, msg::text(msg::FileDoesNotOpen));
        return;
    }

    const std::initializer_list<QWidget *> hidden{DBGrid1, DBEdit1, DBEdit2, DBEdit3, DBEdit4, DBEdit5,
                                                  DBEdit6, DBEdit7, DBEdit8, DBEdit10, DBEdit11};
    for (QWidget *w : hidden)
        w->hide();
    WaitScope wait(this, msg::text(msg::ImportCaption), msg::text(msg::ImportWait), false);

    ImportSettings settings;
    settings.clock = m_context.clock;
    settings.prompter = &prompter;
    settings.typeRule = m_ws.dataset().typeRule();
    settings.locale = QLocale();
    // Repainting after every line would cost more than the import itself.
    QElapsedTimer sinceRepaint;
    sinceRepaint.start();
    settings.progress = [&](qint64, qint64) {
        if (sinceRepaint.elapsed() < 100)
            return;
        sinceRepaint.restart();
        repaint();
        wait.repaint();
    };
    const ImportResult result = importProductText(m_ws.store(), file, settings);

    for (QWidget *w : hidden)
        w->show();
    wait.close();
    // "Вся база" without changing the checked selection, whose type rule stays.
    const TypeRule rule = m_ws.dataset().typeRule();
    RadioButton1Click();
    m_ws.dataset().setTypeRule(rule);

    if (!result.opened) // the file failed while being read; the table is as it was
        prompter.message(MessageKind::Error, msg::text(msg::FileDoesNotOpen));
    else if (!result.storeError.isEmpty()) // nothing was stored, so no line is to blame
        prompter.message(MessageKind::Error, result.storeError);
    else if (!result.badLines.isEmpty())
        prompter.message(MessageKind::Warning,
                         msg::text(msg::ImportStored).arg(result.storedLines) + u'\n' + result.badLines.message(),
                         msg::text(msg::BadLinesCaption));
    else
        prompter.message(msg::text(msg::ImportStored).arg(result.storedLines), msg::text(msg::ImportCaption));
}

void TForm1::ExportClick()
{
    Prompter &prompter = *m_context.prompter;
    const QString chosen = prompter.saveFileName(msg::text(msg::ExportDialogTitle), msg::text(msg::ExportDialogFilter));
    if (chosen.isEmpty())
        return;
    DBGrid1->hide();
    WaitScope wait(this, msg::text(msg::ExportCaption), msg::text(msg::ExportWait), false);
    m_ws.dataset().first(); // a pending edit is stored first, as every walk does
    const QString error =
        writeOutputFile(m_context.workDir, withDefaultExtension(chosen, "txt", false),
                        productTextFileBytes(selectionRows(m_ws.dataset()), QLocale()), msg::FileNotWritten);
    m_ws.dataset().last();
    DBGrid1->show();
    wait.close();
    if (!error.isEmpty())
        prompter.message(MessageKind::Error, error);
}

void TForm1::SpeedButton8Click()
{
    m_ws.dataset().first();
    std::optional<QSet<int>> list;
    if (CheckBox2->isChecked() && Form7)
        list = Form7->list().filter(); // no ticks: every product
    const QString report = buildReport(selectionRows(m_ws.dataset()), list, m_context.clock->now());
    m_ws.dataset().last();
    if (FormPrint)
        FormPrint->showReport(report);
}
