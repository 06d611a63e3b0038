#pragma once
// The best-before dialog "Годен до": a calendar and the date it makes (dd.mm.yy).
// "Выполнить" puts the date into the main window's best-before boxes and the current
// record's "ГоденДо"; "Отмена" changes nothing. Shown without blocking.

#include <QDialog>

class QCalendarWidget;
class QDate;
class QLabel;
class QLineEdit;
class QPushButton;

class TFormGodenDo : public QDialog {
    Q_OBJECT
public:
    explicit TFormGodenDo(QWidget *parent = nullptr);
    ~TFormGodenDo() override;

    QCalendarWidget *MonthCalendar1 = nullptr;
    QLabel *Label1 = nullptr; // "Сформированная  дата "
    QLineEdit *Edit1 = nullptr;
    QPushButton *Button3 = nullptr; // "Выполнить"
    QPushButton *Button2 = nullptr; // "Отмена"

    // Sets the calendar and Edit1 to `date` and shows the dialog without blocking.
    void showFor(const QDate &date);

    void MonthCalendar1Click();
    void Button3Click();
    void Button2Click();
};

extern TFormGodenDo *FormGodenDo;
