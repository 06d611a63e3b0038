#pragma once
// The common-data window "Формирование общих данных": the company name, the scale and
// label numbers, the automatic-label switch and the two 28-key layouts, kept per scale
// in "VL<n>.cfg"; it writes the block into the scale, reads it back into the viewer,
// sets the scale's clock and opens the index window for either layout. Its state
// lives in a CommonDataForm; the controls show it.

#include "app/Workspace.h"
#include "ui/ExchangeRun.h"
#include "common/CommonDataForm.h"

#include <QMainWindow>
#include <QStringList>

#include <cstdint>
#include <memory>

class CompanyNameValidator;
class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QTimer;

class TForm2 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm2(ztk::Workspace &workspace, QWidget *parent = nullptr);
    ~TForm2() override;

    // The state behind the controls, as of the last command.
    ztk::common::CommonDataForm &form() { return *m_form; }

    // "Выполнить" of the index window: rows 1..28 of the weight or the piece layout.
    void setLayoutCells(bool weight, const QStringList &cells);
    // "Внести данные" of the viewer; shows the conversion error when it stops.
    void takeViewerFields(const ztk::common::ViewerTexts &viewer);

    // --- controls (designer names)
    QPushButton *Button1 = nullptr;  // "Номер весов"
    QLineEdit *Edit3 = nullptr;      // the number the scale reported, "0" at first
    QLabel *Label1 = nullptr;        // "Наименование предприятия"
    QLineEdit *Edit1 = nullptr;      // company name
    QLabel *NameHint = nullptr;      // in red: why the company name is refused
    QLabel *Label5 = nullptr;        // "Дата"
    QLineEdit *Edit2 = nullptr;      // today, dd.mm.yy
    QLabel *Label3 = nullptr;        // "Ном весов"
    QSpinBox *CSpinEdit2 = nullptr;  // scale number 1..127
    QLabel *Label4 = nullptr;        // "Номер этикетки"
    QSpinBox *CSpinEdit1 = nullptr;  // label number, without limits
    QLabel *Label13 = nullptr;       // "№ Отчётной этикетки"
    QSpinBox *CSpinEdit5 = nullptr;  // report-label number 1..99
    QCheckBox *CheckBox1 = nullptr;  // "Автовывод этикетки"
    QLabel *Label2 = nullptr;        // "Раскл  вес. товаров"
    QTableWidget *StringGrid1 = nullptr; // WeightKeys: 2 x 29, row 0 the header
    QLabel *Label9 = nullptr;        // "Раскл шт. товаров"
    QTableWidget *StringGrid2 = nullptr; // PieceKeys
    QProgressBar *CGauge1 = nullptr; // progress of "Запись ОД", hidden otherwise
    QTimer *Timer1 = nullptr;        // 1 s, on while a reading waits

    QAction *SaveOfData = nullptr;    // "Сохранить"
    QAction *N2 = nullptr;            // "Запись ОД"
    QAction *COM2 = nullptr;          // "Чтение ОД"
    QAction *N3 = nullptr;            // "Раскладка клав. ВесР"
    QAction *N4 = nullptr;            // "Раскладка клав. ШтР"
    QAction *UstOfDateTime = nullptr; // "Уст дату и время"
    QAction *N1 = nullptr;            // "?"
    QAction *OutFromWin = nullptr;    // "Выход"

    // --- handlers
    void FormActivate();
    void Button1Click();
    void CSpinEdit1Change();
    void CSpinEdit2Change();
    void CSpinEdit5Change();
    void SaveOfDataClick();
    void N2Click();
    void COM2Click();
    void N3Click();
    void N4Click();
    void UstOfDateTimeClick();
    void OutFromWinClick();
    void Timer1Timer();

protected:
    void changeEvent(QEvent *event) override;
    // With unsaved changes: Да saves as "Сохранить" does, Нет closes, Отмена stays.
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenu();
    void buildControls();
    void initActionsConnections();
    // The one mapping between the controls and the form's Controls.
    void readControls();
    void showControls();
    void openIndexWindow(bool weight);
    // Says in NameHint what is wrong with the name shown, else `refused` (an edit not taken).
    void showNameHint(const QString &refused = QString());
    // False, with the reason shown, when the company name is not one the scale can show.
    bool nameShowable();

    CompanyNameValidator *m_nameValidator = nullptr; // Edit1's
    ztk::Workspace &m_ws;
    ztk::ExchangeRun *m_reading = nullptr; // the reading under way, whose gauge Timer1 moves
    const ztk::AppContext &m_context; // the workspace's
    std::unique_ptr<ztk::common::CommonDataForm> m_form;
    bool m_busy = false;         // an exchange runs: activation and exchanges wait
    bool m_askOnActivate = true; // the next activation comes from another window of the program
};

extern TForm2 *Form2;
