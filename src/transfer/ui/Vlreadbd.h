#pragma once
// The read-back window "Чтение БДТ из весов": reads a range of products from the
// scale into a 12-column grid the operator may edit, saves the rows into the product
// table, and clears products in the scale, one or a range (TFormSD). Shown modally by
// the main window's N10Click; the grid and the selected product live between openings.

#include "ui/PickedProduct.h"

#include <QDialog>
#include <QList>
#include <QStringList>
#include <vector>

namespace ztk {
class Workspace;
}

class NumberSpinEdit;
class QAction;
class QLabel;
class QLineEdit;
class QMenuBar;
class QTableWidget;

class TForm8 : public QDialog {
    Q_OBJECT
public:
    explicit TForm8(ztk::Workspace &workspace, QWidget *parent = nullptr);

    QMenuBar *MainMenu1 = nullptr;
    QAction *N1 = nullptr; // "Сохранить в БДТ"
    QAction *N4 = nullptr; // "Чтение"
    QAction *N5 = nullptr; // "Очистка данных о товаре"
    QAction *N6 = nullptr; // "Очистка данных о товарах с... по..."
    QAction *N2 = nullptr; // "?"
    QAction *N3 = nullptr; // "Выход"
    QLabel *Label3 = nullptr; // "Прочитать БДТ из весов  с"
    NumberSpinEdit *CSpinEdit1 = nullptr;
    QLabel *Label2 = nullptr; // "по"
    NumberSpinEdit *CSpinEdit2 = nullptr;
    QLabel *Label1 = nullptr; // "товар"
    QTableWidget *StringGrid1 = nullptr; // grid row r (1-based, the header is row 0) is table row r - 1
    QLabel *Label6 = nullptr; // "Наименование товара"
    QLineEdit *Edit21 = nullptr;
    QLineEdit *Edit22 = nullptr;
    QLineEdit *Edit23 = nullptr;
    QLineEdit *Edit24 = nullptr;
    QLineEdit *Edit25 = nullptr;

    void N1Click(); // save into the product table
    void N4Click(); // read
    void N5Click(); // clear the selected product
    void N6Click(); // clear a range, through TFormSD
    void N3Click();
    // A cell of the grid was selected (table row and column, as the table widget counts).
    void StringGrid1SelectCell(int tableRow, int column);

    // The selected product's number; 0 for none.
    int selectedNumber() const { return m_picked.number; }
    // Grid row `gridRow` (1-based) shows a cleared product; a row the grid lacks is left alone.
    void blankRow(int gridRow);
    // The texts of grid rows 1.. as they stand.
    std::vector<QStringList> gridRows() const;

private:
    void initActionsConnections();
    void fillRow(int gridRow, const QStringList &cells);
    QString cell(int tableRow, int column) const;
    void setCell(int tableRow, int column, const QString &text);
    void selectFirstRow();

    ztk::Workspace &m_ws;
    // A read, save or clear is running: its progress pumps events, and a command given
    // meanwhile would start a second exchange inside the first one.
    bool m_busy = false;
    ztk::PickedProduct m_picked;
};

extern TForm8 *Form8;
