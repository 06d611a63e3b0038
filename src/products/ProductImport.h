#pragma once
// The import of a ProductTextFile into "lm_t1": each data line's record replaces the
// record of its product number or is added, with the store rules applied. The whole
// import is one transaction and every line its own savepoint: a line that fails to
// store is rolled back alone and listed; an interrupted import leaves the table as
// it was. The file is read a line at a time, so its size does not matter.

#include "products/ImportLine.h"
#include "products/ProductTextFile.h"
#include "shared/Seams.h"

#include <QIODevice>
#include <QLocale>
#include <QString>

#include <functional>

namespace ztk {

class ProductStore;
enum class TypeRule;

struct ImportSettings {
    const Clock *clock = nullptr;
    Prompter *prompter = nullptr;  // the number message of the store rules
    TypeRule typeRule{};           // the type the checked selection forces
    QLocale locale;
    // After every data line: bytes of the file read, bytes in all (0 when unknown).
    std::function<void(qint64 done, qint64 total)> progress;
};

struct ImportResult {
    bool opened = false;  // false: "Файл не открывается", nothing changed
    // Not empty: no backup, the table cannot be written, or the store refused the
    // transaction; nothing changed.
    QString storeError;
    BadLineList badLines;
    int storedLines = 0;
};

// ImportLine: stores the record of `values` (lookup by number, edit or insert, the
// store rules, the store). False with the store's error text when it cannot be stored.
bool storeImportValues(ProductStore &store, const ImportValues &values, const ImportSettings &settings,
                       QString *error = nullptr);

// The import of a file open for reading: a backup of the store, then the header and
// every data line in one transaction, after a check that the table takes rows at all.
// A file that fails while being read is "not opened" and the transaction rolled back.
ImportResult importProductText(ProductStore &store, QIODevice &file, const ImportSettings &settings);

// Opens the file and imports it.
ImportResult importProductFile(ProductStore &store, const QString &path, const ImportSettings &settings);

} // namespace ztk
