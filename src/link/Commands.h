#pragma once
// The scale's command bytes; the PC starts every exchange with one of them.
// Every 16-bit number that follows a command goes low byte first.

#include <cstdint>

namespace ztk::cmd {
inline constexpr std::uint8_t ReadCommonData = 0x04;  // -> 512 bytes of common data
inline constexpr std::uint8_t WriteCommonData = 0x05; // 440 bytes follow, nothing back
inline constexpr std::uint8_t WriteProducts = 0x07;   // count, then index + record per slot, acknowledged
inline constexpr std::uint8_t ReadTotals = 0x09;      // -> 153,600 bytes of totals
inline constexpr std::uint8_t ReadRecord = 0x0A;      // slot index -> 256-byte record
inline constexpr std::uint8_t ClearTotals = 0x0B;     // product number, nothing back
inline constexpr std::uint8_t ClearProduct = 0x0C;    // product number, nothing back
inline constexpr std::uint8_t LinkProbe = 0x0D;       // -> any one byte
inline constexpr std::uint8_t SetClock = 0x0F;        // 8 clock bytes, nothing back
inline constexpr std::uint8_t ScaleNumber = 0x13;     // -> one byte, the scale's number

inline constexpr int CommonDataSize = 512;
inline constexpr int CommonDataWriteFirst = 60; // 0x05 sends offsets 60..499
inline constexpr int CommonDataWriteSize = 440;
inline constexpr int TotalsImageSize = 153600;
inline constexpr int RecordSize = 256;
inline constexpr int SlotCount = 5000;

// Time limits of ReceptionWait, in seconds.
inline constexpr int WaitSeconds = 15;
inline constexpr int CommonDataWaitSeconds = 35;
inline constexpr int LinkCheckWaitSeconds = 3;
} // namespace ztk::cmd
