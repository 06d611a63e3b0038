#include "products/ProductImport.h"

#include "products/ProductDataset.h"
#include "products/ProductFields.h"
#include "products/ProductStore.h"
#include "products/Selection.h"
#include "products/StoreBackup.h"
#include "products/StoreRules.h"
#include "shared/Messages.h"

#include <QFile>

namespace ztk {

bool storeImportValues(ProductStore &store, const ImportValues &v, const ImportSettings &settings, QString *error)
{
    auto fail = [&] {
        if (error)
            *error = store.errorText();
        return false;
    };
    qint64 number = v.number.value_or(0); // a line without one is never given here
    std::vector<Product> found;
    ColumnSet has;
    if (!store.select(numberLookupSql(number), found, &has))
        return fail();
    const bool exists = !found.empty();
    Product p = exists ? found.front() : Product{};

    if (number > fld::MaxProductNumber) {
        if (settings.prompter)
            settings.prompter->message(msg::text(msg::NumberAbove5000));
        number = 0;
    }
    p.number = WholeField{number, {}};
    for (int k = 0; k < Product::NameLines; ++k)
        p.names[std::size_t(k)] = v.names[std::size_t(k)];
    // The barcode goes where the table has the column; an int always fits it, so the
    // design's fallback to the product number is never needed here.
    p.barcode = WholeField{v.barcode, {}};
    p.prefix = QString::number(v.prefix);
    p.price = PriceField{v.price, {}};
    p.bestBefore = v.bestBefore;
    p.type = v.type;

    const QDateTime now = settings.clock ? settings.clock->now() : QDateTime::currentDateTime();
    applyStoreStamps(p, has, settings.typeRule, now);
    // "N" 0: the count of the lookup's result set + 1, as for any store.
    if (has[std::size_t(ProductColumn::N)] && number == 0)
        p.number = WholeField{qint64(found.size()) + 1, {}};

    const bool ok = exists ? store.update(p, has) : store.insert(p, has);
    return ok || fail();
}

namespace {

// Whether the table takes a row at all: one of NULLs, added and rolled back. A store
// that refuses it (a read-only file, a trigger, a server's rights) would refuse every
// line, which is no list of bad lines.
bool tableTakesRows(ProductStore &store, QString &error)
{
    std::vector<Product> found;
    ColumnSet has;
    if (!store.select(numberLookupSql(0), found, &has)) {
        error = store.errorText();
        return false;
    }
    StoreSavepoint probe(store);
    Product empty;
    if (probe.active() && store.insert(empty, has))
        return true; // the probe's row goes with the savepoint
    error = msg::text(msg::TableNotWritable).arg(store.errorText());
    return false;
}

} // namespace

ImportResult importProductText(ProductStore &store, QIODevice &file, const ImportSettings &settings)
{
    ImportResult result;
    result.opened = true;
    ProductTextReader lines(file);
    TextLine header, line;
    const bool anyData = lines.next(header) && lines.next(line);
    if (lines.failed())
        return ImportResult{};
    if (!anyData)
        return result; // no data line: nothing changes
    const QDateTime now = settings.clock ? settings.clock->now() : QDateTime::currentDateTime();
    // The table as it was, one file to copy back, before thousands of rows change.
    const BackupResult backup = backupStore(store, now);
    if (!backup.ok) {
        result.storeError = msg::text(msg::BackupFailed).arg(backup.error);
        return result;
    }

    const ChangeGroup oneChange(store, true); // undone as one
    StoreTransaction transaction(store);
    if (!transaction.active()) {
        result.storeError = store.errorText();
        return result;
    }
    if (!tableTakesRows(store, result.storeError))
        return result;
    ImportLineReader reader(now.date(), settings.locale);
    reader.setHeader(header.text);
    const qint64 total = file.isSequential() ? 0 : file.size();
    do {
        if (line.countedLength() < MinImportLineLength)
            continue;
        const bool readable = reader.read(line.text) && !line.mixedEncoding && !line.tooLong;
        const ImportValues &values = reader.values();
        if (readable) {
            StoreSavepoint savepoint(store);
            if (savepoint.active() && storeImportValues(store, values, settings) && savepoint.release())
                ++result.storedLines;
            else
                result.badLines.append(*values.number); // the savepoint rolls the line back
        } else {
            result.badLines.append(values.number.value_or(0));
        }
        if (settings.progress)
            settings.progress(lines.bytesRead(), total);
    } while (lines.next(line));
    if (lines.failed())
        return ImportResult{}; // the transaction rolls back
    if (!transaction.commit()) {
        result.storeError = store.errorText();
        result.storedLines = 0;
    }
    return result;
}

ImportResult importProductFile(ProductStore &store, const QString &path, const ImportSettings &settings)
{
    QFile file(path);
    if (!openImportFile(file))
        return ImportResult{};
    return importProductText(store, file, settings);
}

} // namespace ztk
