#pragma once
// The viewer "Общие данные из весов": the block read from the scale, field by field.
// The operator may correct the shown values and carry them into the common-data
// window with "Внести данные".

#include "app/AppContext.h"
#include "common/CommonData.h"
#include "common/CommonDataForm.h"

#include <QDialog>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenuBar;
class QPlainTextEdit;

class TForm4 : public QDialog {
    Q_OBJECT
public:
    explicit TForm4(const ztk::AppContext &context, QWidget *parent = nullptr);
    ~TForm4() override;

    // Fills every field from a decoded block.
    void showBlock(const ztk::common::BlockView &view);
    // Empties the two key lists (before a reading).
    void clearKeyLists();
    // The fields "Внести данные" carries, as they are shown now.
    ztk::common::ViewerTexts texts() const;

    QLabel *Label1 = nullptr;  // "Наименование предприятия"
    QLineEdit *Edit1 = nullptr;
    QLabel *Label2 = nullptr;  // "Тип весов "
    QComboBox *ComboBox1 = nullptr;
    QLabel *Label9 = nullptr;  // "Позиция дес точки"
    QComboBox *ComboBox2 = nullptr;
    QLabel *Label3 = nullptr;  // "Вариант этикетки"
    QLineEdit *Edit2 = nullptr;
    QLabel *Label4 = nullptr;  // "Вариант суммарной этикетки"
    QLineEdit *Edit3 = nullptr;
    QLabel *Label5 = nullptr;  // "Номер весов"
    QLineEdit *Edit4 = nullptr;
    QLabel *Label15 = nullptr; // "Дата и время посл коррекции"
    QLineEdit *Edit12 = nullptr;
    QCheckBox *CheckBox1 = nullptr; // "Автовывод этикетки"
    QLabel *Label13 = nullptr; // "Список индексов ВР"
    QPlainTextEdit *Memo3 = nullptr;
    QLabel *Label14 = nullptr; // "Список индексов ШтР"
    QPlainTextEdit *Memo4 = nullptr;
    QMenuBar *MainMenu1 = nullptr;
    QAction *N1 = nullptr; // "Внести данные"
    QAction *N2 = nullptr; // "?"
    QAction *N3 = nullptr; // "Выход"

    void N1Click();
    void N3Click();

private:
    void initActionsConnections();

    ztk::AppContext m_context;
};

extern TForm4 *Form4;
