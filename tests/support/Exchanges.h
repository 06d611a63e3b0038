#pragma once
// The link's two questions in the shape the link tests ask them: true or false, the
// number or nothing.

#include "link/Exchange.h"

#include <optional>

namespace ztk::test {

inline bool probeLink(ScaleLink &link, const Clock &clock, EventPump &pump)
{
    ExchangeSession session(link, clock, pump);
    return checkLink(session).ok;
}

inline std::optional<std::int8_t> queryScaleNumber(ScaleLink &link, const Clock &clock, EventPump &pump)
{
    ExchangeSession session(link, clock, pump);
    std::int8_t number = 0;
    if (!askScaleNumber(session, number).ok)
        return std::nullopt;
    return number;
}

} // namespace ztk::test
