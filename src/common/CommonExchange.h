#pragma once
// The exchanges of the common data with the scale: reading the block (0x04, 512 bytes
// within 35 s), writing it (0x05, offsets 60..499 paced 200 ms after the command and
// 20 ms after each byte, nothing back), setting the clock (0x0F and eight bytes) and
// "BDpost.pd", the file of the last block built.

#include "common/CommonData.h"
#include "link/Exchange.h"

#include <QString>

#include <optional>

namespace ztk::common {

inline constexpr int PauseAfterCommandMs = 200;
inline constexpr int PauseAfterByteMs = 20;

// CommonDataReceive with count 0, then 0x04 (the queues are not discarded), and a wait
// of 35 s: the 512 bytes into `block`.
ExchangeResult readBlock(ExchangeSession &session, Block &block);

// The gauge of a write after sending offset i: i * 100 / 508 + 1.
inline int writePercent(int offset) { return offset * 100 / 508 + 1; }

// 0x05, then offsets 60..499 of `block`, each followed by its pause; the gauge after
// each byte. Pauses run on one schedule from the command byte, so the whole write
// takes 200 ms + 440 x 20 ms, by the clock and at most in real time. Nothing comes
// back; the first byte the line does not take ends it.
ExchangeResult writeBlock(ExchangeSession &session, const Block &block);

// "BDpost.pd": created when missing and the 512 bytes written from its start. False
// when it cannot be written.
bool saveBlockFile(const QString &path, const Block &block);
// The block of the file; nothing when it is missing or shorter than the bytes sent.
std::optional<Block> loadBlockFile(const QString &path);

// 0x0F and the clock bytes of `moment` (gaps 0x00), back to back; nothing is awaited.
ExchangeResult setClock(ExchangeSession &session, const QDateTime &moment);

} // namespace ztk::common
