#pragma once
// The fixed 28-byte texts of a product record.
//   ScaleText:     a name line: the first 28 characters in code page 866, space-filled,
//                  no terminator, with 0x9A<->0x9C and 0xEA<->0xEC swapped ("Ъ"/"Ь", "ъ"/"ь").
//   ScaleDateText: the best-before text dd.mm.yy (and " HH:mm:ss" unless midnight), 866,
//                  space-filled, without the swap.
// Reading back: the same swap, the text ends after 28 bytes or at a 0 byte, fill kept.

#include "shared/DateText.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <cstdint>

namespace ztk::scaletext {

inline constexpr int Size = 28;

// The letter swap of ScaleText; its own inverse.
std::uint8_t swapLetters(std::uint8_t byte);

QByteArray encode(const QString &text);           // always 28 bytes
QString decode(const std::uint8_t *bytes);        // reads 28 bytes
QByteArray encodeDate(const datetext::WallTime &moment); // always 28 bytes
QString decodeDate(const std::uint8_t *bytes);    // reads 28 bytes, no swap

} // namespace ztk::scaletext
