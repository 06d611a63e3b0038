// The main window's editing commands: "Запись", the speed buttons, the best-before
// box and the product-type selector. Each reads its controls, runs the command of
// RecordEditing and shows the result.

#include "app/ui/Pd1.h"

#include "products/CalculatedFields.h"

#include "app/ui/DetailPanel.h"

#include "products/ProductDataset.h"
#include "products/ProductFields.h"
#include "products/RecordEditing.h"
#include "products/ui/Godendo.h"
#include "shared/Messages.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTableView>
#include <QToolButton>

namespace fld = ztk::fld;

namespace {

// The selector's item for a product type text; -1 for none.
int typeItem(const QComboBox *box, const QString &typeText)
{
    const std::optional<ztk::ProductType> type = ztk::selectorType(typeText);
    return type ? box->findData(int(*type)) : -1;
}

} // namespace

ztk::RecordEditing TForm1::editing()
{
    return ztk::RecordEditing(m_ws.dataset(), *m_context.prompter, m_selection.sql());
}

void TForm1::BitBtn1Click()
{
    editing().storeAndAdvance();
    DBGrid1->setFocus();
}

void TForm1::SpeedButton2Click()
{
    editing().insertAfterCurrent();
    DBGrid1->setFocus();
}

// The count label follows whatever was deleted, also when a deletion failed half-way.
void TForm1::SpeedButton3Click()
{
    const int before = m_ws.dataset().recordCount();
    if (editing().deleteCurrent()
        || m_ws.dataset().recordCount() != before)
        showRecordCount();
}

void TForm1::SpeedButton4Click()
{
    const int before = m_ws.dataset().recordCount();
    if (editing().deleteSelection()
        || m_ws.dataset().recordCount() != before)
        showRecordCount();
}

void TForm1::SpeedButton5Click()
{
    editing().clearCurrent();
}

void TForm1::SpeedButton6Click()
{
    if (!editing().copyCurrent(m_ws.copyBuffer()))
        return;
    // The button stays pressed, its picture to the right, while a copy is held.
    SpeedButton6->setCheckable(true);
    SpeedButton6->setChecked(true);
    SpeedButton6->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    SpeedButton6->setLayoutDirection(Qt::RightToLeft);
}

void TForm1::SpeedButton7Click()
{
    if (!m_ws.copyBuffer().full)
        return;
    editing().replaceCurrent(m_ws.copyBuffer());
}

void TForm1::DBEdit6Click()
{
    m_ws.dataset().edit();
    const QDate date = ztk::bestBeforeDialogDate(DBEdit6->text(), m_context.clock->now());
    if (FormGodenDo)
        FormGodenDo->showFor(date, [this](const QString &shown) { return applyBestBefore(shown); });
}

bool TForm1::applyBestBefore(const QString &shown)
{
    DBEdit6->setText(shown);
    QString error;
    const std::optional<QString> stored = ztk::storedBestBefore(shown, m_context.clock->now().date(), &error);
    if (!stored) {
        // The box keeps the typed text; the record and the dialog stay.
        m_context.prompter->message(ztk::MessageKind::Error, error);
        return false;
    }
    DBEdit61->setText(*stored);
    // Whichever record is current now; it is stored by the next store or move.
    m_ws.dataset().setValue(fld::BestBefore, *stored);
    return true;
}

void TForm1::ComboBox1Change()
{
    if (m_panel->updating() || !m_ws.dataset().isOpen())
        return;
    m_ws.dataset().edit();
    const auto type = ztk::ProductType(ComboBox1->currentData().toInt());
    m_ws.dataset().change([type](ztk::Product &p) { p.type = ztk::typeText(type); });
}

void TForm1::DBEdit9Change()
{
    const QSignalBlocker quiet(ComboBox1);
    ComboBox1->setCurrentIndex(typeItem(ComboBox1, DBEdit9->text()));
}

void TForm1::DBGrid1KeyUp()
{
    const QSignalBlocker quiet(ComboBox1);
    if (const std::optional<ztk::Product> p = m_ws.dataset().current())
        ComboBox1->setCurrentIndex(ComboBox1->findData(int(ztk::shownType(*p))));
}

void TForm1::DBGrid1MouseUp()
{
    DBGrid1KeyUp();
}
