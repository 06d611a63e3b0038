#pragma once
// The fields the grid and the panel show but the table does not keep: "Goden" and
// "Dcorr" (best-before and correction moments, day first) and "ПрефиксCal" (the type
// in words).

#include "products/Product.h"

#include <QDateTime>
#include <QString>

namespace ztk {

struct CalculatedFields {
    QString goden, dcorr, typeCal;

    // The field by its name; empty for another name.
    QString field(const char *name) const;
};

// As of `now`: a record whose dates do not read shows no best-before and `now` as
// its correction; an empty correction stamp reads as day zero.
CalculatedFields calculateFields(const Product &product, const QDateTime &now);

bool isCalculatedField(const char *name);

// The type the grid shows in words: "0" is weight, anything else piece.
ProductType shownType(const Product &product);

} // namespace ztk
