#pragma once
// The window "Приём итоговых данных из весов": the received totals per product, their
// sum, a chart of the sales, and the commands that save the totals as text and clear
// them in the scale. Created once at start-up; the main window's N4Click gives it a
// reception and shows it modally.

#include "totals/TotalsImage.h"
#include "totals/TotalsRows.h"

#include "ui/PickedProduct.h"

#include <QMainWindow>
#include <QString>

#include <set>

class QAction;
class QChartView;
class QEventLoop;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTableWidget;
class QWindow;

namespace ztk {
class Workspace;
class Prompter;
}

// The save dialog's settings; execute() hands back the chosen file name (empty when cancelled).
struct TotalsSaveDialog {
    QString title;
    QString filter;
    QString defaultExtension;
    QString execute(ztk::Prompter &prompter) const;
};

class TForm5 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm5(ztk::Workspace &workspace, QWidget *parent = nullptr);

    // A new reception: every cell cleared and the headers of a reception written;
    // the rows are built when the window is activated. `notKept`: why the reception
    // could not be kept under totals/ (empty when it was); its totals are then not
    // cleared in the scale.
    void setImage(const ztk::TotalsImage &image, const QString &notKept = QString());
    const ztk::TotalsImage &image() const { return m_image; }
    // Shows the window modally; returns once it is closed.
    void showModal();

    int selectedProduct() const { return m_picked.number; }
    int selectedRow() const { return m_picked.row; }
    int selectedColumn() const { return m_picked.column; }
    // The grid's cell texts (row 0 is the first product row).
    QString cell(int row, int column) const;

    // --- controls (designer names)
    QAction *N4 = nullptr; // "Сохр. ИД"
    QAction *N1 = nullptr; // "Очистка всех ИД"
    QAction *N2 = nullptr; // "Очистка ИД товара"
    QAction *N5 = nullptr; // "?"
    QAction *N3 = nullptr; // "Выход"
    QLabel *Label1 = nullptr;
    QLineEdit *Edit1 = nullptr; // number of products listed
    QTableWidget *StringGrid1 = nullptr;
    QLabel *LabelNote = nullptr; // what "*" in column 0 means
    QPlainTextEdit *Memo2 = nullptr; // working text of the save, never shown
    QChartView *Chart1 = nullptr;    // the products with the most money
    QChartView *Chart2 = nullptr;    // weighed against piece goods
    const TotalsSaveDialog SaveDialog1;

    // --- handlers
    void FormCreate();
    void FormActivate();
    void StringGrid1SelectCell(int row, int column);
    void N4Click();
    void N1Click();
    void N2Click();
    void N3Click();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void buildControls();
    void initActionsConnections();
    void focusWindowChanged(QWindow *now);
    void fillGrid();
    void drawCharts();
    // Builds the working text and offers the save dialog; false when nothing was written.
    enum class Saved { Yes, Cancelled, Failed };
    Saved saveTotals();
    // False, with the message shown, when clearing would lose totals not kept.
    bool mayClear();
    // Clears the totals of `numbers` in the scale and shows their rows cleared.
    void clearRows(const std::vector<int> &numbers);
    ztk::Prompter &prompter() const;

    ztk::Workspace &m_ws;
    ztk::TotalsImage m_image;
    ztk::TotalsTable m_table;  // the rows shown, as of the last activation
    std::set<int> m_cleared;   // products of this reception cleared in the scale since
    QString m_notKept;
    ztk::PickedProduct m_picked;
    bool m_filling = false;           // the grid is being rebuilt, not clicked
    bool m_backFromElsewhere = false; // the focus went to this window's dialog or another program
    QEventLoop *m_modalLoop = nullptr;
};

extern TForm5 *Form5;
