#include "products/ui/Godendo.h"

#include "shared/DateText.h"
#include "shared/Messages.h"

#include <QCalendarWidget>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

TFormGodenDo *FormGodenDo = nullptr;


TFormGodenDo::TFormGodenDo(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("FormGodenDo"));
    setWindowTitle(tr("Годен до"));
    setModal(false);
    move(192, 107);

    MonthCalendar1 = new QCalendarWidget(this);
    MonthCalendar1->setObjectName(QStringLiteral("MonthCalendar1"));
    MonthCalendar1->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    // At the design's 191 x 154 the fonts leave no room for the last weekdays and the
    // sixth week: the calendar takes what its texts need, the rest moves beside it.
    const QSize need = MonthCalendar1->minimumSizeHint();
    const int calendarWidth = std::max(191, need.width());
    const int calendarHeight = std::max(154, need.height());
    MonthCalendar1->setGeometry(0, 0, calendarWidth, calendarHeight);
    const int x = calendarWidth + 14;

    Label1 = new QLabel(tr("Сформированная  дата "), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(x, 20, 150, 16);

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    QFont f = Edit1->font();
    f.setPixelSize(19);
    Edit1->setFont(f);
    Edit1->setGeometry(x, 40, 121, 30);

    const int buttonsY = calendarHeight - 24;
    Button3 = new QPushButton(tr("Выполнить"), this);
    Button3->setObjectName(QStringLiteral("Button3"));
    Button3->setGeometry(x - 5, buttonsY, 75, 25);
    Button3->setDefault(true);
    Button2 = new QPushButton(tr("Отмена"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(x + 77, buttonsY, 75, 25);

    // The design's client area of the 371 x 194 frame at the least.
    setFixedSize(std::max(363, x + 158), std::max(167, calendarHeight + 13));

    connect(MonthCalendar1, &QCalendarWidget::clicked, this, &TFormGodenDo::MonthCalendar1Click);
    connect(Button3, &QPushButton::clicked, this, &TFormGodenDo::Button3Click);
    connect(Button2, &QPushButton::clicked, this, &TFormGodenDo::Button2Click);
}

TFormGodenDo::~TFormGodenDo()
{
    if (FormGodenDo == this)
        FormGodenDo = nullptr;
}

void TFormGodenDo::showFor(const QDate &date, Apply apply)
{
    m_apply = std::move(apply);
    MonthCalendar1->setSelectedDate(date);
    Edit1->setText(ztk::datetext::dayFirst(date));
    show();
    raise();
    activateWindow();
}

void TFormGodenDo::MonthCalendar1Click()
{
    Edit1->setText(ztk::datetext::dayFirst(MonthCalendar1->selectedDate()));
}

void TFormGodenDo::Button3Click()
{
    if (!m_apply || m_apply(Edit1->text()))
        hide();
}

void TFormGodenDo::Button2Click()
{
    hide();
}
