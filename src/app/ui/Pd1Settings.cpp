// What the main window remembers: its place and size, the last selection and the
// "Список" box between runs (QSettings), and the selection a key-layout window
// replaced while it was open.

#include "app/ui/Pd1.h"

#include "products/ProductDataset.h"

#include <QButtonGroup>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSettings>
#include <QSignalBlocker>
#include <QSpinBox>

namespace {

namespace key {
constexpr char Geometry[] = "main/geometry";
constexpr char Button[] = "main/selection";
constexpr char Name[] = "main/name";
constexpr char From[] = "main/from";
constexpr char To[] = "main/to";
constexpr char Prefix[] = "main/prefix";
constexpr char Date[] = "main/date";
constexpr char Row[] = "main/row";
constexpr char List[] = "main/list";
} // namespace key

} // namespace

TForm1::SelectionLook TForm1::selectionLook() const
{
    SelectionLook look;
    if (QAbstractButton *checked = m_radioGroup->checkedButton())
        look.button = checked->objectName();
    look.name = Edit1->text();
    look.from = Edit4->text();
    look.to = Edit5->text();
    look.prefix = CSpinEdit1->value();
    look.date = MonthCalendar1->selectedDate();
    const int position = m_ws.dataset().position();
    look.rowid = position > 0 ? m_ws.dataset().rowId(position - 1) : -1;
    return look;
}

void TForm1::applySelectionLook(const SelectionLook &look)
{
    auto *button = findChild<QRadioButton *>(look.button);
    if (!button || !m_radioGroup->buttons().contains(button))
        return;
    // The boxes quietly, before the button (a date selection reads the calendar) and
    // after it (a range selection puts its own bounds in), so that the selection is
    // run from them once.
    const auto setBoxes = [&] {
        const QSignalBlocker quiet1(Edit1), quiet4(Edit4), quiet5(Edit5), quietPrefix(CSpinEdit1),
            quietDate(MonthCalendar1);
        Edit1->setText(look.name);
        Edit4->setText(look.from);
        Edit5->setText(look.to);
        CSpinEdit1->setValue(look.prefix);
        if (look.date.isValid())
            MonthCalendar1->setSelectedDate(look.date);
    };
    setBoxes();
    if (button->isChecked()) {
        // Its handler runs only when it becomes the checked one.
        m_radioGroup->setExclusive(false);
        button->setChecked(false);
        m_radioGroup->setExclusive(true);
    }
    button->setChecked(true);
    setBoxes();
    if (m_selection.builder() != ztk::SelectionBuilder::None)
        RefreshSelection(); // from the boxes just set
    if (look.rowid >= 0)
        showRow(look.rowid, false);
}

void TForm1::restoreSelection()
{
    if (!m_beforeTypeSelection)
        return;
    const SelectionLook look = *m_beforeTypeSelection;
    m_beforeTypeSelection.reset();
    applySelectionLook(look);
}

void TForm1::restoreSettings()
{
    if (m_context.settingsFile.isEmpty())
        return;
    const QSettings s(m_context.settingsFile, QSettings::IniFormat);
    if (s.contains(key::Geometry))
        restoreGeometry(s.value(key::Geometry).toByteArray());
    CheckBox2->setChecked(s.value(key::List, false).toBool());
    if (!s.contains(key::Button) || !m_ws.dataset().isOpen())
        return;
    SelectionLook look;
    look.button = s.value(key::Button).toString();
    look.name = s.value(key::Name).toString();
    look.from = s.value(key::From).toString();
    look.to = s.value(key::To).toString();
    look.prefix = s.value(key::Prefix, 0).toInt();
    look.date = s.value(key::Date).toDate();
    look.rowid = s.value(key::Row, -1).toLongLong();
    applySelectionLook(look);
}

void TForm1::saveSettings()
{
    if (m_context.settingsFile.isEmpty())
        return;
    QSettings s(m_context.settingsFile, QSettings::IniFormat);
    s.setValue(key::Geometry, saveGeometry());
    s.setValue(key::List, CheckBox2->isChecked());
    // The selection a key-layout window put in is not the operator's.
    const SelectionLook look = m_beforeTypeSelection ? *m_beforeTypeSelection : selectionLook();
    s.setValue(key::Button, look.button);
    s.setValue(key::Name, look.name);
    s.setValue(key::From, look.from);
    s.setValue(key::To, look.to);
    s.setValue(key::Prefix, look.prefix);
    s.setValue(key::Date, look.date);
    s.setValue(key::Row, look.rowid);
    s.sync();
}
