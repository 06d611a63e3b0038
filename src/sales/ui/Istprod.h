#pragma once
// The window "История продаж": the sales of a period (two dates, or today, this week,
// this month) by product, day or scale, of the scales ticked; the table sorts by any
// column; a chart of the products with the most money and one of the money by day; the
// listing exported as a spreadsheet file or printed. Made the first time the main
// window's menu asks for it, then kept.

#include "sales/SalesHistory.h"

#include <QDialog>

#include <memory>

class QAbstractTableModel;
class QChartView;
class QComboBox;
class QDateEdit;
class QLabel;
class QListWidget;
class QPagedPaintDevice;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;

namespace ztk {
class Workspace;
class SalesTableModel;
}

class TFormIstprod : public QDialog {
    Q_OBJECT
public:
    explicit TFormIstprod(ztk::Workspace &workspace, QWidget *parent = nullptr);
    ~TFormIstprod() override;

    // The window of `parent`, made on the first call, shown and raised.
    static TFormIstprod *open(ztk::Workspace &workspace, QWidget *parent);

    // --- controls (designer names)
    QDateEdit *DateEdit1 = nullptr;      // the first day
    QDateEdit *DateEdit2 = nullptr;      // the last day, included
    QPushButton *SpeedButton1 = nullptr; // "Сегодня"
    QPushButton *SpeedButton2 = nullptr; // "Эта неделя"
    QPushButton *SpeedButton3 = nullptr; // "Этот месяц"
    QComboBox *ComboBox1 = nullptr;      // the grouping, a SalesGrouping in each item's data
    QListWidget *CheckListBox1 = nullptr; // the scales, ticked: the ones listed
    QPushButton *Button1 = nullptr;      // "Показать"
    QPushButton *Button2 = nullptr;      // "Экспорт"
    QPushButton *Button3 = nullptr;      // "Печать"
    QPushButton *Button4 = nullptr;      // "Выход"
    QTableView *StringGrid1 = nullptr;
    QLabel *Label1 = nullptr;            // the total line
    QChartView *Chart1 = nullptr;        // the products with the most money
    QChartView *Chart2 = nullptr;        // the money by day

    // --- handlers
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void Button1Click();
    void Button2Click();
    void Button3Click();

    // What is shown, for printing and the tests.
    const ztk::SalesListing &listing() const { return m_listing; }
    const std::vector<ztk::DayMoney> &days() const { return m_days; }
    ztk::SalesQuery shownQuery() const { return m_shown; }
    // The report of what is shown, as printed.
    QString reportText() const;
    void printOn(QPagedPaintDevice &device) const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildControls();
    void initActionsConnections();
    // The one place the controls become a query; nothing (the message shown) for a
    // period that ends before it begins.
    std::optional<ztk::SalesQuery> readQuery();
    void fillScales();
    void setPeriod(const QDate &from, const QDate &to);
    void drawCharts();

    ztk::Workspace &m_ws;
    ztk::SalesTableModel *m_model = nullptr;
    QSortFilterProxyModel *m_sorted = nullptr;
    ztk::SalesListing m_listing;
    std::vector<ztk::DayMoney> m_days;
    ztk::SalesQuery m_shown;
    bool m_shownOnce = false;
};
