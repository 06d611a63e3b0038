#pragma once
// The exchanges of the common data with the scale: reading the block (0x04, 512 bytes
// within 35 s), writing it (0x05, offsets 60..499 paced 200 ms after the command and
// 20 ms after each byte, nothing back), setting the clock (0x0F and eight bytes) and
// "BDpost.pd", the file of the last block built.

#include "common/CommonData.h"
#include "shared/Seams.h"

#include <QString>

#include <functional>
#include <optional>

namespace ztk {
class ScaleLink;
}

namespace ztk::common {

inline constexpr int PauseAfterCommandMs = 200;
inline constexpr int PauseAfterByteMs = 20;

// CommonDataReceive with count 0, then 0x04 (the queues are not discarded), and a wait
// of 35 s. The 512 bytes, or nothing on a time-out (the mode is off again).
std::optional<Block> readBlock(ScaleLink &link, const Clock &clock, EventPump &pump);

// The gauge of a write after sending offset i: i * 100 / 508 + 1.
inline int writePercent(int offset) { return offset * 100 / 508 + 1; }

// 0x05, then offsets 60..499 of `block`, each followed by its pause; `progress` is
// told the gauge after each byte. Pauses run on one schedule from the command byte,
// so the whole write takes 200 ms + 440 x 20 ms, by `clock` and at most in real time.
// False, and the rest not sent, at the first byte the line did not take.
bool sendBlock(ScaleLink &link, const Block &block, const Clock &clock, EventPump &pump,
               const std::function<void(int percent)> &progress = {});

// "BDpost.pd": created when missing and the 512 bytes written from its start. False
// when it cannot be written.
bool saveBlockFile(const QString &path, const Block &block);
// The block of the file; nothing when it is missing or shorter than the bytes sent.
std::optional<Block> loadBlockFile(const QString &path);

// 0x0F and the clock bytes of `moment` (gaps 0x00), back to back; nothing is awaited.
// False when the line did not take them (no port, no connection).
bool setClock(ScaleLink &link, const QDateTime &moment);

} // namespace ztk::common
