#include "products/ProductDataset.h"

#include "shared/DateText.h"
#include "shared/Files.h"
#include "shared/Messages.h"

#include <QLocale>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <array>
#include <cmath>
#include <cstring>

namespace ztk {

namespace {

enum class Kind { Integer, Number, Text };

struct Column {
    const char *name;
    Kind kind;
};

// The stored columns in the order of the schema.
constexpr std::array<Column, 14> kColumns{{
    {fld::N, Kind::Integer},
    {fld::CorrStamp, Kind::Text},
    {fld::Name, Kind::Text},
    {fld::SK5, Kind::Integer},
    {fld::Prefix, Kind::Text},
    {fld::Price, Kind::Number},
    {fld::BestBefore, Kind::Text},
    {fld::Name2, Kind::Text},
    {fld::Name3, Kind::Text},
    {fld::Name4, Kind::Text},
    {fld::Name5, Kind::Text},
    {fld::Type, Kind::Text},
    {fld::Date, Kind::Text},
    {fld::Time, Kind::Text},
}};
constexpr int kColumnCount = int(kColumns.size());

constexpr const char kRowidAlias[] = "ztk_rowid";

void computeCalculated(const std::array<QVariant, kColumns.size()> &values, const QDateTime &now,
                       QString &goden, QString &dcorr, QString &typeCal);

int columnIndex(const char *field)
{
    for (int i = 0; i < kColumnCount; ++i)
        if (std::strcmp(kColumns[i].name, field) == 0)
            return i;
    return -1;
}

bool isCalculated(const char *field)
{
    return std::strcmp(field, fld::Goden) == 0 || std::strcmp(field, fld::Dcorr) == 0
        || std::strcmp(field, fld::TypeCal) == 0;
}

QString name(int col) { return QString::fromUtf8(kColumns[col].name); }

// A double whose nearest whole number is a 64-bit integer.
bool fitsWhole(double v)
{
    return std::isfinite(v) && std::fabs(v) < 9.2e18;
}

double round4(double v)
{
    if (!std::isfinite(v) || std::fabs(v) > 1e14)
        return v;
    return double(std::llround(v * 10000.0)) / 10000.0;
}

QLocale numberLocale()
{
    QLocale loc;
    loc.setNumberOptions(QLocale::OmitGroupSeparator);
    return loc;
}

// The locale's decimal separator first, a point as well.
std::optional<double> parseNumber(const QString &text)
{
    bool ok = false;
    const double v = numberLocale().toDouble(text, &ok);
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

// A value as the column keeps it: whole numbers as qlonglong, prices as doubles
// rounded to four places, texts as QString; NULL (and an empty text) as null.
QVariant normalized(Kind kind, const QVariant &v)
{
    if (isNullish(v))
        return QVariant();
    switch (kind) {
    case Kind::Integer: {
        if (v.typeId() == QMetaType::QString) {
            bool ok = false;
            const qlonglong n = v.toString().trimmed().toLongLong(&ok);
            return ok ? QVariant(n) : v;
        }
        if (v.typeId() == QMetaType::Double) // kept as stored when no whole number holds it
            return fitsWhole(v.toDouble()) ? QVariant(qlonglong(std::llround(v.toDouble()))) : v;
        bool ok = false;
        const qlonglong n = v.toLongLong(&ok);
        return ok ? QVariant(n) : v;
    }
    case Kind::Number: {
        if (v.typeId() == QMetaType::QString) {
            const auto d = parseNumber(v.toString().trimmed());
            return d ? QVariant(round4(*d)) : v;
        }
        bool ok = false;
        const double d = v.toDouble(&ok);
        return ok ? QVariant(round4(d)) : v;
    }
    case Kind::Text:
        return QVariant(v.toString());
    }
    return v;
}

// The store's error text for a failed statement, or why there was no statement.
QString storeError(const QSqlDatabase &db, const QSqlQuery &q, const ProductStore &store)
{
    if (db.isOpen())
        return q.lastError().text();
    return store.errorText().isEmpty() ? msg::tr(msg::StoreNotOpen) : store.errorText();
}

QString withRowid(const QString &sql)
{
    static const QRegularExpression head(QStringLiteral("^\\s*select\\s+\\*\\s+from\\b"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = head.match(sql);
    if (!m.hasMatch())
        return sql;
    return QStringLiteral("select rowid as %1, * from").arg(QLatin1String(kRowidAlias))
        + sql.mid(m.capturedEnd());
}

} // namespace

struct ProductDataset::Row {
    qint64 rowid = -1;
    std::array<QVariant, kColumnCount> values;
    // The calculated fields, worked out when first asked for (the grid asks for
    // the rows it shows), as of the moment the row was fetched.
    bool calculated = false;
    QString goden, dcorr, typeCal;
};

struct ProductDataset::Impl {
    std::vector<std::unique_ptr<Row>> rows;
    int cur = -1;
    Row buffer; // the record being edited or inserted
    std::array<bool, kColumnCount> present{}; // the columns the table has
    bool inHook = false;
    bool hookStale = false; // reopened while the controls were disabled
    QDateTime fetchedAt; // "now" of the rows fetched by the last open

    const Row &calculatedRow(int row)
    {
        Row &r = *rows[row];
        if (!r.calculated) {
            computeCalculated(r.values, fetchedAt, r.goden, r.dcorr, r.typeCal);
            r.calculated = true;
        }
        return r;
    }

    const Row *current(DatasetState state) const
    {
        if (state == DatasetState::Edit || state == DatasetState::Insert)
            return &buffer;
        if (cur >= 0 && cur < int(rows.size()))
            return rows[cur].get();
        return nullptr;
    }
};

ProductDataset::ProductDataset(ProductStore &store, const Clock &clock, Prompter &prompter, QObject *parent)
    : QObject(parent), m_store(store), m_clock(clock), m_prompter(prompter), m_d(std::make_unique<Impl>())
{
    m_d->present.fill(true);
}

ProductDataset::~ProductDataset() = default;

// --- calculated fields

namespace {

void computeCalculated(const std::array<QVariant, kColumnCount> &values, const QDateTime &now,
                           QString &goden, QString &dcorr, QString &typeCal)
{
    const QDate today = now.date();
    const QString bestBefore = values[columnIndex(fld::BestBefore)].toString();
    const QString stamp = values[columnIndex(fld::CorrStamp)].toString();
    const auto bb = datetext::parseYearFirst(bestBefore, today);
    // An empty correction stamp reads as day zero.
    const std::optional<QDateTime> corr = stamp.trimmed().isEmpty()
        ? std::optional<QDateTime>(QDateTime(QDate(1899, 12, 30), QTime(0, 0)))
        : datetext::parseStoreStamp(stamp, today);
    if (bb && corr) {
        goden = datetext::dayFirstWithTime(*bb);
        dcorr = datetext::dayFirstWithTime(*corr);
    } else {
        goden.clear();
        dcorr = datetext::dayFirstWithTime(now);
    }
    const QVariant type = values[columnIndex(fld::Type)];
    typeCal = msg::tr(!type.isNull() && type.toString() == QLatin1String("0") ? msg::TypeWeight : msg::TypePiece);
}

} // namespace

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
    }
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

    QSqlDatabase db = m_store.database();
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!db.isOpen() || !q.exec(withRowid(sql))) {
        m_error = storeError(db, q, m_store);
        if (!m_disabled)
            Q_EMIT reset();
        return false;
    }
    const QSqlRecord rec = q.record();
    const int rowidAt = rec.indexOf(QLatin1String(kRowidAlias));
    std::array<int, kColumnCount> at{};
    for (int c = 0; c < kColumnCount; ++c) {
        at[c] = rec.indexOf(name(c));
        m_d->present[c] = at[c] >= 0;
    }
    m_d->fetchedAt = m_clock.now();
    while (q.next()) {
        auto row = std::make_unique<Row>();
        row->rowid = rowidAt >= 0 ? q.value(rowidAt).toLongLong() : -1;
        for (int c = 0; c < kColumnCount; ++c)
            if (at[c] >= 0)
                row->values[c] = normalized(kColumns[c].kind, q.value(at[c]));
        m_d->rows.push_back(std::move(row));
    }
    // A walk that ends in an error (a damaged page) is not the end of the rows:
    // half a table must never pass for the whole of it.
    if (q.lastError().type() != QSqlError::NoError) {
        m_error = q.lastError().text();
        m_d->rows.clear();
        if (!m_disabled)
            Q_EMIT reset();
        return false;
    }
    m_state = DatasetState::Browse;
    m_d->cur = m_d->rows.empty() ? -1 : 0;
    if (!m_disabled)
        Q_EMIT reset();
    return true;
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
    auto has = [this](const char *f) { return m_d->present[columnIndex(f)]; };
    auto set = [&r](const char *f, const QVariant &v) { r.values[columnIndex(f)] = v; };
    if (has(fld::Date))
        set(fld::Date, datetext::yearFirst(now.date()));
    if (has(fld::Time))
        set(fld::Time, datetext::longTime(now.time()));
    if (has(fld::Type)) {
        if (m_typeRule == TypeRule::Weight)
            set(fld::Type, QStringLiteral("0"));
        else if (m_typeRule == TypeRule::Piece)
            set(fld::Type, QStringLiteral("1"));
    }
    if (has(fld::N) && integer(fld::N) == 0)
        setValue(fld::N, qlonglong(recordCount() + 1));
    if (has(fld::CorrStamp))
        set(fld::CorrStamp, datetext::storeStamp(now));

    // Write with bound values only.
    QSqlDatabase db = m_store.database();
    QSqlQuery q(db);
    QStringList cols;
    QList<QVariant> vals;
    for (int c = 0; c < kColumnCount; ++c) {
        if (!m_d->present[c])
            continue;
        cols << QLatin1Char('"') + name(c) + QLatin1Char('"');
        QVariant v = r.values[c];
        if (v.isNull())
            v = QVariant();
        vals << v;
    }
    QString sql;
    const QString table = QLatin1String(files::TableName);
    if (inserting) {
        QStringList marks;
        for (qsizetype i = 0; i < cols.size(); ++i)
            marks << QStringLiteral("?");
        sql = QStringLiteral("insert into %1 (%2) values (%3)").arg(table, cols.join(u','), marks.join(u','));
    } else {
        QStringList sets;
        for (const QString &c : cols)
            sets << c + QStringLiteral("=?");
        sql = QStringLiteral("update %1 set %2 where rowid=?").arg(table, sets.join(u','));
    }
    bool ok = db.isOpen() && q.prepare(sql);
    if (ok) {
        for (const QVariant &v : vals)
            q.addBindValue(v);
        if (!inserting)
            q.addBindValue(r.rowid);
        ok = q.exec();
    }
    if (ok && !inserting && q.numRowsAffected() == 0) {
        ok = false;
        m_error = msg::tr(msg::RowNotFound);
    } else if (!ok) {
        m_error = storeError(db, q, m_store);
    }
    if (!ok) {
        m_d->buffer = typed;
        m_prompter.message(m_error);
        if (!m_disabled)
            Q_EMIT currentChanged();
        return false;
    }

    qint64 rowid = inserting ? q.lastInsertId().toLongLong() : r.rowid;
    q = QSqlQuery();
    auto stored = std::make_unique<Row>(r);
    stored->rowid = rowid;
    // Read the record back as the store keeps it (NUMERIC may turn 12.0 into 12).
    QSqlQuery back(db);
    back.setForwardOnly(true);
    if (back.prepare(QStringLiteral("select rowid as %1, * from %2 where rowid=?").arg(QLatin1String(kRowidAlias), table))) {
        back.addBindValue(rowid);
        if (back.exec() && back.next()) {
            const QSqlRecord rec = back.record();
            for (int c = 0; c < kColumnCount; ++c) {
                const int at = rec.indexOf(name(c));
                if (at >= 0)
                    stored->values[c] = normalized(kColumns[c].kind, back.value(at));
            }
        }
    }
    computeCalculated(stored->values, now, stored->goden, stored->dcorr, stored->typeCal);
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

    QSqlDatabase db = m_store.database();
    QSqlQuery q(db);
    bool ok = db.isOpen()
        && q.prepare(QStringLiteral("delete from %1 where rowid=?").arg(QLatin1String(files::TableName)));
    if (ok) {
        q.addBindValue(m_d->rows[m_d->cur]->rowid);
        ok = q.exec();
    }
    if (!ok) {
        m_error = storeError(db, q, m_store);
        m_prompter.message(m_error);
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
    if (isCalculated(field))
        return calculated(field);
    const int c = columnIndex(field);
    const Row *r = m_d->current(m_state);
    if (c < 0 || !r)
        return QVariant();
    return r->values[c];
}

QString ProductDataset::text(const char *field) const
{
    if (isCalculated(field))
        return calculated(field);
    const int c = columnIndex(field);
    const QVariant v = value(field);
    if (v.isNull())
        return QString();
    if (c >= 0 && kColumns[c].kind == Kind::Number && v.typeId() == QMetaType::Double) {
        // The locale's separator, up to four places, no trailing zeros.
        QString s = numberLocale().toString(v.toDouble(), 'f', 4);
        const QString dec = numberLocale().decimalPoint();
        if (s.contains(dec)) {
            while (s.endsWith(QLatin1Char('0')))
                s.chop(1);
            if (s.endsWith(dec))
                s.chop(dec.size());
        }
        return s;
    }
    return v.toString();
}

qint64 ProductDataset::integer(const char *field, bool *ok) const
{
    const QVariant v = value(field);
    bool good = true;
    qint64 n = 0;
    if (!isNullish(v)) {
        if (v.typeId() == QMetaType::QString)
            n = v.toString().trimmed().toLongLong(&good);
        else if (v.typeId() == QMetaType::Double && fitsWhole(v.toDouble()))
            n = qint64(std::llround(v.toDouble()));
        else if (v.typeId() == QMetaType::Double)
            good = false;
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
    const int c = columnIndex(field);
    if (c < 0)
        return;
    if (m_state == DatasetState::Browse) {
        // Typing into an empty result set starts a new record.
        if (m_d->cur < 0)
            insert();
        else
            edit();
    }
    if (m_state != DatasetState::Edit && m_state != DatasetState::Insert)
        return;
    QVariant nv = normalized(kColumns[c].kind, v);
    if (c == columnIndex(fld::N) && nv.typeId() == QMetaType::LongLong && nv.toLongLong() > fld::MaxProductNumber) {
        m_prompter.message(msg::tr(msg::NumberAbove5000));
        nv = QVariant(qlonglong(0));
    }
    QVariant &slot = m_d->buffer.values[c];
    const bool same = (slot.isNull() && nv.isNull()) || (!slot.isNull() && !nv.isNull() && slot == nv);
    slot = nv;
    if (!same)
        m_modified = true;
}

bool ProductDataset::setText(const char *field, const QString &t)
{
    const int c = columnIndex(field);
    if (c < 0) {
        m_error = QStringLiteral("Field '%1' cannot be modified").arg(QString::fromUtf8(field));
        return false;
    }
    const QString trimmed = t.trimmed();
    switch (kColumns[c].kind) {
    case Kind::Integer: {
        if (trimmed.isEmpty()) {
            setValue(field, QVariant());
            return true;
        }
        bool ok = false;
        const qlonglong n = trimmed.toLongLong(&ok);
        if (!ok) {
            m_error = msg::tr(msg::NotAnInteger).arg(t);
            return false;
        }
        setValue(field, n);
        return true;
    }
    case Kind::Number: {
        if (trimmed.isEmpty()) {
            setValue(field, QVariant());
            return true;
        }
        const auto d = parseNumber(trimmed);
        if (!d) {
            m_error = msg::tr(msg::NotAFloat).arg(t);
            return false;
        }
        setValue(field, *d);
        return true;
    }
    case Kind::Text:
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
    QString goden, dcorr, typeCal;
    if (r == &m_d->buffer) {
        computeCalculated(r->values, m_clock.now(), goden, dcorr, typeCal);
    } else {
        const Row &c = m_d->calculatedRow(m_d->cur);
        goden = c.goden, dcorr = c.dcorr, typeCal = c.typeCal;
    }
    if (std::strcmp(field, fld::Goden) == 0)
        return goden;
    if (std::strcmp(field, fld::Dcorr) == 0)
        return dcorr;
    if (std::strcmp(field, fld::TypeCal) == 0)
        return typeCal;
    return QString();
}

QVariant ProductDataset::rowValue(int row, const char *field) const
{
    if (row < 0 || row >= int(m_d->rows.size()))
        return QVariant();
    if (isCalculated(field))
        return rowCalculated(row, field);
    const int c = columnIndex(field);
    return c < 0 ? QVariant() : m_d->rows[row]->values[c];
}

QString ProductDataset::rowCalculated(int row, const char *field) const
{
    if (row < 0 || row >= int(m_d->rows.size()))
        return QString();
    const Row &r = m_d->calculatedRow(row);
    if (std::strcmp(field, fld::Goden) == 0)
        return r.goden;
    if (std::strcmp(field, fld::Dcorr) == 0)
        return r.dcorr;
    if (std::strcmp(field, fld::TypeCal) == 0)
        return r.typeCal;
    return QString();
}

qint64 ProductDataset::rowId(int row) const
{
    if (row < 0 || row >= int(m_d->rows.size()))
        return -1;
    return m_d->rows[row]->rowid;
}

} // namespace ztk
