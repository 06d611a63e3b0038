#include "totals/TotalsExchange.h"

#include "link/Commands.h"
#include "shared/LittleEndian.h"
#include "link/ScaleLink.h"


namespace ztk {

static_assert(std::size_t(cmd::TotalsImageSize) == TotalsImage::Size);

std::optional<TotalsImage> receiveTotals(ScaleLink &link, const Clock &clock, EventPump &pump,
                                         const std::function<void(int)> &progress)
{
    // No DiscardAll before the command: it would also drop clear commands still queued
    // for a slow line. The link waits for a quiet line first (the tail of an earlier
    // reply, or what a clear brought back, is never taken into this one).
    const std::uint8_t command[] = {cmd::ReadTotals};
    if (!link.receive(Reception::Totals, command, {TotalsSilenceSeconds, true}, clock, pump, false, progress)) {
        link.discardAll();
        return std::nullopt;
    }
    Decoded<TotalsImage> image = TotalsImage::decode(link.received(Reception::Totals));
    if (!image)
        return std::nullopt;
    if (progress)
        progress(int(TotalsImage::Size));
    return std::move(image.value);
}

int totalsPercent(int received)
{
    return int(std::int64_t(received) * 100 / std::int64_t(TotalsImage::Size));
}

std::optional<std::array<std::uint8_t, 3>> clearTotalsCommand(int product)
{
    if (product < TotalsImage::FirstProduct || product > TotalsImage::LastProduct)
        return std::nullopt;
    std::array<std::uint8_t, 3> command{cmd::ClearTotals, 0, 0};
    le::put2(command, 1, std::uint16_t(product));
    return command;
}

bool clearTotals(ScaleLink &link, int product)
{
    const auto command = clearTotalsCommand(product);
    return command && link.sendBytes(*command);
}

} // namespace ztk
