#include "totals/TotalsRows.h"

#include "shared/Messages.h"

#include <algorithm>

namespace ztk {

bool prefixIsZero(const QString &prefix)
{
    bool ok = false;
    const int value = prefix.trimmed().toInt(&ok);
    return ok && value == 0;
}

TotalsLookup::TotalsLookup(std::vector<TotalsProduct> products) : m_products(std::move(products))
{
    m_firstIndex.reserve(m_products.size());
    for (int i = 0; i < int(m_products.size()); ++i)
        m_firstIndex.try_emplace(m_products[std::size_t(i)].number, i); // the first row with a number wins
}

const TotalsProduct *TotalsLookup::find(int number) const
{
    const auto it = m_firstIndex.find(number);
    return it == m_firstIndex.end() ? nullptr : &m_products[std::size_t(it->second)];
}

QString fixedText(std::uint64_t units, int decimals, const QString &decimalPoint)
{
    std::uint64_t scale = 1;
    for (int i = 0; i < decimals; ++i)
        scale *= 10;
    QString text = QString::number(units / scale);
    if (decimals > 0)
        text += decimalPoint + QStringLiteral("%1").arg(units % scale, decimals, 10, QLatin1Char('0'));
    return text;
}

TotalsTable buildTotalsRows(const TotalsImage &image, const TotalsLookup &lookup, const QString &decimalPoint)
{
    TotalsTable table;
    for (int n = TotalsImage::FirstProduct; n <= TotalsImage::LastProduct; ++n) {
        const TotalsCounters c = image.counters(n);
        const auto weighings = std::int32_t(c.weighings);
        if (weighings < 1 || weighings > MaxWeighings)
            continue;
        table.moneyTotal += std::int64_t(c.money);

        TotalsRow row;
        row.number = n;
        row.counters = c;
        const TotalsProduct *p = lookup.find(n);
        row.found = p != nullptr;
        // Without a row there is no "Префикс": it reads as 0, as an empty number field does.
        row.weighed = p ? prefixIsZero(p->prefix) : true;
        row.cells[0] = QString::number(n) + (row.found ? QString() : QStringLiteral("*"));
        row.cells[1] = row.weighed ? fixedText(c.amount, 3, decimalPoint) : QString::number(std::int32_t(c.amount));
        row.cells[2] = fixedText(c.money, 2, decimalPoint);
        row.cells[3] = QString::number(weighings);
        if (p)
            row.cells[4] = p->name;
        table.rows.push_back(std::move(row));
    }
    table.sumRow[2] = fixedText(std::uint64_t(table.moneyTotal), 2, decimalPoint);
    return table;
}

std::vector<TotalsCells> TotalsTable::cells() const
{
    std::vector<TotalsCells> out;
    out.reserve(rows.size());
    for (const TotalsRow &r : rows)
        out.push_back(r.cells);
    return out;
}

int TotalsTable::rowOf(int number) const
{
    const auto it = std::find_if(rows.begin(), rows.end(), [number](const TotalsRow &r) { return r.number == number; });
    return it == rows.end() ? -1 : int(it - rows.begin());
}

bool TotalsTable::markCleared(int number, const QString &decimalPoint)
{
    const int at = rowOf(number);
    if (at < 0 || rows[std::size_t(at)].cleared)
        return false;
    TotalsRow &row = rows[std::size_t(at)];
    row.cleared = true;
    moneyTotal -= std::int64_t(row.counters.money);
    sumRow[2] = fixedText(std::uint64_t(moneyTotal), 2, decimalPoint);
    return true;
}

TotalsCells shownTotalsCells(const TotalsRow &row)
{
    TotalsCells shown = row.cells;
    if (row.cleared) {
        shown[1] = msg::text(msg::TotalsClearedMark);
        shown[2].clear();
        shown[3].clear();
    } else {
        shown[1] += QLatin1Char(' ') + msg::text(row.weighed ? msg::TotalsUnitKg : msg::TotalsUnitPieces);
    }
    return shown;
}

int productNumberOfCell(const QString &text)
{
    QString rest = text;
    if (rest.endsWith(QLatin1Char('*')))
        rest.chop(1);
    bool ok = false;
    const int n = rest.toInt(&ok);
    return ok ? n : 0;
}

TotalsSummary summarizeTotals(const TotalsTable &table, int topCount)
{
    TotalsSummary s;
    std::vector<TotalsSummary::Top> all;
    all.reserve(table.rows.size());
    for (const TotalsRow &r : table.rows) {
        if (r.cleared)
            continue;
        const auto money = std::int64_t(r.counters.money);
        (r.weighed ? s.weighedMoney : s.pieceMoney) += money;
        all.push_back({r.number, r.cells[4].isEmpty() ? r.cells[0] : r.cells[4], money});
    }
    const auto more = [](const TotalsSummary::Top &a, const TotalsSummary::Top &b) {
        return a.money != b.money ? a.money > b.money : a.number < b.number;
    };
    const std::size_t keep = std::min(all.size(), std::size_t(std::max(topCount, 0)));
    std::partial_sort(all.begin(), all.begin() + std::ptrdiff_t(keep), all.end(), more);
    all.resize(keep);
    s.top = std::move(all);
    return s;
}

} // namespace ztk
