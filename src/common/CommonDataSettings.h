#pragma once
// CommonDataSettings: the common-data window's per-scale settings and their file
// "VL" + scale number + ".cfg", 294 bytes, little-endian. The file holds the window's
// state, not the scale's block.
//
//   OFFSET SIZE CONTENT
//        0   28 CompanyName, code page 866, zero-ended when shorter (bytes after the
//               zero are written as zero)
//       28    1 NameTailByte (28 from window creation; kept, never interpreted)
//       29  112 WeightKeys, 28 x int32
//      141  112 PieceKeys, 28 x int32
//      253    1 KeptByte1
//      254    1 KeptByte2
//      255   29 reserved: written as zero, skipped when read
//      284    1 LabelNumber (signed, the low 8 bits of the label number)
//      285    1 ReportLabelNumber (signed)
//      286    1 ScaleNumber (signed)
//      287    2 ReadBackWord
//      289    4 ReadBackLong
//      293    1 ReadBackFlag

#include "common/CommonData.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>

namespace ztk::common {

struct CommonDataSettings {
    static constexpr int FileSize = 294;
    struct Offset {
        static constexpr int CompanyName = 0;
        static constexpr int NameTailByte = 28;
        static constexpr int WeightKeys = 29;
        static constexpr int PieceKeys = 141;
        static constexpr int KeptByte1 = 253;
        static constexpr int KeptByte2 = 254;
        static constexpr int Reserved = 255;
        static constexpr int LabelNumber = 284;
        static constexpr int ReportLabelNumber = 285;
        static constexpr int ScaleNumber = 286;
        static constexpr int ReadBackWord = 287;
        static constexpr int ReadBackLong = 289;
        static constexpr int ReadBackFlag = 293;
    };

    std::array<std::uint8_t, NameSize> companyName{}; // 866; a zero byte ends a shorter name
    std::uint8_t nameTailByte = 0;
    Keys weightKeys{};
    Keys pieceKeys{};
    std::uint8_t keptByte1 = 0;
    std::uint8_t keptByte2 = 0;
    std::int8_t labelNumber = 0;
    std::int8_t reportLabelNumber = 0;
    std::int8_t scaleNumber = 0;
    std::uint16_t readBackWord = 0;
    std::uint32_t readBackLong = 0;
    std::uint8_t readBackFlag = 0;

    // "VL" + the number in decimal + ".cfg".
    static QString fileName(int scaleNumber);

    // The name up to its zero byte, from 866.
    QString companyText() const;
    // The first 28 characters of `text` in 866, zero-filled.
    void setCompanyText(const QString &text);

    // The 294 bytes of the file.
    QByteArray toBytes() const;
    // Takes every field that `bytes` holds whole; a field that the bytes end in or
    // before keeps its value. Each key is a field of its own.
    void fromBytes(const QByteArray &bytes);
    // Whether a file of `size` bytes holds the whole field at `offset`.
    static bool holds(qsizetype size, int offset, int fieldSize) { return size >= offset + fieldSize; }

    // Reads the file (at most 294 bytes) into the fields; the bytes read, or -1 when
    // the file cannot be read.
    qsizetype load(const QString &path);
    // Creates the file, or opens it when it exists, and writes the 294 bytes from its
    // start (a longer file keeps its tail). False when it cannot be written.
    bool save(const QString &path) const;
};

} // namespace ztk::common
