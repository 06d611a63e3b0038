#pragma once
// The best-before dialog "Годен до": a calendar and the date it makes (dd.mm.yy).
// "Выполнить" hands the date to whoever opened it; "Отмена" changes nothing. Shown
// without blocking.

#include <QDialog>

#include <functional>

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

    // Given the shown date (dd.mm.yy) on "Выполнить"; false keeps the dialog open.
    using Apply = std::function<bool(const QString &shown)>;

    // Sets the calendar and Edit1 to `date` and shows the dialog without blocking.
    void showFor(const QDate &date, Apply apply);

    void MonthCalendar1Click();
    void Button3Click();
    void Button2Click();

private:
    Apply m_apply;
};

extern TFormGodenDo *FormGodenDo;
