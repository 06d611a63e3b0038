#pragma once
// The sales history: every complete reception of every scale, kept in the product store
// beside "lm_t1" (so that the PCs sharing a server share it), and each sale counted once.
//
//   ztk_reception       (id, scale, moment, kept, sold_money, sold_weighings)
//                       one complete reception; `kept` the name of its image under totals/
//                       without ".bin" (empty when it could not be kept); the sums of what
//                       it counted, for the days' chart
//   ztk_reception_line  (reception, product, amount, money, weighings,
//                        sold_amount, sold_money, sold_weighings, cum_amount, cum_money, cum_weighings)
//                       per product the counters as the scale gave them (0 when the product
//                       was not listed), what they count, and what the scale's receptions
//                       have counted of the product so far. Every product that the scale
//                       ever listed has a line in each later reception, so the sales of a
//                       period are two lines apart, not a sum over every night of it.
//   ztk_totals_clear    (scale, moment, product)
//                       a product's totals cleared in the scale by this program
//
// Moments are local "yyyy-MM-dd HH:mm:ss.zzz": a clear that follows its reception within
// the same second still comes after it.

#include "totals/TotalsImage.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace ztk {

class ProductStore;

// Counted sales: 64 bits, so a year of counters near 2^32 still adds up.
struct SoldCounters {
    std::int64_t amount = 0; // thousandths of a kilogram, or pieces
    std::int64_t money = 0;  // hundredths
    std::int64_t weighings = 0;

    SoldCounters &operator+=(const SoldCounters &o)
    {
        amount += o.amount;
        money += o.money;
        weighings += o.weighings;
        return *this;
    }
    SoldCounters operator-(const SoldCounters &o) const { return {amount - o.amount, money - o.money, weighings - o.weighings}; }
    bool operator==(const SoldCounters &) const = default;
};

// The counting rule. A scale's counters grow until they are cleared, so a reception
// counts what grew since the scale's previous reception (`previous`: its counters, all 0
// when it did not list the product). It counts whole when there is no previous reception,
// when this program cleared the product in between (`clearedSince`), or when any counter
// went down without such a clear (cleared on the scale's own keyboard, or run past 2^32).
SoldCounters countedSale(const std::optional<TotalsCounters> &previous, const TotalsCounters &now, bool clearedSince);

// The products a reception lists, as the totals window does: weighings 1..100,000.
std::vector<std::pair<int, TotalsCounters>> listedProducts(const TotalsImage &image);

// "2026-12-09_18-05-33" or "..._2" (the kept image's name without ".bin") as its moment
// and the name itself; nothing when the name is not a moment.
struct KeptName {
    QDateTime moment;
    QString stem;
};
std::optional<KeptName> keptNameOf(const QString &fileName);

// What a listing covers. Both days included; no day: no limit.
struct SalesPeriod {
    std::optional<QDate> from, to;
};
enum class SalesGrouping { Product, Day, Scale };
struct SalesQuery {
    SalesPeriod period;
    SalesGrouping by = SalesGrouping::Product;
    QStringList scales; // empty: every scale of the history
};

// One line of a listing: the day or the scale (empty by product), the product.
struct SalesRow {
    QString group;
    int product = 0;
    QString name;        // from "lm_t1"; empty when the number is not there
    bool weighed = true; // "Префикс" 0, or not in "lm_t1": the amount is a weight
    SoldCounters sold;
};
struct SalesListing {
    std::vector<SalesRow> rows; // by group, then product number
    SoldCounters total;
};
// Money counted per day, for the chart: days in order, only those with receptions.
struct DayMoney {
    QDate day;
    std::int64_t money = 0;
};

class SalesHistory {
public:
    // `store` is open and outlives this. The tables are made when missing (prepare()).
    explicit SalesHistory(ProductStore &store) : m_store(store) {}

    // Makes the three tables when the store lacks them; false with errorText() when one
    // is of another shape (it is left as it is).
    bool prepare();
    QString errorText() const { return m_error; }

    enum class Stored { Added, AlreadyThere, Failed };
    // Stores a complete reception of `scale` and counts it. `kept` names its image under
    // totals/ (empty when not kept); a reception whose image is already stored is
    // AlreadyThere. With `count` false the counting waits for countFrom() (an import of
    // many older receptions counts once, not once for each).
    Stored storeReception(const QString &scale, const QDateTime &moment, const TotalsImage &image,
                          const QString &kept = QString(), bool count = true);
    // Counts the receptions of `scale` again from `moment` on.
    bool countFrom(const QString &scale, const QDateTime &moment);
    // `products` of `scale` cleared by this program at `moment`.
    bool recordClear(const QString &scale, const QDateTime &moment, std::span<const int> products);

    // The scales that have receptions, by name.
    bool scales(QStringList &out);
    // False with errorText() when the store refuses.
    bool listing(const SalesQuery &query, SalesListing &out);
    bool moneyByDay(const SalesQuery &query, std::vector<DayMoney> &out);

private:
    bool scalesOf(const SalesQuery &query, QStringList &out);
    struct Line;
    // A reception whose listed lines are not written yet.
    struct Pending {
        qint64 reception = 0;
        const std::vector<Line> *listed = nullptr;
    };
    bool countWithin(const QString &scale, const QString &moment, Pending pending);
    bool countWithin(const QString &scale, const QString &moment);
    bool lastBefore(const QString &scale, const QString &moment, std::optional<qint64> &id);
    bool linesOf(qint64 reception, std::vector<Line> &out, bool listedOnly);
    bool writeLines(qint64 reception, const std::vector<Line> &lines);
    bool periodByScale(const QString &scale, const SalesPeriod &period, std::vector<SalesRow> &rows);
    bool byDay(const SalesQuery &query, const QStringList &scales, std::vector<SalesRow> &rows);
    bool nameRows(std::vector<SalesRow> &rows);
    bool failed();

    ProductStore &m_store;
    QString m_error;
    bool m_prepared = false;
};

} // namespace ztk
