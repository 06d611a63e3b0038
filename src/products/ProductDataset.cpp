#include "products/ProductDataset.h"

#include "products/CalculatedFields.h"
#include "products/StoreRules.h"
#include "shared/DateText.h"
#include "shared/Messages.h"

#include <QLocale>

#include <array>
#include <cmath>
#include <cstring>

namespace ztk {

namespace {

// The locale's decimal separator first, a point as well.
std::optional<double> parseNumber(const QString &text)
{
    QLocale loc;
    loc.setNumberOptions(QLocale::OmitGroupSeparator);
    bool ok = false;
    const double v = loc.toDouble(text, &ok);
    if (ok)
        return v;
    const double c = QLocale::c().toDouble(text, &ok);
    if (ok)
        return c;
    return std::nullopt;
}

bool isNullish(const QVariant &v)
{
    return v.isNull() || (v.typeId() == QMetaType::QString && v.toString().isEmpty());
}

} // namespace

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

ProductDataset::ProductDataset(ProductStore &store, const Clock &clock, Prompter &prompter, QObject *parent)
    : QObject(parent), m_store(store), m_clock(clock), m_prompter(prompter), m_d(std::make_unique<Impl>())
{
}

ProductDataset::~ProductDataset()
{
    if (m_d->following)
        m_store.watchChanges(nullptr);
}

// --- signals

void ProductDataset::disableControls()
{
    ++m_disabled;
}

void ProductDataset::enableControls()
{
    if (m_disabled == 0)
        return;
    if (--m_disabled == 0) {
        Q_EMIT reset();
        m_d->hookStale = false;
        runPendingRefresh();
    }
}

void ProductDataset::holdRefresh(int step)
{
    m_d->refreshHeld += step;
    runPendingRefresh();
}

void ProductDataset::runPendingRefresh()
{
    if (m_d->refreshPending && m_d->refreshHeld == 0 && m_disabled == 0)
        refresh();
}

// --- result set

bool ProductDataset::open(const QString &sql)
{
    m_error.clear();
    m_d->rows.clear();
    m_d->cur = -1;
    m_state = DatasetState::Inactive;
    m_modified = false;
    if (m_disabled)
        m_d->hookStale = true;

    m_d->sql = sql;
    m_d->refreshPending = false;
    std::vector<Product> products;
    if (!m_store.select(sql, products, &m_d->present)) {
        m_error = m_store.errorText();
        if (!m_disabled)
            Q_EMIT reset();
        return false;
    }
    m_d->take(products, m_clock.now());
    m_state = DatasetState::Browse;
    m_d->cur = m_d->rows.empty() ? -1 : 0;
    if (!m_disabled)
        Q_EMIT reset();
    return true;
}

bool ProductDataset::refresh()
{
    if (m_state == DatasetState::Inactive)
        return false;
    // Never under a command that walks the rows or waits for an answer about one.
    if (m_disabled || m_d->refreshHeld) {
        m_d->refreshPending = true;
        return true;
    }
    if (m_state == DatasetState::Edit && !m_modified)
        updateRecord(); // what is typed and not yet in the record counts as an edit
    if (m_state == DatasetState::Insert || (m_state == DatasetState::Edit && m_modified)) {
        m_d->refreshPending = true;
        return true;
    }
    std::vector<Product> products;
    ColumnSet present;
    if (!m_store.select(m_d->sql, products, &present)) {
        m_error = m_store.errorText();
        return false;
    }
    const qint64 keep = rowId(m_d->cur);
    const int was = m_d->cur;
    m_d->refreshPending = false;
    m_d->present = present;
    m_d->take(products, m_clock.now());
    const int count = int(m_d->rows.size());
    m_d->cur = count == 0 ? -1 : std::clamp(was, 0, count - 1);
    for (int i = 0; i < count; ++i) {
        if (m_d->rows[std::size_t(i)]->product.rowid == keep) {
            m_d->cur = i;
            break;
        }
    }
    m_state = DatasetState::Browse;
    m_modified = false;
    Q_EMIT reset();
    Q_EMIT currentChanged();
    return true;
}

bool ProductDataset::followStoreChanges(std::function<void()> refreshed)
{
    m_d->following = m_store.watchChanges([this, refreshed = std::move(refreshed)] {
        refresh();
        if (refreshed)
            refreshed();
    });
    return m_d->following;
}

void ProductDataset::close()
{
    if (m_disabled)
        m_d->hookStale = true;
    m_d->rows.clear();
    m_d->cur = -1;
    m_state = DatasetState::Inactive;
    m_modified = false;
    if (!m_disabled)
        Q_EMIT reset();
}

bool ProductDataset::isOpen() const
{
    return m_state != DatasetState::Inactive;
}

int ProductDataset::recordCount() const
{
    return int(m_d->rows.size());
}

int ProductDataset::position() const
{
    if (m_state == DatasetState::Insert)
        return m_d->rows.empty() ? 1 : m_d->cur + 1;
    return m_d->cur + 1;
}

// --- moves

bool ProductDataset::first()
{
    if (!checkBrowseMode() || m_d->rows.empty())
        return false;
    if (m_d->cur != 0) {
        m_d->cur = 0;
        m_state = DatasetState::Browse;
        if (!m_disabled)
            Q_EMIT currentChanged();
    }
    return true;
}

bool ProductDataset::last()
{
    if (!checkBrowseMode() || m_d->rows.empty())
        return false;
    const int lastRow = int(m_d->rows.size()) - 1;
    if (m_d->cur != lastRow) {
        m_d->cur = lastRow;
        m_state = DatasetState::Browse;
        if (!m_disabled)
            Q_EMIT currentChanged();
    }
    return true;
}

bool ProductDataset::next()
{
    return moveBy(1) == 1;
}

bool ProductDataset::prior()
{
    return moveBy(-1) == -1;
}

int ProductDataset::moveBy(int n)
{
    if (!checkBrowseMode() || m_d->rows.empty())
        return 0;
    const int count = int(m_d->rows.size());
    const int target = std::clamp(m_d->cur + n, 0, count - 1);
    const int moved = target - m_d->cur;
    if (moved != 0) {
        m_d->cur = target;
        m_state = DatasetState::Browse;
        if (!m_disabled)
            Q_EMIT currentChanged();
    }
    return moved;
}

// --- editing

bool ProductDataset::edit()
{
    if (m_state == DatasetState::Edit || m_state == DatasetState::Insert)
        return true;
    if (m_state != DatasetState::Browse || m_d->cur < 0)
        return false;
    m_d->buffer = *m_d->rows[m_d->cur];
    m_state = DatasetState::Edit;
    m_modified = false;
    return true;
}

void ProductDataset::insert()
{
    if (m_state == DatasetState::Inactive || !checkBrowseMode())
        return;
    m_d->buffer = Row{};
    m_state = DatasetState::Insert;
    m_modified = false;
    if (m_d->cur < 0)
        m_d->cur = 0;
    if (!m_disabled)
        Q_EMIT currentChanged();
}

void ProductDataset::cancel()
{
    if (m_state != DatasetState::Edit && m_state != DatasetState::Insert)
        return;
    const bool changed = m_modified || m_state == DatasetState::Insert;
    if (m_state == DatasetState::Insert && m_d->rows.empty())
        m_d->cur = -1;
    m_state = DatasetState::Browse;
    m_modified = false;
    if (changed && !m_disabled)
        Q_EMIT currentChanged();
    runPendingRefresh();
}

bool ProductDataset::updateRecord()
{
    if (!m_updateRecord || m_d->inHook || m_d->hookStale)
        return true;
    if (m_state != DatasetState::Edit && m_state != DatasetState::Insert)
        return true;
    m_d->inHook = true;
    const bool ok = m_updateRecord();
    m_d->inHook = false;
    return ok;
}

bool ProductDataset::checkBrowseMode()
{
    if (m_state != DatasetState::Edit && m_state != DatasetState::Insert)
        return true;
    if (!updateRecord())
        return false;
    if (m_modified)
        return post();
    cancel();
    return true;
}

bool ProductDataset::post()
{
    if (m_state != DatasetState::Edit && m_state != DatasetState::Insert)
        return true;
    if (!updateRecord())
        return false;
    const Row typed = m_d->buffer;
    Row &r = m_d->buffer;
    const bool inserting = m_state == DatasetState::Insert;

    // The store rules: each step only where its column exists, so that a missing
    // column skips its step and the store goes on.
    const QDateTime now = m_clock.now();
    const ColumnSet has = m_d->present;
    Product &p = r.product;
    applyStoreRules(p, now, m_typeRule, has, recordCount(), m_prompter);

    const bool ok = inserting ? m_store.insert(p, has) : m_store.update(p, has);
    if (!ok && !inserting && m_store.changedElsewhere()) {
        // Not ours to overwrite: the other PC's values are what the table holds now.
        m_error = m_store.errorText();
        Row now = *m_d->rows[std::size_t(m_d->cur)];
        m_store.reload(now.product);
        now.calculated = false;
        *m_d->rows[std::size_t(m_d->cur)] = now;
        m_state = DatasetState::Browse;
        m_modified = false;
        m_prompter.message(MessageKind::Warning, m_error);
        if (!m_disabled) {
            Q_EMIT rowChanged(m_d->cur);
            Q_EMIT currentChanged();
        }
        return false;
    }
    if (!ok) {
        m_error = m_store.errorText();
        m_d->buffer = typed;
        m_prompter.message(MessageKind::Error, m_error);
        if (!m_disabled)
            Q_EMIT currentChanged();
        return false;
    }

    auto stored = std::make_unique<Row>(r);
    // Read the record back as the store keeps it (NUMERIC may turn 12.0 into 12).
    m_store.reload(stored->product);
    stored->calc = calculateFields(stored->product, now);
    stored->calculated = true;

    int row = m_d->cur;
    if (inserting) {
        row = std::clamp(m_d->cur, 0, int(m_d->rows.size()));
        m_d->rows.insert(m_d->rows.begin() + row, std::move(stored));
    } else {
        *m_d->rows[row] = *stored;
    }
    m_d->cur = row;
    // Back into edit state, nothing modified.
    m_d->buffer = *m_d->rows[row];
    m_state = DatasetState::Edit;
    m_modified = false;

    Q_EMIT this->stored();
    if (!m_disabled) {
        if (inserting)
            Q_EMIT reset();
        else
            Q_EMIT rowChanged(row);
        Q_EMIT currentChanged();
    }
    runPendingRefresh();
    return true;
}

bool ProductDataset::deleteCurrent()
{
    if (m_state == DatasetState::Insert) {
        cancel();
        return true;
    }
    if (m_state == DatasetState::Edit) {
        m_state = DatasetState::Browse;
        m_modified = false;
    }
    if (m_state != DatasetState::Browse || m_d->cur < 0)
        return false;

    if (!m_store.remove(m_d->rows[std::size_t(m_d->cur)]->product.rowid)) {
        m_error = m_store.errorText();
        m_prompter.message(MessageKind::Error, m_error);
        return false;
    }
    m_d->rows.erase(m_d->rows.begin() + m_d->cur);
    if (m_d->cur >= int(m_d->rows.size()))
        m_d->cur = int(m_d->rows.size()) - 1;
    if (!m_disabled)
        Q_EMIT reset();
    return true;
}

// --- fields

QVariant ProductDataset::value(const char *field) const
{
    if (isCalculatedField(field))
        return calculated(field);
    const auto c = columnOf(field);
    const Row *r = m_d->current(m_state);
    if (!c || !r)
        return QVariant();
    return r->product.value(*c);
}

QString ProductDataset::text(const char *field) const
{
    if (isCalculatedField(field))
        return calculated(field);
    const auto c = columnOf(field);
    const Row *r = m_d->current(m_state);
    if (c && r && *c == ProductColumn::Price && r->product.price.value)
        return r->product.price.value->text();
    const QVariant v = value(field);
    return v.isNull() ? QString() : v.toString();
}

qint64 ProductDataset::integer(const char *field, bool *ok) const
{
    const QVariant v = value(field);
    bool good = true;
    qint64 n = 0;
    if (!isNullish(v)) {
        if (v.typeId() == QMetaType::QString)
            n = v.toString().trimmed().toLongLong(&good);
        else if (v.typeId() == QMetaType::Double && std::isfinite(v.toDouble()) && std::fabs(v.toDouble()) < 9.2e18)
            n = qint64(std::llround(v.toDouble()));
        else if (v.typeId() == QMetaType::Double)
            good = false; // beyond 64 bits
        else
            n = v.toLongLong(&good);
    }
    if (!good)
        n = 0;
    if (ok)
        *ok = good;
    return n;
}

double ProductDataset::number(const char *field, bool *ok) const
{
    const QVariant v = value(field);
    bool good = true;
    double d = 0;
    if (!isNullish(v)) {
        if (v.typeId() == QMetaType::QString) {
            const auto p = parseNumber(v.toString().trimmed());
            good = p.has_value();
            d = p.value_or(0);
        } else {
            d = v.toDouble(&good);
        }
    }
    if (!good)
        d = 0;
    if (ok)
        *ok = good;
    return d;
}

void ProductDataset::setValue(const char *field, const QVariant &v)
{
    const auto c = columnOf(field);
    if (!c || !ensureEditing())
        return;
    Product &p = m_d->buffer.product;
    const QVariant before = p.value(*c);
    p.setValue(*c, v);
    if (*c == ProductColumn::N)
        applyNumberLimit(p, m_prompter);
    const QVariant after = p.value(*c);
    const bool same = (before.isNull() && after.isNull()) || (!before.isNull() && !after.isNull() && before == after);
    if (!same)
        m_modified = true;
}

bool ProductDataset::ensureEditing()
{
    if (m_state == DatasetState::Browse) {
        // Typing into an empty result set starts a new record.
        if (m_d->cur < 0)
            insert();
        else
            edit();
    }
    return m_state == DatasetState::Edit || m_state == DatasetState::Insert;
}

std::optional<Product> ProductDataset::current() const
{
    const Row *r = m_d->current(m_state);
    if (!r)
        return std::nullopt;
    return r->product;
}

void ProductDataset::change(const std::function<void(Product &)> &edit)
{
    if (!ensureEditing())
        return;
    Product wanted = current().value_or(Product{});
    edit(wanted);
    for (int c = 0; c < ProductColumnCount; ++c) {
        const ProductColumn column = ProductColumn(c);
        const std::optional<Product> now = current();
        if (!now || wanted.value(column) != now->value(column) || wanted.value(column).isNull() != now->value(column).isNull())
            setValue(columnInfo(column).name, wanted.value(column));
    }
}

bool ProductDataset::setText(const char *field, const QString &t)
{
    const auto c = columnOf(field);
    if (!c) {
        m_error = QStringLiteral("Field '%1' cannot be modified").arg(QString::fromUtf8(field));
        return false;
    }
    const QString trimmed = t.trimmed();
    switch (columnInfo(*c).kind) {
    case ColumnKind::Whole: {
        if (trimmed.isEmpty()) {
            setValue(field, QVariant());
            return true;
        }
        bool ok = false;
        const qlonglong n = trimmed.toLongLong(&ok);
        if (!ok) {
            m_error = msg::text(msg::NotAnInteger).arg(t);
            return false;
        }
        setValue(field, n);
        return true;
    }
    case ColumnKind::Decimal: {
        if (trimmed.isEmpty()) {
            setValue(field, QVariant());
            return true;
        }
        const auto d = parseNumber(trimmed);
        if (!d) {
            m_error = msg::text(msg::NotAFloat).arg(t);
            return false;
        }
        setValue(field, *d);
        return true;
    }
    case ColumnKind::Text:
        setValue(field, t);
        return true;
    }
    return false;
}

QString ProductDataset::calculated(const char *field) const
{
    const Row *r = m_d->current(m_state);
    if (!r)
        return QString();
    if (r == &m_d->buffer)
        return calculateFields(r->product, m_clock.now()).field(field);
    return m_d->calculatedRow(m_d->cur).calc.field(field);
}

QVariant ProductDataset::rowValue(int row, const char *field) const
{
    if (row < 0 || row >= int(m_d->rows.size()))
        return QVariant();
    if (isCalculatedField(field))
        return rowCalculated(row, field);
    const auto c = columnOf(field);
    return c ? m_d->rows[std::size_t(row)]->product.value(*c) : QVariant();
}

QString ProductDataset::rowCalculated(int row, const char *field) const
{
    if (row < 0 || row >= int(m_d->rows.size()))
        return QString();
    return m_d->calculatedRow(row).calc.field(field);
}

const Product *ProductDataset::row(int row) const
{
    if (row < 0 || row >= int(m_d->rows.size()))
        return nullptr;
    return &m_d->rows[std::size_t(row)]->product;
}

qint64 ProductDataset::rowId(int row) const
{
    const Product *p = this->row(row);
    return p ? p->rowid : -1;
}



std::vector<Product> selectionRows(const ProductDataset &dataset)
{
    std::vector<Product> rows;
    const int count = dataset.isOpen() ? dataset.recordCount() : 0;
    rows.reserve(std::size_t(std::max(count, 0)));
    for (int i = 0; i < count; ++i)
        rows.push_back(*dataset.row(i));
    return rows;
}

} // namespace ztk
