#include "totals/TotalsExchange.h"

#include "link/Commands.h"
#include "link/ScaleLink.h"

namespace ztk {

static_assert(std::size_t(cmd::TotalsImageSize) == TotalsImage::Size);

namespace {

// How long the line must stay quiet before 0x09 goes out, and how many bytes may be
// dropped while waiting for that (a line that never stops is left to the reception).
constexpr qint64 QuietMs = 20;
constexpr int MaxDropped = 4096;

// Bytes still coming from an earlier command (a scale that answers a clear with
// something) would otherwise be taken as the start of the reply and shift all of it.
void waitForQuietLine(ScaleLink &link, const Clock &clock, EventPump &pump)
{
    QDateTime quietSince = clock.now();
    for (int dropped = 0; dropped < MaxDropped && quietSince.msecsTo(clock.now()) < QuietMs;) {
        // Armed without a command and a limit of 0 s: true when a byte came within a few ms.
        if (link.receive(Reception::LinkProbe, {}, {0}, clock, pump)) {
            ++dropped;
            quietSince = clock.now();
        }
    }
}

} // namespace

std::optional<TotalsImage> receiveTotals(ScaleLink &link, const Clock &clock, EventPump &pump,
                                         const std::function<void(int)> &progress)
{
    // No DiscardAll here: it would also drop clear commands still queued for a slow
    // line. What an earlier command brought back is dropped while the line goes quiet.
    waitForQuietLine(link, clock, pump);
    const std::uint8_t command[] = {cmd::ReadTotals};
    if (!link.receive(Reception::Totals, command, {TotalsSilenceSeconds, true}, clock, pump, false, progress)) {
        link.discardAll();
        return std::nullopt;
    }
    Decoded<TotalsImage> image = TotalsImage::decode(link.received(Reception::Totals));
    if (!image)
        return std::nullopt;
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
    return std::array<std::uint8_t, 3>{cmd::ClearTotals, std::uint8_t(product & 0xFF), std::uint8_t(product >> 8)};
}

bool clearTotals(ScaleLink &link, int product)
{
    const auto command = clearTotalsCommand(product);
    if (!command)
        return false;
    link.sendBytes(*command);
    return true;
}

} // namespace ztk
