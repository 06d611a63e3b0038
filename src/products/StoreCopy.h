#pragma once
// Moving a shop's products between stores: "LM_T.db" into a server's table, or back.

#include <QString>

#include <functional>

namespace ztk {

class ProductStore;

struct CopyResult {
    bool ok = false;
    qint64 copied = 0;
    bool targetNotEmpty = false; // refused: `to` holds rows and no replace was asked for
    QString error;               // when !ok
};

// Every row of `from` into `to`, each column as stored, in one transaction of `to`:
// all of them or none. `to` must be empty unless `replace`, which deletes its rows
// first. `progress` (may be empty) hears the rows stored so far and the total.
CopyResult copyProducts(ProductStore &from, ProductStore &to, bool replace,
                        const std::function<void(qint64 done, qint64 total)> &progress = {});

} // namespace ztk
