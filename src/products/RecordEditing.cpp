#include "products/RecordEditing.h"

#include "products/Selection.h"
#include "products/StoreBackup.h"
#include "shared/DateText.h"
#include "shared/Messages.h"

#include <QFileInfo>

namespace ztk {

namespace {

// The grid and the panel are redrawn once, when the outermost command ends.
class ControlsSuspended {
public:
    explicit ControlsSuspended(ProductDataset &d) : m_d(d) { m_d.disableControls(); }
    ~ControlsSuspended() { m_d.enableControls(); }
    ControlsSuspended(const ControlsSuspended &) = delete;
    ControlsSuspended &operator=(const ControlsSuspended &) = delete;

private:
    ProductDataset &m_d;
};

// A command's question about the current record: while it is asked and the command
// acts, no refresh changes the record, and the grid is redrawn once at the end.
class Confirmed {
public:
    // `informative`: what the question is about, under its text.
    Confirmed(ProductDataset &dataset, Prompter &prompter, const char *text, const char *caption,
              const QString &informative = QString())
        : m_hold(dataset)
    {
        m_yes = prompter.ask(Question{msg::text(text), msg::text(caption), Buttons::YesNo, informative, std::nullopt})
            == Answer::Yes;
        if (m_yes)
            m_suspended.emplace(dataset);
    }
    explicit operator bool() const { return m_yes; }

private:
    ProductDataset::RefreshHold m_hold;
    bool m_yes = false;
    std::optional<ControlsSuspended> m_suspended;
};

// "12 Молоко": the record a question is about.
QString recordNamed(const ProductDataset &dataset)
{
    const std::optional<Product> p = dataset.current();
    if (!p)
        return QString();
    return QStringLiteral("%1 %2").arg(p->number.value ? QString::number(*p->number.value) : QString(), p->names[0]).trimmed();
}

} // namespace

RecordEditing::RecordEditing(ProductDataset &dataset, Prompter &prompter, const QString &selectionSql)
    : m_dataset(dataset), m_prompter(prompter), m_selectionSql(selectionSql)
{
}

bool RecordEditing::storeAndAdvance()
{
    ControlsSuspended suspended(m_dataset);
    const int r = m_dataset.position();
    // A refused store keeps the record and its typed values; reopening would drop them.
    if (!m_dataset.checkBrowseMode())
        return false;
    m_dataset.next();
    m_dataset.open(m_selectionSql); // a failed reload still goes on to the positioning
    m_dataset.first();
    m_dataset.moveBy(r);
    return true;
}

bool RecordEditing::insertAfterCurrent()
{
    ControlsSuspended suspended(m_dataset);
    const ChangeGroup oneChange(m_dataset.store());
    const std::optional<Product> before = m_dataset.current();
    const qint64 k = before && before->number.value ? *before->number.value : 0;
    const int r = m_dataset.position();

    // Look for k + 1 over the whole table. When the lookup itself fails nobody can
    // tell whether the number is free, so the command stops instead of storing a
    // possible duplicate.
    if (!m_dataset.open(numberLookupSql(k + 1))) {
        m_dataset.open(m_selectionSql);
        m_dataset.first();
        m_dataset.moveBy(r - 1);
        return false;
    }
    const bool taken = m_dataset.recordCount() > 0;
    m_dataset.open(m_selectionSql);

    if (taken) {
        m_dataset.first();
        m_dataset.moveBy(r);
        // Replacing a record is not undone by a careless Enter.
        const Answer a = m_prompter.ask(Question{msg::text(msg::InsertTaken).arg(k + 1), msg::text(msg::InsertCaption),
                                                 Buttons::OkCancel, QString(), Answer::Cancel});
        if (a == Answer::Cancel) {
            m_dataset.open(wholeBaseSql());
            return false;
        }
        m_dataset.edit(); // the record after the current one, unchanged but for its stamps
    } else {
        m_dataset.insert();
        if (m_dataset.state() != DatasetState::Insert)
            return false;
        m_dataset.change([k](Product &p) {
            p.number = WholeField{k + 1, {}};
            p.type = typeText(ProductType::Weight);
        });
    }
    if (!m_dataset.post())
        return false; // shown; the new record stays with its values
    storeAndAdvance();
    m_dataset.first();
    m_dataset.moveBy(r);
    return true;
}

bool RecordEditing::deleteCurrent()
{
    const Confirmed confirmed(m_dataset, m_prompter, msg::DeleteOne, msg::DeleteOneCaption, recordNamed(m_dataset));
    if (!confirmed)
        return false;
    return m_dataset.deleteCurrent();
}

bool RecordEditing::deleteSelection()
{
    const Confirmed confirmed(m_dataset, m_prompter, msg::DeleteAll, msg::DeleteAllCaption);
    if (!confirmed)
        return false;
    // The table as it was, one file to copy back, before thousands of rows go.
    const BackupResult backup = backupStore(m_dataset.store(), m_dataset.clock().now());
    if (!backup.ok) {
        m_prompter.message(MessageKind::Error, msg::text(msg::BackupFailed).arg(backup.error));
        return false;
    }
    const int n = m_dataset.recordCount();
    const ChangeGroup oneChange(m_dataset.store(), true); // undone as one
    // One transaction, so that thousands of deletions do not wait for the disk each,
    // and a failure leaves every row where it was.
    StoreTransaction transaction(m_dataset.store());
    bool ok = true;
    for (int i = 0; i < n && ok; ++i)
        ok = m_dataset.deleteCurrent();
    if (transaction.active() && (!ok || !transaction.commit())) {
        const QString why = ok ? m_dataset.store().errorText() : QString();
        transaction.rollback();
        m_dataset.open(m_selectionSql);
        if (!why.isEmpty())
            m_prompter.message(MessageKind::Error, why);
        if (!backup.path.isEmpty())
            m_prompter.message(msg::text(msg::BackupMade).arg(backup.path));
        return false;
    }
    if (!ok && !backup.path.isEmpty())
        m_prompter.message(msg::text(msg::BackupMade).arg(backup.path));
    return ok;
}

bool RecordEditing::clearCurrent()
{
    const Confirmed confirmed(m_dataset, m_prompter, msg::ClearRecord, msg::ClearRecordCaption);
    if (!confirmed)
        return false;
    if (!m_dataset.edit())
        return false;
    if (!m_dataset.updateRecord()) // typed texts first, so the clearing wins
        return false;
    const QDateTime now = m_dataset.clock().now();
    m_dataset.change([&now](Product &p) {
        p.price = PriceField{Price(), {}};
        p.names.fill(QString());
        p.barcode = WholeField{};
        p.prefix.clear();
        p.bestBefore.clear();
        p.time = datetext::longTime(now.time());
        p.date = datetext::yearFirst(now.date());
    });
    return m_dataset.post();
}

bool RecordEditing::copyCurrent(CopyBuffer &buffer)
{
    const std::optional<Product> p = m_dataset.current();
    if (!p)
        return false;
    for (int i = 0; i < Product::NameLines; ++i)
        buffer.name[i] = p->names[std::size_t(i)];
    buffer.bestBefore = p->bestBefore;
    buffer.prefix = p->prefix;
    buffer.type = p->type;
    buffer.priceHundredths = float((p->price.value ? p->price.value->toDouble() : 0.0) * 100.0);
    buffer.full = true;
    return true;
}

bool RecordEditing::replaceCurrent(const CopyBuffer &buffer)
{
    if (!buffer.full)
        return false;
    ControlsSuspended suspended(m_dataset);
    if (!m_dataset.edit())
        return false;
    if (!m_dataset.updateRecord()) // typed texts first, so the copy wins
        return false;
    m_dataset.change([&buffer](Product &p) {
        for (int i = 0; i < Product::NameLines; ++i)
            p.names[std::size_t(i)] = buffer.name[i];
        p.bestBefore = buffer.bestBefore;
        p.prefix = buffer.prefix;
        p.type = buffer.type;
        // Four places are kept, so 1234 hundredths come back as exactly 12.34.
        p.price = priceFieldOf(double(buffer.priceHundredths) * 0.01);
    });
    return m_dataset.post();
}

std::optional<QString> storedBestBefore(const QString &shown, const QDate &today, QString *error)
{
    const auto d = datetext::parseDayFirst(shown, today);
    if (!d) {
        if (error)
            *error = msg::text(msg::NotADate).arg(shown);
        return std::nullopt;
    }
    return datetext::yearFirst(d->date());
}

QDate bestBeforeDialogDate(const QString &shownGoden, const QDateTime &now)
{
    const auto d = datetext::parseDayFirst(shownGoden, now.date());
    return d ? d->date() : now.date();
}

} // namespace ztk
