#pragma once
// The window "Журнал обмена": the exchanges with the scales, from every PC of the
// store, newest last; filtered by the day they began from, the scale, and whether
// they failed.

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QTableWidget;

namespace ztk {
class Workspace;
} // namespace ztk

class TFormJourn : public QDialog {
    Q_OBJECT
public:
    explicit TFormJourn(ztk::Workspace &workspace, QWidget *parent = nullptr);

    static constexpr int ColOutcome = 10; // shown in words, not as ztk-cli's "ok"

    QCheckBox *CheckSince = nullptr;  // "С даты:", the day beside it
    QDateEdit *DateSince = nullptr;
    QComboBox *ComboScale = nullptr;  // "все", then the scales of the list and of the journal
    QCheckBox *CheckFailed = nullptr; // "Только невыполненные"
    QPushButton *Button1 = nullptr;   // "Показать"
    QPushButton *Button2 = nullptr;   // "Выход"
    QTableWidget *StringGrid1 = nullptr;
    QLabel *Label1 = nullptr;         // "Записей: N"

    // The rows of the filters again.
    void refresh();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void fillScales();
    ztk::Workspace &m_ws;
};

extern TFormJourn *FormJourn;
