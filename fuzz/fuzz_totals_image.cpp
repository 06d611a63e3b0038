// A totals reply as received from the scale (or read from a kept file): decoded, its
// rows built and written as the totals text.
#include "totals/TotalsImage.h"
#include "totals/TotalsRows.h"
#include "totals/TotalsText.h"

#include <cstdint>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const ztk::Decoded<ztk::TotalsImage> d = ztk::TotalsImage::decode(std::span(data, size));
    if (!d) {
        // Only a short input is refused, and it says so.
        if (size >= ztk::TotalsImage::Size || d.error != ztk::DecodeError::Truncated || d.have != size)
            std::abort();
        return 0;
    }
    static const ztk::TotalsLookup lookup({{1, QStringLiteral("Весовой"), QStringLiteral("0")},
                                           {2, QStringLiteral("Штучный"), QStringLiteral("21")}});
    const ztk::TotalsTable table = ztk::buildTotalsRows(d.value, lookup, QStringLiteral(","));
    std::int64_t money = 0;
    for (const ztk::TotalsRow &row : table.rows) {
        const auto weighings = std::int32_t(row.counters.weighings);
        if (weighings < 1 || weighings > ztk::MaxWeighings || row.counters != d.value.counters(row.number))
            std::abort();
        money += std::int64_t(row.counters.money);
    }
    if (money != table.moneyTotal)
        std::abort();
    const QStringList lines = ztk::totalsLines(ztk::totalsHeaders(), table.cells());
    if (lines.size() != qsizetype(table.rows.size()) + 1)
        std::abort();
    (void)ztk::totalsFileBytes(lines).size();
    (void)ztk::summarizeTotals(table, 10);
    return 0;
}
