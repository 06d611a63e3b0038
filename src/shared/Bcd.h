#pragma once
// One packed decimal byte: tens in the high four bits, units in the low four (23 -> 0x23).

#include <cstdint>
#include <optional>

namespace ztk::bcd {
// value 0..99; anything else is taken modulo 100.
std::uint8_t encode(int value);
// Nothing when either half is above 9.
std::optional<int> decode(std::uint8_t byte);
} // namespace ztk::bcd
