// The main window's product transfer: building the product image, writing it to the
// scale, and the "Список" check box that opens the product list.

#include "app/ui/Pd1.h"

#include "app/ui/Mess.h"
#include "link/ScaleLink.h"
#include "products/ProductDataset.h"
#include "products/ProductFields.h"
#include "shared/Files.h"
#include "shared/Messages.h"
#include "transfer/ProductImage.h"
#include "transfer/ProductWriter.h"
#include "transfer/ui/Formspisok.h"

#include <QCheckBox>
#include <QLabel>
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

void TForm1::N5Click()
{
    if (Mess1)
        Mess1->begin(msg::text(msg::WriteCaption), msg::text(msg::WritePreparing));
    // A selection that could not be read whole (a damaged table) sends nothing.
    if (!m_dataset->isOpen()) {
        m_context.prompter->message(ztk::MessageKind::Error, m_dataset->errorText());
        if (Mess1)
            Mess1->end();
        return;
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
        return;
    }
    if (Mess1) {
        Mess1->Label1->setText(msg::text(msg::WriteLoading));
        Mess1->repaint();
    }
    m_dataset->first();
    DBGrid1->show();
    COM1Click();
    if (Mess1)
        Mess1->end();
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
