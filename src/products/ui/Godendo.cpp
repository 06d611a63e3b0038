#include "products/ui/Godendo.h"

#include "shared/DateText.h"
#include "shared/Messages.h"

#include <QCalendarWidget>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TFormGodenDo *FormGodenDo = nullptr;


TFormGodenDo::TFormGodenDo(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("FormGodenDo"));
    setWindowTitle(tr("Годен до"));
    setModal(false);
    move(192, 107);
    setFixedSize(363, 167); // client area of the 371 x 194 frame

    MonthCalendar1 = new QCalendarWidget(this);
    MonthCalendar1->setObjectName(QStringLiteral("MonthCalendar1"));
    MonthCalendar1->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    MonthCalendar1->setGeometry(0, 0, 191, 154);

    Label1 = new QLabel(tr("Сформированная  дата "), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(205, 20, 150, 16);

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    QFont f = Edit1->font();
    f.setPixelSize(19);
    Edit1->setFont(f);
    Edit1->setGeometry(205, 40, 121, 30);

    Button3 = new QPushButton(tr("Выполнить"), this);
    Button3->setObjectName(QStringLiteral("Button3"));
    Button3->setGeometry(200, 130, 75, 25);
    Button3->setDefault(true);
    Button2 = new QPushButton(tr("Отмена"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(282, 130, 75, 25);

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
