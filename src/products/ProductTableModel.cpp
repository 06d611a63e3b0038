#include "products/ProductTableModel.h"

#include "products/DisplayFormat.h"
#include "products/ProductDataset.h"
#include "shared/Messages.h"

namespace ztk {

namespace {

struct GridColumn {
    const char *field;
    const char *title;
    int width;
};

constexpr GridColumn kGrid[ProductTableModel::ColumnCount] = {
    {fld::N, "N", 32},
    {fld::Name, "Наименование", 195},
    {fld::SK5, "ШК5", 53},
    {fld::Price, "Цена", 51},
    {fld::Prefix, "Прф", 40},
    {fld::TypeCal, "ТипТов", 63},
    {fld::Goden, "Годен до", 76},
    {fld::Dcorr, "Дата КОРР", 103},
};

} // namespace

ProductTableModel::ProductTableModel(ProductDataset &dataset, QObject *parent)
    : QAbstractTableModel(parent), m_dataset(dataset)
{
    connect(&m_dataset, &ProductDataset::reset, this, [this] {
        beginResetModel();
        endResetModel();
    });
    connect(&m_dataset, &ProductDataset::rowChanged, this, [this](int row) {
        if (row >= 0 && row < rowCount())
            Q_EMIT dataChanged(index(row, 0), index(row, ColumnCount - 1), {Qt::DisplayRole});
    });
}

int ProductTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_dataset.recordCount();
}

int ProductTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ProductTableModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.column() >= ColumnCount)
        return QVariant();
    const int row = index.row();
    switch (index.column()) {
    case ColN:
        return display::productNumber(m_dataset.rowValue(row, fld::N));
    case ColSK5:
        return display::sk5(m_dataset.rowValue(row, fld::SK5));
    case ColPrice:
        return display::price(m_dataset.rowValue(row, fld::Price));
    case ColType:
    case ColGoden:
    case ColDcorr:
        return m_dataset.rowCalculated(row, kGrid[index.column()].field);
    default:
        return m_dataset.rowValue(row, kGrid[index.column()].field).toString();
    }
}

QVariant ProductTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Vertical)
        return QVariant();
    if (section < 0 || section >= ColumnCount)
        return QVariant();
    return msg::text(kGrid[section].title);
}

Qt::ItemFlags ProductTableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

const char *ProductTableModel::field(int column)
{
    return column >= 0 && column < ColumnCount ? kGrid[column].field : "";
}

int ProductTableModel::referenceWidth(int column)
{
    return column >= 0 && column < ColumnCount ? kGrid[column].width : 0;
}

} // namespace ztk
