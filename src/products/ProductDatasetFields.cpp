// ProductDataset: the fields of the current record and of any row, read and set.

#include "products/ProductDatasetRows.h"

#include "products/StoreRules.h"
#include "shared/DateText.h"
#include "shared/Messages.h"

#include <QLocale>

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

} // namespace ztk
