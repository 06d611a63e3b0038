#include "totals/TotalsExchange.h"

#include "link/Commands.h"
#include "shared/Messages.h"

#include <algorithm>

namespace ztk {

static_assert(std::size_t(cmd::TotalsImageSize) == TotalsImage::Size);

ExchangeResult receiveTotals(ExchangeSession &session, TotalsImage &image)
{
    constexpr int total = int(TotalsImage::Size);
    // No DiscardAll before the command: it would also drop clear commands still queued
    // for a slow line. The link waits for a quiet line first (the tail of an earlier
    // reply, or what a clear brought back, is never taken into this one).
    const bool whole = session.requestAlone(Reception::Totals, Frame(cmd::ReadTotals), {TotalsSilenceSeconds, true}, false,
                                       [&](int received) { session.progress(totalsPercent(received), received, total); });
    if (!whole) {
        session.link.discardAll();
        return ExchangeResult::noLink(0, total);
    }
    Decoded<TotalsImage> decoded = TotalsImage::decode(session.reply(Reception::Totals));
    if (!decoded)
        return ExchangeResult::noLink(0, total);
    image = std::move(decoded.value);
    session.progress(100, total, total);
    return ExchangeResult::success(total, total);
}

int totalsPercent(int received)
{
    return int(std::int64_t(received) * 100 / std::int64_t(TotalsImage::Size));
}

bool clearableTotals(int product)
{
    return product >= TotalsImage::FirstProduct && product <= TotalsImage::LastProduct;
}

ExchangeResult clearTotals(ExchangeSession &session, std::span<const int> products)
{
    const int total = int(products.size());
    if (!std::all_of(products.begin(), products.end(), clearableTotals))
        return ExchangeResult::failure(QString(), 0, total);
    for (std::size_t k = 0; k < products.size(); ++k) {
        if (!session.send(Frame(cmd::ClearTotals).word(std::uint16_t(products[k]))))
            return ExchangeResult::noLink(int(k), total);
        session.progress(int((k + 1) * 100 / products.size()), int(k) + 1, total);
    }
    return ExchangeResult::success(total, total);
}

} // namespace ztk
