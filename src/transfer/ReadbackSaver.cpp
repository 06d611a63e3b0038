#include "transfer/ReadbackSaver.h"

#include "products/ProductFields.h"
#include "products/ProductStore.h"
#include "products/Selection.h"
#include "products/StoreBackup.h"
#include "shared/Messages.h"
#include "transfer/ReadbackRow.h"

#include <QFileInfo>

namespace ztk {

namespace {

// The rows' dataset shows what the store rules show (the number message), but a store
// the table refuses is collected into the list of incorrect records instead.
class RowPrompter final : public Prompter {
public:
    explicit RowPrompter(Prompter &real) : m_real(real) {}
    bool quiet = false;

    void message(const QString &text, const QString &caption) override
    {
        if (!quiet)
            m_real.message(text, caption);
    }
    Answer ask(const QString &text, const QString &caption, Buttons buttons) override
    {
        return m_real.ask(text, caption, buttons);
    }
    QString openFileName(const QString &caption, const QString &filter) override
    {
        return m_real.openFileName(caption, filter);
    }
    QString saveFileName(const QString &caption, const QString &filter) override
    {
        return m_real.saveFileName(caption, filter);
    }

private:
    Prompter &m_real;
};

constexpr const char *NameFields[Product::NameLines] = {fld::Name, fld::Name2, fld::Name3, fld::Name4, fld::Name5};

// One row through the dataset, so that its store rules run as for every store.
bool storeRow(ProductDataset &rows, RowPrompter &prompter, const readback::RowFields &f)
{
    if (!rows.open(numberLookupSql(f.number)))
        return false;
    if (rows.recordCount() > 0)
        rows.edit();
    else
        rows.insert();
    rows.setValue(fld::Type, f.type);
    if (f.price)
        rows.setValue(fld::Price, f.price->toDouble());
    for (int line = 0; line < Product::NameLines; ++line)
        rows.setValue(NameFields[line], f.names[std::size_t(line)]);
    if (f.bestBefore)
        rows.setValue(fld::BestBefore, *f.bestBefore);
    rows.setValue(fld::N, qlonglong(f.number));
    if (f.sk5)
        rows.setValue(fld::SK5, qlonglong(*f.sk5));
    rows.setValue(fld::Prefix, f.prefix);
    prompter.quiet = true;
    const bool ok = rows.post();
    prompter.quiet = false;
    return ok;
}

} // namespace

QString incorrectRecordsText(const QList<qint64> &numbers)
{
    QStringList parts;
    for (const qint64 n : numbers)
        parts << QString::number(n);
    return msg::text(msg::IncorrectRecords) + parts.join(QLatin1Char(','));
}

ReadbackSaver::ReadbackSaver(ProductStore &store, const Clock &clock, Prompter &prompter, TypeRule typeRule,
                             const QLocale &locale)
    : m_store(store), m_clock(clock), m_prompter(prompter), m_typeRule(typeRule), m_locale(locale)
{
}

SaveResult ReadbackSaver::save(const std::vector<QStringList> &rows, const Progress &progress)
{
    SaveResult r;
    // The table as it was, one file to copy back, before many rows change.
    const BackupResult backup =
        backupStore(m_store.database(), QFileInfo(m_store.path()).absolutePath(), m_clock.now());
    if (!backup.ok) {
        r.error = msg::text(msg::BackupFailed).arg(backup.error);
        return r;
    }
    r.backupPath = backup.path;
    StoreTransaction transaction(m_store);
    if (!transaction.active()) {
        r.error = m_store.errorText();
        return r;
    }
    RowPrompter prompter(m_prompter);
    ProductDataset dataset(m_store, m_clock, prompter);
    dataset.setTypeRule(m_typeRule);
    const QDate today = m_clock.now().date();
    int stored = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (progress)
            progress(int(i));
        const QStringList &cells = rows[i];
        if (readback::skippedBySave(cells))
            continue;
        const readback::RowConversion row = readback::fieldsOf(cells, today, m_locale);
        if (!row.fields) {
            r.error = row.error;
            break;
        }
        StoreSavepoint savepoint(m_store);
        if (savepoint.active() && storeRow(dataset, prompter, *row.fields) && savepoint.release())
            ++stored;
        else
            r.incorrect.append(row.fields->number);
    }
    dataset.close();
    if (!transaction.commit()) {
        r.error = m_store.errorText();
        return r;
    }
    r.stored = stored;
    return r;
}

} // namespace ztk
