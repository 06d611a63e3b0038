// The main window's product transfer: building the product image, writing it to the
// scale, and the "Список" check box that opens the product list.

#include "app/ui/Pd1.h"

#include "app/ui/Mess.h"
#include "link/ScaleLink.h"
#include "link/ScaleList.h"
#include "link/ScaleRunner.h"
#include "products/ProductDataset.h"
#include "products/ProductFields.h"
#include "shared/Files.h"
#include "shared/Messages.h"
#include "transfer/ProductImage.h"
#include "transfer/ProductWriter.h"
#include "transfer/ui/Formspisok.h"

#include <QCheckBox>
#include <QLabel>
#include <QMenuBar>
#include <QTableView>

using namespace ztk;

void TForm1::Button2Click()
{
    // Going to the first row stores a pending edit, so the image holds what is on screen.
    m_dataset->first();
    std::optional<QSet<int>> list;
    if (CheckBox2 && CheckBox2->isChecked() && Form7)
        list = Form7->list().filter(); // no ticks: no list
    auto image = std::make_unique<ProductImage>();
    image->build(selectionRows(*m_dataset), list, m_context.clock->now().date());
    m_image = std::move(image);
}

void TForm1::COM1Click()
{
    ProductWriter writer(*m_link, *m_context.clock, *m_context.pump, [](int percent) {
        if (Mess1)
            Mess1->setPercent(percent);
    });
    const WriteResult r = writer.sendFile(m_context.path(files::ProductImage));
    if (!r.ok) {
        m_context.prompter->message(ztk::MessageKind::Warning, r.message);
        if (Mess1 && r.message != msg::text(msg::CannotOpenForReading))
            Mess1->end(); // the failed ending closes the wait window
    }
}

bool TForm1::storeSelectionImage()
{
    // A selection that could not be read whole (a damaged table) sends nothing.
    if (!m_dataset->isOpen()) {
        m_context.prompter->message(ztk::MessageKind::Error, m_dataset->errorText());
        if (Mess1)
            Mess1->end();
        return false;
    }
    DBGrid1->hide();
    Button2Click();
    // An image that could not be stored must not let the previous file go out.
    const QString refused = storeImageFile(*m_image, m_context.workDir, m_context.path(files::ProductImage));
    if (!refused.isEmpty()) {
        DBGrid1->show();
        m_context.prompter->message(ztk::MessageKind::Error, refused);
        if (Mess1)
            Mess1->end();
        return false;
    }
    m_dataset->first();
    DBGrid1->show();
    return true;
}

void TForm1::N5Click()
{
    const ExchangeLock::Hold hold(m_exchange);
    if (!hold.taken())
        return;
    if (Mess1)
        Mess1->begin(msg::text(msg::WriteCaption), msg::text(msg::WritePreparing));
    if (!storeSelectionImage())
        return;
    if (Mess1) {
        Mess1->Label1->setText(msg::text(msg::WriteLoading));
        Mess1->repaint();
    }
    COM1Click();
    if (Mess1)
        Mess1->end();
}

void TForm1::updateAllScalesItem()
{
    N11->setEnabled(!m_exchange.busy() && ScaleList::load(m_context.workDir, m_portConfig).scales().size() > 1);
}

void TForm1::N11Click()
{
    const ExchangeLock::Hold hold(m_exchange);
    if (!hold.taken())
        return;
    const ScaleList list = ScaleList::load(m_context.workDir, m_portConfig);
    if (!list.problems().isEmpty())
        m_context.prompter->message(ztk::MessageKind::Warning, list.problems().join(QLatin1Char('\n')));
    if (list.scales().size() < 2) {
        updateAllScalesItem();
        return;
    }
    QStringList names;
    for (const ScaleEntry &s : list.scales())
        names << s.name;
    if (Mess1)
        Mess1->beginLines(msg::text(msg::WriteAllCaption), msg::text(msg::WritePreparing), names);
    if (!storeSelectionImage())
        return;
    if (Mess1)
        Mess1->Label1->setText(msg::text(msg::WriteLoading));

    // The window's own link lets go of its port, which is likely one of the list's;
    // the menu stays off while the scales are at work, the window itself alive.
    m_link->stopReader();
    m_link->closePort();
    menuBar()->setEnabled(false);
    const QString path = m_context.path(files::ProductImage);
    const ScaleRunner runner(list.scales(), m_portConfig, *m_context.clock);
    const QList<ScaleOutcome> outcomes = runner.run(
        [&path](ScaleJob &j) {
            const WriteResult r = ProductWriter(j.link, j.clock, j.pump, j.progress).sendFile(path);
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
    setExchangeItemsEnabled(m_link->open(m_portConfig, *m_context.prompter).port == ztk::SerialPort::Opened);

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
    m_dataset->first();
    QStringList entries;
    const int count = m_dataset->isOpen() ? m_dataset->recordCount() : 0;
    entries.reserve(count);
    for (int i = 0; i < count; ++i)
        entries << m_dataset->rowValue(i, fld::N).toString() + QLatin1Char(' ')
                       + m_dataset->rowValue(i, fld::Name).toString();
    return entries;
}
