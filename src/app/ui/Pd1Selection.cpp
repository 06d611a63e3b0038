// The main window's selections: the twelve radio buttons, their input boxes, the
// calendar and RefreshSelection. The query texts come from Selection.

#include "app/ui/Pd1.h"

#include "app/ui/StepSpinBox.h"
#include "products/ProductDataset.h"
#include "products/Selection.h"
#include "shared/DateText.h"
#include "shared/Messages.h"

#include <QCalendarWidget>
#include <QGuiApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableView>

#include <algorithm>
#include <initializer_list>

using ztk::SelectionBuilder;
using ztk::SelectionQuery;

namespace {

// Shows the named input boxes of the selections and hides the others.
void showInputs(TForm1 &f, std::initializer_list<QWidget *> shown)
{
    for (QWidget *w : {static_cast<QWidget *>(f.Edit1), static_cast<QWidget *>(f.Edit2),
                       static_cast<QWidget *>(f.Edit4), static_cast<QWidget *>(f.Edit5),
                       static_cast<QWidget *>(f.CSpinEdit1)})
        w->setVisible(std::find(shown.begin(), shown.end(), w) != shown.end());
}

// The calendar's date, also written day first into Edit2.
QDate calendarDate(TForm1 &f)
{
    const QDate date = f.MonthCalendar1->selectedDate();
    f.Edit2->setText(ztk::datetext::dayFirst(date));
    return date;
}

} // namespace

// --- selections that run on the click

void TForm1::runChosen(SelectionQuery query, const ztk::SelectionArgs &args)
{
    m_selection.choose(query, args);
    openSelection();
    DBGrid1->setFocus();
}

// Opens SelectionSql with the grid suspended. A refused query leaves the grid empty
// and the count label as it was; the text is kept all the same.
void TForm1::RadioButton1Click()
{
    showInputs(*this, {});
    runChosen(SelectionQuery::All);
}

void TForm1::RadioButton2Click()
{
    showInputs(*this, {});
    runChosen(SelectionQuery::Weight);
}

void TForm1::selectByType(bool weight)
{
    if (!m_beforeTypeSelection)
        m_beforeTypeSelection = selectionLook();
    QRadioButton *button = weight ? RadioButton2 : RadioButton3;
    if (button->isChecked())
        weight ? RadioButton2Click() : RadioButton3Click();
    else
        button->setChecked(true); // runs its handler
}

void TForm1::RadioButton3Click()
{
    showInputs(*this, {});
    runChosen(SelectionQuery::Piece);
}

void TForm1::RadioButton17Click()
{
    showInputs(*this, {CSpinEdit1});
    ztk::SelectionArgs args;
    args.prefix = CSpinEdit1->value();
    runChosen(SelectionQuery::Prefix, args);
}

// The date selections: the builder keeps them, so a calendar click runs them again.

void TForm1::startDateSelection(ztk::SelectionBuilder builder)
{
    showInputs(*this, {Edit2});
    m_selection.chooseBuilder(builder);
    RefreshSelection();
}

void TForm1::RadioButton4Click()
{
    startDateSelection(SelectionBuilder::CorrDateEqual);
}

void TForm1::RadioButton5Click()
{
    startDateSelection(SelectionBuilder::CorrDateBefore);
}

void TForm1::RadioButton6Click()
{
    startDateSelection(SelectionBuilder::CorrDateAfter);
}

void TForm1::RadioButton14Click()
{
    startDateSelection(SelectionBuilder::BestBeforeEqual);
}

void TForm1::RadioButton15Click()
{
    startDateSelection(SelectionBuilder::BestBeforeBefore);
}

void TForm1::RadioButton16Click()
{
    startDateSelection(SelectionBuilder::BestBeforeAfter);
}

// --- selections that run on their input

void TForm1::RadioButton7Click()
{
    showInputs(*this, {Edit1});
    m_selection.chooseBuilder(SelectionBuilder::Name);
    m_ws.dataset().setTypeRule(m_selection.typeRule());
    Edit1->setFocus();
}

void TForm1::RadioButton10Click()
{
    // The type is kept from here on, whatever the selection before.
    m_selection.chooseBuilder(ztk::isDateBuilder(m_selection.builder()) ? SelectionBuilder::None
                                                                       : m_selection.builder());
    showInputs(*this, {Edit4, Edit5});
    m_ws.dataset().setTypeRule(m_selection.typeRule());
    // These changes run the selection that was active before (Edit4Change, Edit5Change);
    // the number range runs from the next edit of either box.
    Edit4->setText(QStringLiteral("1"));
    Edit5->setText(QStringLiteral("5000"));
    m_selection.chooseBuilder(SelectionBuilder::NumberRange);
    Edit5->setFocus();
}

void TForm1::Edit1Change()
{
    if (!Edit1->text().isEmpty())
        RefreshSelection();
    Edit1->setFocus();
}

void TForm1::Edit4Change()
{
    if (!Edit4->text().isEmpty())
        RefreshSelection();
    Edit4->setFocus();
}

void TForm1::Edit5Change()
{
    if (!Edit5->text().isEmpty())
        RefreshSelection();
    Edit5->setFocus();
}

void TForm1::MonthCalendar1Click()
{
    Edit2->setText(ztk::datetext::yearFirst(MonthCalendar1->selectedDate()));
    if (ztk::isDateBuilder(m_selection.builder()) && !Edit2->text().isEmpty())
        RefreshSelection();
}

void TForm1::CSpinEdit1Change()
{
    // The selection follows every digit, but only the arrows move on to the grid:
    // the second digit of a prefix must still reach the box.
    ztk::SelectionArgs args;
    args.prefix = CSpinEdit1->value();
    m_selection.choose(SelectionQuery::Prefix, args);
    openSelection();
    if (static_cast<ztk::StepSpinBox *>(CSpinEdit1)->stepping())
        DBGrid1->setFocus();
}

void TForm1::RefreshSelection()
{
    ztk::SelectionArgs args;
    switch (m_selection.builder()) {
    case SelectionBuilder::None:
        break;
    case SelectionBuilder::Name:
        args.nameFragment = Edit1->text();
        break;
    case SelectionBuilder::NumberRange: {
        const ztk::NumberRange range = ztk::parseNumberRange(Edit4->text(), Edit5->text());
        if (!range.valid)
            m_context.prompter->message(ztk::MessageKind::Warning, ztk::msg::text(ztk::msg::BadRange));
        args.low = range.low;
        args.high = range.high;
        break;
    }
    default:
        args.date = calendarDate(*this);
        break;
    }
    m_selection.rebuild(args);
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    openSelection();
    QGuiApplication::restoreOverrideCursor();
    DBGrid1->setFocus();
}
