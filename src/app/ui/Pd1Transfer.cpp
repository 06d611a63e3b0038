// The main window's product transfer: building the product image, writing it to the
// scale, and the "Список" check box that opens the product list.

#include "app/ui/Pd1.h"

#include "ui/Mess.h"
#include "link/ScaleLink.h"
#include "link/ScaleList.h"
#include "link/ScaleRunner.h"
#include "products/ProductDataset.h"
#include "products/ProductFields.h"
#include "shared/Files.h"
#include "shared/Messages.h"
#include "transfer/ProductImage.h"
#include "transfer/ProductWriter.h"
#include "ui/ExchangeRun.h"
#include "transfer/ui/Formspisok.h"

#include <QCheckBox>
#include <QLabel>
#include <QMenuBar>
#include <QScopeGuard>
#include <QTableView>

using namespace ztk;

void TForm1::Button2Click()
{
    // Going to the first row stores a pending edit, so the image holds what is on screen.
    m_ws.dataset().first();
    std::optional<QSet<int>> list;
    if (CheckBox2 && CheckBox2->isChecked() && Form7)
        list = Form7->list().filter(); // no ticks: no list
    auto image = std::make_unique<ProductImage>();
    image->build(selectionRows(m_ws.dataset()), list, m_context.clock->now().date());
    m_ws.setImage(std::move(image));
}

ExchangeResult TForm1::COM1Click(ExchangeSession &session)
{
    return writeProductFile(session, m_context.path(files::ProductImage));
}

bool TForm1::storeSelectionImage()
{
    // A selection that could not be read whole (a damaged table) sends nothing.
    if (!m_ws.dataset().isOpen()) {
        m_context.prompter->message(ztk::MessageKind::Error, m_ws.dataset().errorText());
        return false;
    }
    DBGrid1->hide();
    Button2Click();
    // An image that could not be stored must not let the previous file go out.
    const QString refused = storeImageFile(*m_ws.image(), m_context.workDir, m_context.path(files::ProductImage));
    DBGrid1->show();
    if (!refused.isEmpty()) {
        m_context.prompter->message(ztk::MessageKind::Error, refused);
        return false;
    }
    m_ws.dataset().first();
    return true;
}

void TForm1::N5Click()
{
    ExchangeRun run(m_ws, this, ExchangeRun::Wait{msg::text(msg::WriteCaption), msg::text(msg::WritePreparing)});
    if (!run.started() || !storeSelectionImage())
        return;
    run.setText(msg::text(msg::WriteLoading));
    const ExchangeResult r = COM1Click(run.session());
    run.finish(r, msg::text(msg::WriteDone).arg(r.done));
}

void TForm1::updateAllScalesItem()
{
    N11->setEnabled(!m_exchange.busy() && m_ws.scales().scales().size() > 1);
}

void TForm1::N11Click()
{
    const ScaleList list = m_ws.scales();
    if (!list.problems().isEmpty())
        m_context.prompter->message(ztk::MessageKind::Warning, list.problems().join(QLatin1Char('\n')));
    if (list.scales().size() < 2) {
        updateAllScalesItem();
        return;
    }
    QStringList names;
    for (const ScaleEntry &s : list.scales())
        names << s.name;
    ExchangeRun run(m_ws, this, std::nullopt);
    if (!run.started())
        return;
    if (Mess1) {
        Mess1->beginLines(msg::text(msg::WriteAllCaption), msg::text(msg::WritePreparing), names);
        Mess1->centreOn(this);
    }
    const auto closeWait = qScopeGuard([] {
        if (Mess1)
            Mess1->end();
    });
    if (!storeSelectionImage())
        return;
    if (Mess1)
        Mess1->setText(msg::text(msg::WriteLoading));

    // The window's own link lets go of its port, which is likely one of the list's;
    // the menu stays off while the scales are at work, the window itself alive.
    m_ws.link().stopReader();
    m_ws.link().closePort();
    menuBar()->setEnabled(false);
    const QString path = m_context.path(files::ProductImage);
    const ScaleRunner runner(list.scales(), m_portConfig, *m_context.clock);
    const QList<ScaleOutcome> outcomes = runner.run(
        [&path](ScaleJob &j) {
            ExchangeSession session = j.session();
            const ExchangeResult r = writeProductFile(session, path);
            if (!r.ok)
                j.prompter.message(r.message);
            return r.ok ? ScaleStatus::Done : ScaleStatus::NoAnswer;
        },
        *m_context.pump,
        [](int line, int percent) {
            if (Mess1)
                Mess1->setLinePercent(line, percent);
        });
    menuBar()->setEnabled(true);
    if (Mess1)
        Mess1->end();
    setExchangeItemsEnabled(m_ws.link().open(m_portConfig, *m_context.prompter).port == ztk::SerialPort::Opened);

    const QStringList failed = ScaleRunner::failedNames(outcomes);
    if (failed.isEmpty()) {
        m_context.prompter->message(msg::text(msg::ScalesDone));
        return;
    }
    QString text = msg::text(msg::ScalesFailed).arg(failed.join(QStringLiteral(", ")));
    for (const ScaleOutcome &o : outcomes) {
        for (const QString &m : o.messages)
            text += QStringLiteral("\n%1: %2").arg(o.name, m);
    }
    m_context.prompter->message(ztk::MessageKind::Warning, text);
}

void TForm1::CheckBox2Click()
{
    if (!CheckBox2->isChecked() || !Form7)
        return;
    Form7->fill(selectionEntries());
    Form7->exec();
}

QStringList TForm1::selectionEntries()
{
    return m_ws.selectionEntries();
}
