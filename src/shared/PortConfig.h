#pragma once
// PortConfig and its file "fbdves.cfg" (19 bytes, no header):
//
//   OFFSET SIZE CONTENT
//        0   10 port name, 0-terminated; the bytes after the terminator are those of
//               the in-memory name field (always zeros here)
//       10    4 baud rate, signed 32-bit little-endian
//       14    4 stop-bits index, signed 32-bit little-endian (0 one, 1 one and a half, 2 two)
//       18    1 LastScaleNumber
//
// The parity index lives only in memory.

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace ztk {

// The line speed of a scale whose speed nobody gave (the scales list, ztk-cli without
// "fbdves.cfg" and --baud).
inline constexpr std::int32_t DefaultLineSpeed = 9600;

struct PortConfig {
    static constexpr int FileSize = 19;
    static constexpr int NameOffset = 0;
    static constexpr int NameSize = 10;
    static constexpr int BaudOffset = 10;
    static constexpr int StopBitsOffset = 14;
    static constexpr int LastScaleOffset = 18;
    static constexpr int MaxNameLength = 9;

    QByteArray portName;            // at most 9 single-byte characters
    std::int32_t baudRate = 0;
    std::int32_t stopBitsIndex = 0;
    std::int16_t parityIndex = 0;   // never stored in the file
    std::uint8_t lastScaleNumber = 0;

    // The 19 bytes of the file.
    QByteArray toBytes() const;
    // Reads what there is: a short file or an unterminated name leaves the rest at
    // its present values.
    void fromBytes(const QByteArray &bytes);

    // True when the file existed (and was read, even if short).
    bool load(const QString &path);
    // The file's settings, or, when it is missing, port COM1 (speed 0) with scale 1;
    // `missing` tells the caller to show "CFG-файл отсутствует, назначен порт COM1".
    static PortConfig loadOrDefault(const QString &path, bool *missing);
    // Creates the file when missing, then overwrites its first 19 bytes in place;
    // a longer file keeps its tail. False when the file cannot be written.
    bool save(const QString &path) const;
};

} // namespace ztk
