#include "transfer/ReadbackSaver.h"

#include "products/ProductStore.h"
#include "products/Selection.h"
#include "products/StoreBackup.h"
#include "products/StoreRules.h"
#include "shared/Messages.h"
#include "transfer/ReadbackRow.h"

#include <QFileInfo>

namespace ztk {

namespace {

constexpr ProductColumn NameColumns[Product::NameLines] = {ProductColumn::Name, ProductColumn::Name2, ProductColumn::Name3,
                                                         ProductColumn::Name4, ProductColumn::Name5};

// One row as the dataset stores a record: looked up by its number in the whole
// table, its fields set, the store rules applied over the lookup's result set.
bool storeRow(ProductStore &store, Prompter &prompter, const readback::RowFields &f, const QDateTime &now,
              TypeRule typeRule)
{
    std::vector<Product> found;
    ColumnSet present;
    if (!store.select(numberLookupSql(f.number), found, &present))
        return false;
    const bool existing = !found.empty();
    Product p = existing ? found.front() : Product{};
    p.setValue(ProductColumn::Type, f.type);
    if (f.price)
        p.setValue(ProductColumn::Price, f.price->toDouble());
    for (int line = 0; line < Product::NameLines; ++line)
        p.setValue(NameColumns[line], f.names[std::size_t(line)]);
    if (f.bestBefore)
        p.setValue(ProductColumn::BestBefore, *f.bestBefore);
    p.setValue(ProductColumn::N, qlonglong(f.number));
    applyNumberLimit(p, prompter);
    if (f.sk5)
        p.setValue(ProductColumn::SK5, qlonglong(*f.sk5));
    p.setValue(ProductColumn::Prefix, f.prefix);
    applyStoreRules(p, now, typeRule, present, int(found.size()), prompter);
    return existing ? store.update(p, present) : store.insert(p, present);
}

} // namespace

QString incorrectRecordsText(const QList<qint64> &numbers)
{
    QStringList parts;
    for (const qint64 n : numbers)
        parts << QString::number(n);
    return msg::text(msg::BadLines) + parts.join(QLatin1Char(','));
}

ReadbackSaver::ReadbackSaver(ProductStore &store, const Clock &clock, Prompter &prompter, TypeRule typeRule,
                             const QLocale &locale)
    : m_store(store), m_clock(clock), m_prompter(prompter), m_typeRule(typeRule), m_locale(locale)
{
}

SaveResult ReadbackSaver::save(const std::vector<readback::RowFields> &rows, const Progress &progress)
{
    SaveResult r;
    // The table as it was, one file to copy back, before many rows change.
    const BackupResult backup =
        backupStore(m_store, m_clock.now());
    if (!backup.ok) {
        r.error = msg::text(msg::BackupFailed).arg(backup.error);
        return r;
    }
    r.backupPath = backup.path;
    const ChangeGroup oneChange(m_store, true); // undone as one
    StoreTransaction transaction(m_store);
    if (!transaction.active()) {
        r.error = m_store.errorText();
        return r;
    }
    int stored = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (progress)
            progress(int(i));
        StoreSavepoint savepoint(m_store);
        if (savepoint.active() && storeRow(m_store, m_prompter, rows[i], m_clock.now(), m_typeRule) && savepoint.release())
            ++stored;
        else
            r.incorrect.append(rows[i].number);
    }
    if (!transaction.commit()) {
        r.error = m_store.errorText();
        return r;
    }
    r.stored = stored;
    return r;
}

} // namespace ztk
