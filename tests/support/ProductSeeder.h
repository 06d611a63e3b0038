#pragma once
// The one way tests put rows into "lm_t1": straight into the table, past the store
// rules, with any value in any column (SQLite keeps whatever it is given), so that
// odd stored values can be tested as well as ordinary ones.

#include "products/Product.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <array>

namespace ztk {
class ProductStore;
}

namespace ztk::test {

// One row; an unset (null) value is stored as NULL.
struct SeedRow {
    std::array<QVariant, ProductColumnCount> values;

    SeedRow &set(ProductColumn c, const QVariant &v)
    {
        values[std::size_t(c)] = v;
        return *this;
    }
};

// Inserts the rows in one statement each; false with `error` at the first refusal.
bool seedRows(ProductStore &store, const QList<SeedRow> &rows, QString *error = nullptr);

// A text as a seed value: an empty text becomes NULL.
inline QVariant textOrNull(const QString &s) { return s.isEmpty() ? QVariant() : QVariant(s); }

} // namespace ztk::test
