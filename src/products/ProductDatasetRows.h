#pragma once
// The rows and the edit buffer behind ProductDataset, shared by its two source files.

#include "products/CalculatedFields.h"
#include "products/ProductDataset.h"

#include <memory>
#include <vector>

namespace ztk {

struct ProductDataset::Row {
    Product product;
    // The calculated fields, worked out when first asked for (the grid asks for
    // the rows it shows), as of the moment the row was fetched.
    bool calculated = false;
    CalculatedFields calc;
};

struct ProductDataset::Impl {
    std::vector<std::unique_ptr<Row>> rows;
    int cur = -1;
    Row buffer; // the record being edited or inserted
    ColumnSet present = allColumns(); // the columns the table has
    bool inHook = false;
    bool hookStale = false; // reopened while the controls were disabled
    QDateTime fetchedAt; // "now" of the rows fetched by the last open
    QString sql;         // of the last open
    bool refreshPending = false; // a refresh waits for the edit, the batch or the question to end
    int refreshHeld = 0;
    bool following = false;

    void take(std::vector<Product> &products, const QDateTime &now)
    {
        fetchedAt = now;
        rows.clear();
        rows.reserve(products.size());
        for (Product &p : products) {
            auto row = std::make_unique<Row>();
            row->product = std::move(p);
            rows.push_back(std::move(row));
        }
    }

    const Row &calculatedRow(int row)
    {
        Row &r = *rows[std::size_t(row)];
        if (!r.calculated) {
            r.calc = calculateFields(r.product, fetchedAt);
            r.calculated = true;
        }
        return r;
    }

    const Row *current(DatasetState state) const
    {
        if (state == DatasetState::Edit || state == DatasetState::Insert)
            return &buffer;
        if (cur >= 0 && cur < int(rows.size()))
            return rows[std::size_t(cur)].get();
        return nullptr;
    }
};

} // namespace ztk
