#pragma once
// The stamps every store of a record applies, whoever stores (the dataset, the
// import): "Дата", "Время", the type forced by the selection, "ДатаКоррекции".
// Each step runs only where the table has its column.

#include "products/Product.h"

#include <QDateTime>

namespace ztk {

enum class TypeRule;

void applyStoreStamps(Product &product, const ColumnSet &present, TypeRule rule, const QDateTime &now);

} // namespace ztk
