#include "shared/Bcd.h"

namespace ztk::bcd {

std::uint8_t encode(int value)
{
    const int v = ((value % 100) + 100) % 100;
    return std::uint8_t(((v / 10) << 4) | (v % 10));
}

std::optional<int> decode(std::uint8_t byte)
{
    const int tens = byte >> 4;
    const int units = byte & 0x0F;
    if (tens > 9 || units > 9)
        return std::nullopt;
    return tens * 10 + units;
}

} // namespace ztk::bcd
