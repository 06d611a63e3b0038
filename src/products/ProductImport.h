#pragma once
// The import of a ProductTextFile into "lm_t1": each data line's record replaces the
// record of its product number or is added, with the store rules applied. The whole
// import is one transaction and every line its own savepoint: a line that fails to
// store is rolled back alone and listed; an interrupted import leaves the table as
// it was.

#include "products/ImportLine.h"
#include "products/ProductTextFile.h"
#include "shared/Seams.h"

#include <QLocale>
#include <QString>

#include <functional>
#include <vector>

namespace ztk {

class ProductStore;
enum class TypeRule;

struct ImportSettings {
    const Clock *clock = nullptr;
    Prompter *prompter = nullptr;  // the number message of the store rules
    TypeRule typeRule{};           // the type the checked selection forces
    QLocale locale;
    // After every line given to ImportLine: lines done, lines in all.
    std::function<void(qsizetype done, qsizetype total)> progress;
};

struct ImportResult {
    bool opened = false;  // false: "Файл не открывается", nothing changed
    QString storeError;   // not empty: no backup, or the store refused the transaction; nothing changed
    BadLineList badLines;
    int storedLines = 0;
};

// ImportLine: stores the record of `values` (lookup by number, edit or insert, the
// store rules, the store). False with the store's error text when it cannot be stored.
bool storeImportValues(ProductStore &store, const ImportValues &values, const ImportSettings &settings,
                       QString *error = nullptr);

// The import of the lines of a file already read: a backup of the store, then the
// header and every data line in one transaction.
ImportResult storeImportLines(ProductStore &store, const std::vector<TextLine> &lines, const ImportSettings &settings);

// Reads the file and imports it.
ImportResult importProductFile(ProductStore &store, const QString &path, const ImportSettings &settings);

} // namespace ztk
