#include "totals/TotalsExchange.h"

#include "link/Commands.h"
#include "shared/LittleEndian.h"
#include "link/ScaleLink.h"

#include <QElapsedTimer>

#include <chrono>
#include <thread>

namespace ztk {

static_assert(std::size_t(cmd::TotalsImageSize) == TotalsImage::Size);

namespace {

// Before 0x09 goes out, what an earlier command brought back (a scale that answers a
// clear with something) has this long to arrive and be dropped; taken into the reply,
// it would shift all of it.
constexpr int SettleMs = 50;

// Measured by the clock (a fast clock shortens it), and never longer than the real
// time, so a clock that stands still cannot hold the reception.
void settle(const Clock &clock, EventPump &pump)
{
    const QDateTime start = clock.now();
    QElapsedTimer real;
    real.start();
    while (start.msecsTo(clock.now()) < SettleMs && real.elapsed() < SettleMs) {
        pump.pump();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

} // namespace

std::optional<TotalsImage> receiveTotals(ScaleLink &link, const Clock &clock, EventPump &pump,
                                         const std::function<void(int)> &progress)
{
    // No DiscardAll before the command: it would also drop clear commands still queued
    // for a slow line. Bytes that come before the mode is on are dropped by the reader.
    settle(clock, pump);
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
    if (!command)
        return false;
    link.sendBytes(*command);
    return true;
}

} // namespace ztk
