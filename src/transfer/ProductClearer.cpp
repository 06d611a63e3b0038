#include "transfer/ProductClearer.h"

#include "link/Commands.h"
#include "shared/Pacing.h"

#include <numeric>
#include <vector>

namespace ztk {

int readback::clearGauge(int i, int from, int to)
{
    if (to == from)
        return 100;
    return int(qint64(i - from) * 100 / (qint64(to) - from));
}

namespace {

ExchangeResult clearEach(ExchangeSession &session, std::span<const int> numbers,
                         const std::function<int(std::size_t k)> &gauge, const Cleared &cleared)
{
    const int total = int(numbers.size());
    // One schedule for all, so that late wake-ups do not add up.
    PacedSchedule schedule(session.clock, session.pump);
    for (std::size_t k = 0; k < numbers.size(); ++k) {
        const int slot[] = {numbers[k] - 1};
        if (session.watcher)
            session.watcher->sending(slot);
        if (!session.send(Frame(cmd::ClearProduct).word(std::uint16_t(numbers[k]))))
            return ExchangeResult::noLink(int(k), total);
        if (session.watcher)
            session.watcher->cleared(slot[0]);
        session.progress(gauge(k), int(k) + 1, total);
        schedule.waitUntil(qint64(k + 1) * ClearPauseMs);
        if (cleared)
            cleared(numbers[k]);
    }
    return ExchangeResult::success(total, total);
}

} // namespace

ExchangeResult clearProducts(ExchangeSession &session, int from, int to, const Cleared &cleared)
{
    std::vector<int> numbers(std::size_t(to >= from ? qint64(to) - from + 1 : 0));
    std::iota(numbers.begin(), numbers.end(), from);
    return clearEach(session, numbers, [&](std::size_t k) { return readback::clearGauge(from + int(k), from, to); },
                     cleared);
}

ExchangeResult clearProductList(ExchangeSession &session, std::span<const int> numbers, const Cleared &cleared)
{
    const int last = int(numbers.size()) - 1;
    return clearEach(session, numbers, [&](std::size_t k) { return readback::clearGauge(int(k), 0, last); }, cleared);
}

} // namespace ztk
