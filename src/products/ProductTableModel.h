#pragma once
// The product grid's model: the rows of the dataset's snapshot in the eight columns
// of the grid, read-only. Resets with the dataset; a stored row redraws alone.

#include <QAbstractTableModel>

namespace ztk {

class ProductDataset;

class ProductTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum ColumnIndex { ColN, ColName, ColSK5, ColPrice, ColPrefix, ColType, ColGoden, ColDcorr, ColumnCount };

    // The dataset outlives the model.
    explicit ProductTableModel(ProductDataset &dataset, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // The field a column shows ("N", "Name", ... "Dcorr").
    static const char *field(int column);
    // Reference widths of the columns at the design size (965 wide).
    static int referenceWidth(int column);

private:
    ProductDataset &m_dataset;
};

} // namespace ztk
