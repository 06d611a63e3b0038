#pragma once
// The window "Состояние весов": each scale of the list with its port, its link, how it
// stands against the product table (in step, or so many products to write and to
// clear, so many slots unknown) and its last sync. From it the chosen scales are
// synced, or one is compared with the table. The standings follow the table: a price
// stored shows as one product to write.

#include <QDialog>

#include <memory>
#include <vector>

class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace ztk {
class Workspace;
struct ScaleStanding;
} // namespace ztk

class TFormSost : public QDialog {
    Q_OBJECT
public:
    explicit TFormSost(ztk::Workspace &workspace, QWidget *parent = nullptr);
    ~TFormSost() override;

    enum Column { ColName, ColPort, ColLink, ColStanding, ColLastSync, ColumnCount };

    QTableWidget *StringGrid1 = nullptr; // a row a scale; the rows picked are the ones acted on
    QPushButton *Button1 = nullptr;      // "Проверить связь"
    QPushButton *Button2 = nullptr;      // "Синхронизировать"
    QPushButton *Button3 = nullptr;      // "Сравнить"
    QPushButton *Button4 = nullptr;      // "Выход"
    QPlainTextEdit *Memo1 = nullptr;     // what the last sync or comparison said

    // The standings again from the table and what each scale is known to hold.
    void refresh();
    void Button1Click(); // link check of every scale
    void Button2Click(); // sync of the picked scales (all when none is picked)
    void Button3Click(); // compare the picked scale
    int rowCount() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void initActionsConnections();
    std::vector<int> pickedRows() const;
    void showOutcomes(const QStringList &lines);

    ztk::Workspace &m_ws;
    std::vector<ztk::ScaleStanding> m_standings;
};

extern TFormSost *FormSost;
