#pragma once
// A QByteArray's bytes as the byte spans the layouts read and write.

#include <QByteArray>

#include <cstdint>
#include <span>

namespace ztk {

inline std::span<std::uint8_t> bytesOf(QByteArray &b)
{
    return {reinterpret_cast<std::uint8_t *>(b.data()), std::size_t(b.size())};
}

inline std::span<const std::uint8_t> bytesOf(const QByteArray &b)
{
    return {reinterpret_cast<const std::uint8_t *>(b.constData()), std::size_t(b.size())};
}

} // namespace ztk
