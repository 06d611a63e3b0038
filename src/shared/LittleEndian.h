#pragma once
// Little-endian numbers in byte spans, by byte code: every layout of the scale and
// of its files reads and writes its numbers through these. The caller checks that
// `at` + the width lies inside the span; decoders of outside bytes check the length
// first and report a short input as DecodeError::Truncated.

#include <cstddef>
#include <cstdint>
#include <span>

namespace ztk::le {

inline std::uint16_t get2(std::span<const std::uint8_t> b, std::size_t at)
{
    return std::uint16_t(b[at] | (unsigned(b[at + 1]) << 8));
}

inline std::uint32_t get4(std::span<const std::uint8_t> b, std::size_t at)
{
    return std::uint32_t(b[at]) | (std::uint32_t(b[at + 1]) << 8) | (std::uint32_t(b[at + 2]) << 16)
        | (std::uint32_t(b[at + 3]) << 24);
}

inline void put2(std::span<std::uint8_t> b, std::size_t at, std::uint16_t v)
{
    b[at] = std::uint8_t(v);
    b[at + 1] = std::uint8_t(v >> 8);
}

inline void put4(std::span<std::uint8_t> b, std::size_t at, std::uint32_t v)
{
    b[at] = std::uint8_t(v);
    b[at + 1] = std::uint8_t(v >> 8);
    b[at + 2] = std::uint8_t(v >> 16);
    b[at + 3] = std::uint8_t(v >> 24);
}

} // namespace ztk::le

namespace ztk {

// Why bytes from outside (a reply of the scale, a file) could not be decoded.
enum class DecodeError {
    None,
    Truncated, // fewer bytes than the layout holds
};

// What a length-checked decoder returns: the value, or the error and how many bytes
// there were against how many the layout needs.
template <class T>
struct Decoded {
    T value{};
    DecodeError error = DecodeError::None;
    std::size_t have = 0;
    std::size_t need = 0;

    bool ok() const { return error == DecodeError::None; }
    explicit operator bool() const { return ok(); }

    static Decoded truncated(std::size_t have, std::size_t need)
    {
        Decoded d;
        d.error = DecodeError::Truncated;
        d.have = have;
        d.need = need;
        return d;
    }
};

} // namespace ztk
