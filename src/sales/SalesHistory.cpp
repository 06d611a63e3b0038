#include "sales/SalesHistory.h"

#include "products/ProductStore.h"
#include "shared/Messages.h"
#include "totals/TotalsRows.h"

#include <QRegularExpression>

#include <algorithm>
#include <map>

namespace ztk {

namespace {

const QString ReceptionTable = QStringLiteral("ztk_reception");
const QString LineTable = QStringLiteral("ztk_reception_line");
const QString ClearTable = QStringLiteral("ztk_totals_clear");

constexpr int LinesPerInsert = 200; // rows of one insert statement
constexpr int LineColumns = 11;

QString momentText(const QDateTime &t)
{
    return t.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
}

QString dayText(const QDate &d)
{
    return d.toString(QStringLiteral("yyyy-MM-dd"));
}

// "?,?,?" for `n` values.
QString placeholders(qsizetype n)
{
    QStringList marks;
    for (qsizetype i = 0; i < n; ++i)
        marks << QStringLiteral("?");
    return marks.join(QLatin1Char(','));
}

bool anySold(const SoldCounters &s)
{
    return s.amount != 0 || s.money != 0 || s.weighings != 0;
}

} // namespace

SoldCounters countedSale(const std::optional<TotalsCounters> &previous, const TotalsCounters &now, bool clearedSince)
{
    const SoldCounters whole{now.amount, now.money, now.weighings};
    if (!previous || clearedSince)
        return whole;
    const TotalsCounters &p = *previous;
    if (now.amount < p.amount || now.money < p.money || now.weighings < p.weighings)
        return whole;
    return whole - SoldCounters{p.amount, p.money, p.weighings};
}

std::vector<std::pair<int, TotalsCounters>> listedProducts(const TotalsImage &image)
{
    std::vector<std::pair<int, TotalsCounters>> out;
    for (int n = TotalsImage::FirstProduct; n <= TotalsImage::LastProduct; ++n) {
        const TotalsCounters c = image.counters(n);
        const auto weighings = std::int32_t(c.weighings);
        if (weighings >= 1 && weighings <= MaxWeighings)
            out.emplace_back(n, c);
    }
    return out;
}

std::optional<KeptName> keptNameOf(const QString &fileName)
{
    static const QRegularExpression name(
        QStringLiteral("^(\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d)(_([2-9]|[1-9]\\d+))?\\.bin$"));
    const QRegularExpressionMatch m = name.match(fileName);
    if (!m.hasMatch())
        return std::nullopt;
    const QDateTime moment = QDateTime::fromString(m.captured(1), QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
    if (!moment.isValid())
        return std::nullopt;
    return KeptName{moment, fileName.chopped(4)};
}

// ---------------------------------------------------------------- storing

struct SalesHistory::Line {
    int product = 0;
    TotalsCounters raw;
    SoldCounters sold, cum;
};

bool SalesHistory::failed()
{
    m_error = m_store.errorText();
    return false;
}

bool SalesHistory::prepare()
{
    if (m_prepared)
        return true;
    const QStringList receptionColumns{QStringLiteral("id"),   QStringLiteral("scale"),      QStringLiteral("moment"),
                                       QStringLiteral("kept"), QStringLiteral("sold_money"), QStringLiteral("sold_weighings")};
    const QStringList lineColumns{QStringLiteral("reception"),      QStringLiteral("product"),
                                  QStringLiteral("amount"),         QStringLiteral("money"),
                                  QStringLiteral("weighings"),      QStringLiteral("sold_amount"),
                                  QStringLiteral("sold_money"),     QStringLiteral("sold_weighings"),
                                  QStringLiteral("cum_amount"),     QStringLiteral("cum_money"),
                                  QStringLiteral("cum_weighings")};
    const QStringList clearColumns{QStringLiteral("scale"), QStringLiteral("moment"), QStringLiteral("product")};
    // Counters as the scale gives them do not fit a server's 32-bit integer: bigint throughout.
    // The second unique key of a reception is its index by scale and moment, on either store.
    const bool ok =
        m_store.ensureTable(ReceptionTable,
                            QStringLiteral("create table ztk_reception (id bigint primary key, scale text not null, "
                                           "moment text not null, kept text, sold_money bigint not null default 0, "
                                           "sold_weighings bigint not null default 0, unique (scale, kept), "
                                           "unique (scale, moment, id))"),
                            receptionColumns)
        && m_store.ensureTable(LineTable,
                               QStringLiteral("create table ztk_reception_line (reception bigint not null, "
                                              "product integer not null, amount bigint not null, money bigint not null, "
                                              "weighings bigint not null, sold_amount bigint not null, "
                                              "sold_money bigint not null, sold_weighings bigint not null, "
                                              "cum_amount bigint not null, cum_money bigint not null, "
                                              "cum_weighings bigint not null, primary key (reception, product))"),
                               lineColumns)
        && m_store.ensureTable(ClearTable,
                               QStringLiteral("create table ztk_totals_clear (scale text not null, moment text not null, "
                                              "product integer not null, primary key (scale, moment, product))"),
                               clearColumns);
    if (!ok)
        return failed();
    m_prepared = true;
    return true;
}

SalesHistory::Stored SalesHistory::storeReception(const QString &scale, const QDateTime &moment, const TotalsImage &image,
                                                  const QString &kept, bool count)
{
    if (!prepare())
        return Stored::Failed;
    StoreTransaction transaction(m_store);
    if (!transaction.active()) {
        failed();
        return Stored::Failed;
    }
    const QString when = momentText(moment);
    const QVariant keptValue = kept.isEmpty() ? QVariant() : QVariant(kept);
    std::vector<QVariantList> rows;
    qint64 id = 0;
    // Ids are taken as the next free one; another PC that took the same one first makes
    // this insert do nothing, and the next one is tried.
    for (int attempt = 0; id == 0; ++attempt) {
        if (!kept.isEmpty()) {
            if (!m_store.exec(QStringLiteral("select id from ztk_reception where scale=? and kept=?"), {scale, kept}, &rows)) {
                failed();
                return Stored::Failed;
            }
            if (!rows.empty())
                return Stored::AlreadyThere;
        }
        if (attempt == 5) {
            m_error = msg::text(msg::SalesNoReceptionId);
            return Stored::Failed;
        }
        if (!m_store.exec(QStringLiteral("select coalesce(max(id), 0) + 1 from ztk_reception"), {}, &rows) || rows.empty()) {
            failed();
            return Stored::Failed;
        }
        const qint64 next = rows.front().value(0).toLongLong();
        if (!m_store.exec(QStringLiteral("insert into ztk_reception (id, scale, moment, kept) values (?, ?, ?, ?) "
                                         "on conflict do nothing"),
                          {next, scale, when, keptValue})
            || !m_store.exec(QStringLiteral("select scale, moment from ztk_reception where id=?"), {next}, &rows)) {
            failed();
            return Stored::Failed;
        }
        if (!rows.empty() && rows.front().value(0).toString() == scale && rows.front().value(1).toString() == when)
            id = next;
    }
    std::vector<Line> lines;
    for (const auto &[product, counters] : listedProducts(image))
        lines.push_back({product, counters, {}, {}});
    // Counted now, its lines are written once, counted; else as the scale gave them.
    if (count ? !countWithin(scale, when, {id, &lines}) : !writeLines(id, lines)) {
        failed();
        return Stored::Failed;
    }
    if (!transaction.commit()) {
        failed();
        return Stored::Failed;
    }
    return Stored::Added;
}

bool SalesHistory::countFrom(const QString &scale, const QDateTime &moment)
{
    if (!prepare())
        return false;
    StoreTransaction transaction(m_store);
    if (!transaction.active() || !countWithin(scale, momentText(moment)) || !transaction.commit())
        return failed();
    return true;
}

bool SalesHistory::recordClear(const QString &scale, const QDateTime &moment, std::span<const int> products)
{
    if (products.empty())
        return true;
    if (!prepare())
        return false;
    StoreTransaction transaction(m_store);
    if (!transaction.active())
        return failed();
    const QString when = momentText(moment);
    for (std::size_t k = 0; k < products.size(); k += LinesPerInsert) {
        const std::size_t n = std::min<std::size_t>(LinesPerInsert, products.size() - k);
        QVariantList binds;
        QStringList values;
        for (std::size_t i = k; i < k + n; ++i) {
            binds << scale << when << products[i];
            values << QStringLiteral("(?,?,?)");
        }
        if (!m_store.exec(QStringLiteral("insert into ztk_totals_clear (scale, moment, product) values %1 "
                                         "on conflict do nothing")
                              .arg(values.join(QLatin1Char(','))),
                          binds))
            return failed();
    }
    // A reception already stored after this moment (another PC's clock ahead) counts anew.
    std::vector<QVariantList> later;
    if (!m_store.exec(QStringLiteral("select moment from ztk_reception where scale=? and moment>? order by moment limit 1"),
                      {scale, when}, &later))
        return failed();
    if (!later.empty() && !countWithin(scale, later.front().value(0).toString()))
        return failed();
    return transaction.commit() || failed();
}

bool SalesHistory::lastBefore(const QString &scale, const QString &moment, std::optional<qint64> &id)
{
    std::vector<QVariantList> rows;
    const bool limited = !moment.isEmpty();
    if (!m_store.exec(QStringLiteral("select id from ztk_reception where scale=?%1 order by moment desc, id desc limit 1")
                          .arg(limited ? QStringLiteral(" and moment<?") : QString()),
                      limited ? QVariantList{scale, moment} : QVariantList{scale}, &rows))
        return false;
    id = rows.empty() ? std::nullopt : std::optional<qint64>(rows.front().value(0).toLongLong());
    return true;
}

bool SalesHistory::linesOf(qint64 reception, std::vector<Line> &out, bool listedOnly)
{
    std::vector<QVariantList> rows;
    out.clear();
    // A product carried over without being listed has weighings 0.
    if (!m_store.exec(QStringLiteral("select product, amount, money, weighings, sold_amount, sold_money, sold_weighings, "
                                     "cum_amount, cum_money, cum_weighings from ztk_reception_line where reception=?%1")
                          .arg(listedOnly ? QStringLiteral(" and weighings<>0") : QString()),
                      {reception}, &rows))
        return false;
    out.reserve(rows.size());
    for (const QVariantList &r : rows) {
        const auto u32 = [&](int c) { return std::uint32_t(r.value(c).toLongLong()); };
        const auto i64 = [&](int c) { return std::int64_t(r.value(c).toLongLong()); };
        out.push_back({r.value(0).toInt(), {u32(1), u32(2), u32(3)}, {i64(4), i64(5), i64(6)}, {i64(7), i64(8), i64(9)}});
    }
    return true;
}

bool SalesHistory::writeLines(qint64 reception, const std::vector<Line> &lines)
{
    if (!m_store.exec(QStringLiteral("delete from ztk_reception_line where reception=?"), {reception}))
        return false;
    for (std::size_t k = 0; k < lines.size(); k += LinesPerInsert) {
        const std::size_t n = std::min<std::size_t>(LinesPerInsert, lines.size() - k);
        QVariantList binds;
        binds.reserve(qsizetype(n) * LineColumns);
        QStringList values;
        const QString row = QLatin1Char('(') + placeholders(LineColumns) + QLatin1Char(')');
        for (std::size_t i = k; i < k + n; ++i) {
            const Line &l = lines[i];
            binds << reception << l.product << qint64(l.raw.amount) << qint64(l.raw.money) << qint64(l.raw.weighings)
                  << qint64(l.sold.amount) << qint64(l.sold.money) << qint64(l.sold.weighings) << qint64(l.cum.amount)
                  << qint64(l.cum.money) << qint64(l.cum.weighings);
            values << row;
        }
        if (!m_store.exec(QStringLiteral("insert into ztk_reception_line (reception, product, amount, money, weighings, "
                                         "sold_amount, sold_money, sold_weighings, cum_amount, cum_money, cum_weighings) "
                                         "values %1")
                              .arg(values.join(QLatin1Char(','))),
                          binds))
            return false;
    }
    return true;
}

// Counts each reception of `scale` from `moment` on against the one before it, inside the
// caller's transaction.
bool SalesHistory::countWithin(const QString &scale, const QString &moment)
{
    return countWithin(scale, moment, Pending{});
}

bool SalesHistory::countWithin(const QString &scale, const QString &moment, Pending pending)
{
    struct Known {
        TotalsCounters raw;
        SoldCounters cum;
    };
    std::map<int, Known> known; // what the previous reception held of each product
    std::optional<qint64> base;
    if (!lastBefore(scale, moment, base))
        return false;
    QString previousMoment = QStringLiteral(""); // bound as a text, not as NULL: before every moment
    std::vector<Line> lines;
    std::vector<QVariantList> rows;
    if (base) {
        if (!linesOf(*base, lines, false)
            || !m_store.exec(QStringLiteral("select moment from ztk_reception where id=?"), {*base}, &rows) || rows.empty())
            return false;
        previousMoment = rows.front().value(0).toString();
        for (const Line &l : lines)
            known[l.product] = {l.raw, l.cum};
    }
    // The clears since the base, product by product, in order.
    std::map<int, std::vector<QString>> clears;
    if (!m_store.exec(QStringLiteral("select product, moment from ztk_totals_clear where scale=? and moment>=? "
                                     "order by moment"),
                      {scale, previousMoment}, &rows))
        return false;
    for (const QVariantList &r : rows)
        clears[r.value(0).toInt()].push_back(r.value(1).toString());
    const auto clearedBetween = [&](int product, const QString &from, const QString &to) {
        const auto it = clears.find(product);
        if (it == clears.end())
            return false;
        // A clear at the very moment of a reception follows it: it cleared what was received.
        const auto first = std::lower_bound(it->second.begin(), it->second.end(), from);
        return first != it->second.end() && *first < to;
    };

    std::vector<QVariantList> receptions;
    if (!m_store.exec(QStringLiteral("select id, moment from ztk_reception where scale=? and moment>=? order by moment, id"),
                      {scale, moment}, &receptions))
        return false;
    for (const QVariantList &r : receptions) {
        const qint64 id = r.value(0).toLongLong();
        const QString when = r.value(1).toString();
        if (id == pending.reception)
            lines = *pending.listed;
        else if (!linesOf(id, lines, true))
            return false;
        std::map<int, TotalsCounters> listed;
        for (const Line &l : lines)
            listed[l.product] = l.raw;
        for (const auto &[product, k] : known)
            listed.try_emplace(product, TotalsCounters{}); // not listed now: its counters are 0
        std::vector<Line> counted;
        counted.reserve(listed.size());
        SoldCounters receptionTotal;
        for (const auto &[product, now] : listed) {
            const auto it = known.find(product);
            std::optional<TotalsCounters> previous;
            if (base)
                previous = it == known.end() ? TotalsCounters{} : it->second.raw;
            const SoldCounters sold =
                countedSale(previous, now, base && clearedBetween(product, previousMoment, when));
            SoldCounters cum = it == known.end() ? SoldCounters{} : it->second.cum;
            cum += sold;
            counted.push_back({product, now, sold, cum});
            known[product] = {now, cum};
            receptionTotal += sold;
        }
        if (!writeLines(id, counted)
            || !m_store.exec(QStringLiteral("update ztk_reception set sold_money=?, sold_weighings=? where id=?"),
                             {qint64(receptionTotal.money), qint64(receptionTotal.weighings), id}))
            return false;
        base = id;
        previousMoment = when;
    }
    return true;
}

// ---------------------------------------------------------------- listing

bool SalesHistory::scales(QStringList &out)
{
    out.clear();
    if (!prepare())
        return false;
    std::vector<QVariantList> rows;
    if (!m_store.exec(QStringLiteral("select distinct scale from ztk_reception order by scale"), {}, &rows))
        return failed();
    for (const QVariantList &r : rows)
        out << r.value(0).toString();
    return true;
}

bool SalesHistory::scalesOf(const SalesQuery &query, QStringList &out)
{
    if (!query.scales.isEmpty()) {
        out = query.scales;
        return true;
    }
    return scales(out);
}

// The sales of one scale over the period, product by product: what its receptions had
// counted by the period's last one, less what they had counted before the period.
bool SalesHistory::periodByScale(const QString &scale, const SalesPeriod &period, std::vector<SalesRow> &rows)
{
    std::optional<qint64> start, end;
    if (period.from && !lastBefore(scale, dayText(*period.from), start))
        return false;
    if (!lastBefore(scale, period.to ? dayText(period.to->addDays(1)) : QString(), end))
        return false;
    if (!end || end == start)
        return true;
    std::vector<Line> before, after;
    if ((start && !linesOf(*start, before, false)) || !linesOf(*end, after, false))
        return false;
    std::map<int, SoldCounters> earlier;
    for (const Line &l : before)
        earlier[l.product] = l.cum;
    for (const Line &l : after) {
        const auto it = earlier.find(l.product);
        const SoldCounters sold = it == earlier.end() ? l.cum : l.cum - it->second;
        if (anySold(sold))
            rows.push_back({scale, l.product, {}, true, sold});
    }
    return true;
}

bool SalesHistory::byDay(const SalesQuery &query, const QStringList &scales, std::vector<SalesRow> &rows)
{
    QString sql = QStringLiteral("select substr(r.moment, 1, 10), l.product, sum(l.sold_amount), sum(l.sold_money), "
                                 "sum(l.sold_weighings) from ztk_reception r join ztk_reception_line l on "
                                 "l.reception=r.id where r.scale in (%1) and (l.sold_amount<>0 or l.sold_money<>0 or "
                                 "l.sold_weighings<>0)")
                      .arg(placeholders(scales.size()));
    QVariantList binds;
    for (const QString &s : scales)
        binds << s;
    if (query.period.from) {
        sql += QStringLiteral(" and r.moment>=?");
        binds << dayText(*query.period.from);
    }
    if (query.period.to) {
        sql += QStringLiteral(" and r.moment<?");
        binds << dayText(query.period.to->addDays(1));
    }
    sql += QStringLiteral(" group by substr(r.moment, 1, 10), l.product");
    std::vector<QVariantList> found;
    if (!m_store.exec(sql, binds, &found))
        return false;
    for (const QVariantList &r : found)
        rows.push_back({r.value(0).toString(), r.value(1).toInt(), {}, true,
                        {r.value(2).toLongLong(), r.value(3).toLongLong(), r.value(4).toLongLong()}});
    return true;
}

bool SalesHistory::nameRows(std::vector<SalesRow> &rows)
{
    if (rows.empty())
        return true;
    std::vector<Product> products;
    if (!m_store.select(QStringLiteral("select * from lm_t1"), products))
        return false;
    std::vector<TotalsProduct> known;
    known.reserve(products.size());
    for (const Product &p : products)
        known.push_back({int(std::clamp<qint64>(p.number.value.value_or(0), 0, TotalsImage::LastProduct)), p.names[0], p.prefix});
    const TotalsLookup lookup(std::move(known));
    for (SalesRow &row : rows) {
        const TotalsProduct *p = lookup.find(row.product);
        row.name = p ? p->name : QString();
        // As the totals window decides: without a row there is no "Префикс", read as 0.
        row.weighed = p ? prefixIsZero(p->prefix) : true;
    }
    return true;
}

bool SalesHistory::listing(const SalesQuery &query, SalesListing &out)
{
    out = {};
    QStringList names;
    if (!prepare() || !scalesOf(query, names))
        return false;
    std::vector<SalesRow> rows;
    if (names.isEmpty())
        return true;
    if (query.by == SalesGrouping::Day) {
        if (!byDay(query, names, rows))
            return failed();
    } else {
        for (const QString &scale : names) {
            if (!periodByScale(scale, query.period, rows))
                return failed();
        }
        if (query.by == SalesGrouping::Product) {
            std::map<int, SoldCounters> sum;
            for (const SalesRow &r : rows)
                sum[r.product] += r.sold;
            rows.clear();
            for (const auto &[product, sold] : sum)
                rows.push_back({QString(), product, {}, true, sold});
        }
    }
    if (!nameRows(rows))
        return failed();
    std::sort(rows.begin(), rows.end(), [](const SalesRow &a, const SalesRow &b) {
        return a.group != b.group ? a.group < b.group : a.product < b.product;
    });
    for (const SalesRow &r : rows)
        out.total += r.sold;
    out.rows = std::move(rows);
    return true;
}

bool SalesHistory::moneyByDay(const SalesQuery &query, std::vector<DayMoney> &out)
{
    out.clear();
    QStringList names;
    if (!prepare() || !scalesOf(query, names))
        return false;
    if (names.isEmpty())
        return true;
    QString sql = QStringLiteral("select substr(moment, 1, 10), sum(sold_money) from ztk_reception where scale in (%1)")
                      .arg(placeholders(names.size()));
    QVariantList binds;
    for (const QString &s : names)
        binds << s;
    if (query.period.from) {
        sql += QStringLiteral(" and moment>=?");
        binds << dayText(*query.period.from);
    }
    if (query.period.to) {
        sql += QStringLiteral(" and moment<?");
        binds << dayText(query.period.to->addDays(1));
    }
    sql += QStringLiteral(" group by substr(moment, 1, 10) order by 1");
    std::vector<QVariantList> rows;
    if (!m_store.exec(sql, binds, &rows))
        return failed();
    for (const QVariantList &r : rows)
        out.push_back({QDate::fromString(r.value(0).toString(), QStringLiteral("yyyy-MM-dd")), r.value(1).toLongLong()});
    return true;
}

} // namespace ztk
