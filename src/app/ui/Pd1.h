#pragma once
// The main window: the product grid and detail panel, the selections, the link
// state and the menu from which every other window and exchange starts. The state
// the windows share is the workspace's; the other windows ask this one through it.
//
// The handlers are split by subject over several files:
//   Pd1.cpp          wiring, start-up, shutdown, layout, clock, link
//   Pd1Build.cpp     the menu and the controls at their places of the design
//   Pd1Editing.cpp   "Запись", the speed buttons, the best-before box, the type selector
//   Pd1Selection.cpp the selection radio buttons and their input boxes
//   Pd1Transfer.cpp  building the product image and writing it to the scale, "Список"
//   Pd1Files.cpp     text import and export, the printed report
//   Pd1Readback.cpp  reading products back from the scale
//   Pd1Look.cpp      fonts fitted to the design's boxes, the speed buttons' pictures
//   Pd1Keys.cpp      Tab order, Enter in the panel and in the prefix box

#include "app/AppContext.h"
#include "app/ExchangeLock.h"
#include "app/Workspace.h"
#include "link/Exchange.h"
#include "products/RecordEditing.h"
#include "products/Selection.h"
#include "shared/PortConfig.h"

#include <QDate>
#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QButtonGroup;
class QCalendarWidget;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTableView;
class QTimer;
class QToolButton;

namespace ztk {
class DetailPanel;
class ProductStore;
class ProductDataset;
class ProductTableModel;
class ScaleLink;
class ProductImage;
struct CopyBuffer;
} // namespace ztk

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(ztk::Workspace &workspace, QWidget *parent = nullptr);
    ~TForm1() override;

    // False when start-up ended the program (another instance runs).
    bool startedOk() const { return m_startedOk; }

    ztk::Workspace &workspace() const { return m_ws; }
    const ztk::AppContext &context() const { return m_context; }
    ztk::ProductDataset *dataset() const;
    ztk::ScaleLink &link() const;
    ztk::PortConfig &portConfig() { return m_portConfig; }
    const QString &selectionSql() const { return m_selection.sql(); }
    const ztk::ProductImage *productImage() const;
    bool linkUp() const { return m_linkUp; }
    bool versionKnown() const { return m_versionKnown; }
    const QString &versionText() const { return m_versionText; }

    // Operations the other windows call.
    void SendByte(unsigned char byte);
    void Button1Click();  // scale-number query; the answer goes to Form2->Edit3
    void BitBtn1Click();  // store and advance
    void Button2Click();  // build the product image from the current selection
    ztk::ExchangeResult COM1Click(ztk::ExchangeSession &session); // send "BDforVes.bd" to the scale

    // The rows of the current selection as the list windows show them: "N Name" each.
    QStringList selectionEntries();
    // Makes "Вес" (weight) or "Штука" the selection, running it again when it already is.
    void selectByType(bool weight);

    // Shows "Записей " and the record count in Label9.
    void showRecordCount();
    // Sets the link display: Label1 and the four exchange menu items.
    void setLinkState(bool up);

    // --- controls (designer names)
    QAction *Import = nullptr;
    QAction *Export = nullptr;
    QAction *UndoItem = nullptr;    // "Отменить", Ctrl+Z
    QAction *RedoItem = nullptr;    // "Повторить", Ctrl+Y
    QAction *InsertItem = nullptr;  // Ins, as SpeedButton2
    QAction *DeleteItem = nullptr;  // Del, as SpeedButton3
    QAction *StoreItem = nullptr;   // Ctrl+S, as BitBtn1
    QAction *RefreshItem = nullptr; // F5: the selection again
    QAction *FindItem = nullptr;    // Ctrl+F: the name search
    QAction *ReportItem = nullptr;  // Ctrl+P, as SpeedButton8
    QAction *N1 = nullptr;  // "Настройка порта"
    QAction *N7 = nullptr;  // "Формирование общих данных"
    QAction *N5 = nullptr;  // "Запись БДТ в весы"
    QAction *N11 = nullptr; // "Запись БДТ во все весы": every scale of "scales.ini" at once
    QAction *N12 = nullptr; // "Синхронизировать весы": every listed scale brought in step at once
    QAction *N13 = nullptr; // "Состояние весов"
    QAction *N14 = nullptr; // "Журнал обмена"
    QAction *N16 = nullptr; // "Проверить связь"
    QAction *N10 = nullptr; // "Чтение БД из весов"
    QAction *N4 = nullptr;  // "Приём итоговых данных из весов"
    QAction *N8 = nullptr;  // "О программе"
    QAction *N9 = nullptr;  // "Помощь"
    QAction *N3 = nullptr;  // "Выход"

    QToolButton *SpeedButton2 = nullptr; // "Вставить запись"
    QToolButton *SpeedButton3 = nullptr; // "Удалить запись"
    QToolButton *SpeedButton4 = nullptr; // "Удалить все"
    QToolButton *SpeedButton5 = nullptr; // "Очистить запись"
    QToolButton *SpeedButton6 = nullptr; // "Копия записи"
    QToolButton *SpeedButton7 = nullptr; // "Замена записи"
    QToolButton *SpeedButton8 = nullptr; // "Печать"

    QLabel *Label20 = nullptr; // port name or "НЕТ связи"
    QLabel *Label2 = nullptr;  // baud rate or "Не уст"
    QLabel *Label9 = nullptr;  // "Записей " + count
    QLabel *Label1 = nullptr;  // link state text
    QLabel *Label21 = nullptr; // the status bar's scales: in step, waiting, unreachable, the last exchange
    QCheckBox *CheckBox2 = nullptr; // "Список"

    QGroupBox *RadioGroup1 = nullptr; // "Выбор", a frame only
    QRadioButton *RadioButton1 = nullptr;  // "Вся база"
    QRadioButton *RadioButton2 = nullptr;  // "Вес"
    QRadioButton *RadioButton3 = nullptr;  // "Штука"
    QRadioButton *RadioButton4 = nullptr;  // "По дате корр."
    QRadioButton *RadioButton5 = nullptr;  // "До даты корр."
    QRadioButton *RadioButton6 = nullptr;  // "После даты корр."
    QRadioButton *RadioButton7 = nullptr;  // "По наименованию"
    QRadioButton *RadioButton10 = nullptr; // "По номеру"
    QRadioButton *RadioButton14 = nullptr; // "По сроку годн."
    QRadioButton *RadioButton15 = nullptr; // "Просроченные"
    QRadioButton *RadioButton16 = nullptr; // "Действ. срок годн."
    QRadioButton *RadioButton17 = nullptr; // "По префиксу"
    QLineEdit *Edit1 = nullptr; // name fragment
    QLineEdit *Edit2 = nullptr; // calendar date
    QLineEdit *Edit4 = nullptr; // lowest number
    QLineEdit *Edit5 = nullptr; // highest number
    QSpinBox *CSpinEdit1 = nullptr; // prefix 0..99
    QCalendarWidget *MonthCalendar1 = nullptr;
    QLineEdit *Edit3 = nullptr; // clock
    QTimer *Timer1 = nullptr;

    QTableView *DBGrid1 = nullptr;
    QGroupBox *GroupBox1 = nullptr; // "Параметры товара"
    QLineEdit *DBEdit1 = nullptr;   // Name
    QLineEdit *DBEdit2 = nullptr;   // Name2
    QLineEdit *DBEdit3 = nullptr;   // Name3
    QLineEdit *DBEdit4 = nullptr;   // Name4
    QLineEdit *DBEdit5 = nullptr;   // Name5
    QLineEdit *DBEdit8 = nullptr;   // N
    QLineEdit *DBEdit13 = nullptr;  // Префикс, at most 2 characters
    QLineEdit *DBEdit7 = nullptr;   // SK5
    QLineEdit *DBEdit10 = nullptr;  // Цена
    QLineEdit *DBEdit6 = nullptr;   // Goden; a click opens the best-before dialog
    QLineEdit *DBEdit61 = nullptr;  // ГоденДо, hidden
    QComboBox *ComboBox1 = nullptr; // "Вес", "Шт"
    QLineEdit *DBEdit9 = nullptr;   // ТипТ, hidden
    QLineEdit *DBEdit11 = nullptr;  // Dcorr, read-only
    QLineEdit *DBEdit14 = nullptr;  // ДатаКоррекции, read-only, hidden
    QPushButton *BitBtn1 = nullptr; // "Запись"

    // --- handlers
    void FormCreate();
    void FormShow();
    void FormActivate();
    void FormCloseQuery();
    void FormResize();
    void Timer1Timer();
    void N1Click();
    void N3Click();
    void N4Click();
    void N5Click();
    void N11Click();
    void N12Click();
    void N13Click();
    void N14Click();
    void N16Click(); // "Проверить связь": the port opened again when it had failed, the link checked
    // The scales at a glance in Label21, again from the table, the states and the journal.
    void refreshScalesSummary();
    void N7Click();
    void N8Click();
    void N9Click();
    void N10Click();
    void ImportClick();
    void ExportClick();

    // Ctrl+Z and Ctrl+Y: the last stored change of this run undone or done again, its
    // record shown.
    void UndoItemClick();
    void RedoItemClick();
    void FindItemClick();

    void SpeedButton2Click(); // insert
    void SpeedButton3Click(); // delete one
    void SpeedButton4Click(); // delete the selection
    void SpeedButton5Click(); // clear
    void SpeedButton6Click(); // copy
    void SpeedButton7Click(); // replace
    void SpeedButton8Click(); // print
    void DBEdit6Click();
    void ComboBox1Change();
    void DBEdit9Change();
    void DBGrid1KeyUp();
    void DBGrid1MouseUp();

    void RadioButton1Click();
    void RadioButton2Click();
    void RadioButton3Click();
    void RadioButton4Click();
    void RadioButton5Click();
    void RadioButton6Click();
    void RadioButton7Click();
    void RadioButton10Click();
    void RadioButton14Click();
    void RadioButton15Click();
    void RadioButton16Click();
    void RadioButton17Click();
    void Edit1Change();
    void Edit4Change();
    void Edit5Change();
    void MonthCalendar1Click();
    void CSpinEdit1Change();
    void RefreshSelection();

    void CheckBox2Click();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void fitTexts();               // Pd1Look.cpp
    void setSpeedButtonPictures(); // Pd1Look.cpp
    void buildMenu();
    void initActionsConnections();
    void initKeyboard(); // Pd1Keys.cpp
    void undoOrRedo(bool redo);      // Pd1Undo.cpp
    void applyUndoItems();
    bool unstoredTyping() const;
    // Makes the row `rowid` current; with `anySelection` the whole table becomes the
    // selection when the current one does not hold it. False when it is not shown.
    bool showRow(qint64 rowid, bool anySelection = true);

    // The selection as the operator set it up: its button, its input boxes, the record.
    struct SelectionLook {
        QString button; // the checked selection button's name
        QString name, from, to;
        int prefix = 0;
        QDate date;
        qint64 rowid = -1;
    };
    SelectionLook selectionLook() const;    // Pd1Settings.cpp
    void applySelectionLook(const SelectionLook &look);
    // The window's place, the last selection and "Список" from the last run, and back.
    void restoreSettings();
    void saveSettings();
    void restoreSelection(); // the one selectByType replaced
    std::optional<SelectionLook> m_beforeTypeSelection;
    void bindDetailPanel();
    // A date selection: Edit2 shown, the builder set, the query built and run.
    void startDateSelection(ztk::SelectionBuilder builder);
    void runChosen(ztk::SelectionQuery query, const ztk::SelectionArgs &args = {});
    // Runs SelectionSql with the grid suspended. Shown: the count, and the store's error
    // text when it fails; Quiet: the count only when it ran.
    enum class Failure { Quiet, Shown };
    bool runSelection(Failure failure = Failure::Shown);
    void openSelection() { runSelection(Failure::Quiet); }
    bool applyBestBefore(const QString &shown); // the best-before dialog's date; false keeps it open
    void showVersion(const QString &versionText);
    void showPortStatus();
    // The link check of start-up, with its wait window; Label1 and the exchange items follow.
    void checkLinkNow();
    // A port typed in the port settings that "fbdves.cfg" cannot hold: tried at once,
    // put into the scales list when the operator confirms.
    void offerListedPort(const QString &port);
    void resetSelectionInputs();

    // The editing commands over the grid's dataset and selection.
    ztk::RecordEditing editing();
    void syncGridToDataset();
    void gridRowChanged(int row);
    // The link-up flag, and with it the four exchange items N7, N5, N10, N4.
    void setExchangeItemsEnabled(bool enabled);
    // The exchange items as the link and the exchange lock allow: off while one runs.
    void applyExchangeItems();
    // Label21 follows the journal and the table: looked at every few seconds.
    void followScalesSummary();
    void lookAtScalesSummary();
    QTimer *m_summaryTimer = nullptr;
    std::optional<qint64> m_journalSeen;
    qint64 m_tableVersion = -1;
    bool m_summaryDirty = true;
    // N11 is there for a scales list of more than one scale.
    void updateAllScalesItem();
    // N5's first half: the selection's image built and stored in "BDforVes.bd"; false
    // with the message shown.
    bool storeSelectionImage();

    ztk::Workspace &m_ws;
    const ztk::AppContext &m_context;  // the workspace's, as are the four below
    ztk::ExchangeLock &m_exchange;
    bool m_startedOk = true;
    bool m_shownOnce = false;
    bool m_versionKnown = false;
    QString m_versionText;
    bool m_linkUp = false;
    bool m_portFailed = false;

    ztk::SelectionState &m_selection;
    ztk::PortConfig &m_portConfig;
    ztk::ProductTableModel *m_model = nullptr;
    ztk::DetailPanel *m_panel = nullptr; // owned as a child
    bool m_gridSyncing = false;
    bool m_closed = false;
    QStringList m_portList;
    QButtonGroup *m_radioGroup = nullptr;
    // The controls that follow the window's size, with their places at the design size.
    struct ScaledPlace {
        QWidget *widget;
        QRect reference;
    };
    std::vector<ScaledPlace> m_scaledPlaces;
    QSize m_laidOutSize; // the outer size FormResize last laid out for
};

extern TForm1 *Form1;
