#pragma once
// The rows of the totals window: one per product with weighings 1..100,000, built
// from a TotalsImage and the products of the current selection, then the sum row.
// Every figure comes from the integer counters, so nothing is lost to rounding.

#include "totals/TotalsImage.h"

#include <unordered_map>
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

namespace ztk {

// What the totals need of one row of the selection.
struct TotalsProduct {
    int number = 0;
    QString name;
    QString prefix; // "Префикс" as stored
};

// Finds a product number among the selection's rows: the first row with that number,
// as a walk from the first row would.
class TotalsLookup {
public:
    TotalsLookup() = default;
    explicit TotalsLookup(std::vector<TotalsProduct> products);
    const TotalsProduct *find(int number) const; // nullptr when not in the selection

private:
    std::vector<TotalsProduct> m_products;
    std::unordered_map<int, int> m_firstIndex; // number -> index of its first row
};

inline constexpr int TotalsColumns = 5;
using TotalsCells = std::array<QString, TotalsColumns>;

struct TotalsRow {
    int number = 0;
    bool found = false;      // the number is in the selection
    bool weighed = false;    // column 1 shows a weight
    bool cleared = false;    // cleared in the scale since the reception
    TotalsCounters counters;
    TotalsCells cells;       // "Nп/п", "Сум вес/кол", "Сумма", "Кол взв.", "Наименование"
};

struct TotalsTable {
    std::vector<TotalsRow> rows;
    std::int64_t moneyTotal = 0; // hundredths, of the rows not cleared
    TotalsCells sumRow;          // only column 2, the money total

    // The product rows' cells as received, cleared or not, in order.
    std::vector<TotalsCells> cells() const;
    // The row of `number`; -1 when it is not listed.
    int rowOf(int number) const;
    // Marks the row of `number` cleared and sums the money of the rest again; false
    // when it is not listed or already cleared.
    bool markCleared(int number, const QString &decimalPoint);
};

// The cells as the window shows a row: the amount with its unit (кг, шт); a cleared
// row keeps its number and name and says it was cleared instead of its counters.
TotalsCells shownTotalsCells(const TotalsRow &row);

// "Префикс" 0 marks weighed goods; any other text, a number of pieces.
bool prefixIsZero(const QString &prefix);

// Weighings outside 1..100,000 (as a signed number) leave a product out.
inline constexpr std::int32_t MaxWeighings = 100000;

// `decimalPoint` is the locale's separator (a comma in the program).
TotalsTable buildTotalsRows(const TotalsImage &image, const TotalsLookup &lookup, const QString &decimalPoint);

// An unsigned count of thousandths or hundredths as a fixed-point text: 1500, 3 -> "1,500".
QString fixedText(std::uint64_t units, int decimals, const QString &decimalPoint);

// The number in column 0: one trailing "*" dropped, the rest a whole number; 0 when it is not.
int productNumberOfCell(const QString &text);

// For the chart: the products with the most money, and the money of weighed and of
// piece goods; cleared rows count for nothing.
struct TotalsSummary {
    struct Top {
        int number = 0;
        QString label; // the name, or the number cell when there is none
        std::int64_t money = 0;
    };
    std::vector<Top> top; // most money first; equal sums by product number
    std::int64_t weighedMoney = 0;
    std::int64_t pieceMoney = 0;
};
TotalsSummary summarizeTotals(const TotalsTable &table, int topCount);

} // namespace ztk
