#pragma once
// The rules every store of a record applies, whoever stores (the dataset, the
// import, the read-back save): "Дата", "Время", the type forced by the selection,
// a number for a record without one, "ДатаКоррекции". Each step runs only where the
// table has its column.

#include "products/Product.h"

#include <QDateTime>

namespace ztk {

enum class TypeRule;

class Prompter;

// The stamps and the type.
void applyStoreStamps(Product &product, const ColumnSet &present, TypeRule rule, const QDateTime &now);
// "N" above 5000: the number message, and 0 in its place (numbered at the store).
void applyNumberLimit(Product &product, Prompter &prompter);
// All of them: the stamps and the type, and for a record whose "N" is 0, empty or no
// number, one more than `resultCount` (the records of its result set), limited.
void applyStoreRules(Product &product, const QDateTime &now, TypeRule rule, const ColumnSet &present,
                     int resultCount, Prompter &prompter);

} // namespace ztk
