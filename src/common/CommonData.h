#pragma once
// CommonData, the scale's 512-byte block of common data. Numbers are little-endian;
// BCD is one packed decimal byte (45 -> 0x45).
//
//   OFFSET SIZE CONTENT
//        0   56 not used by the program (read, never written)
//       56    1 scale type (low four bits, index into ScaleTypes) and decimal point
//               position (high four bits, index into PointPositions); read only
//       57    3 not used
//       60    1 label number, bits 0-7
//       61    1 report-label number
//       62    1 label number, bits 16-23
//       63    1 label number, bits 24-31
//       64    8 CorrectionStamp: BCD seconds, minutes, hours, (67), BCD day, month,
//               year modulo 100, (71)
//       72    4 not used
//       76    2 ReadBackWord: kept by the settings after a reading
//       78    2 not used
//       80    4 ReadBackLong: kept by the settings after a reading
//       84   28 not used
//      112    4 (scale number << 24) | DateNumber (ddmmyy read as one decimal number)
//      116  112 WeightKeys: 28 x int32, key 1 first
//      228   28 not used
//      256   28 company name in code page 866; a shorter one is followed by a zero
//               byte and spaces
//      284    8 not used
//      292  112 PieceKeys: 28 x int32, key 1 first
//      404   28 28 spaces
//      432    1 automatic label output: 1 on, 0 off (read: any non-zero is on)
//      433   79 not used
//
// A block the program builds holds 0xFF wherever it puts nothing. Only offsets
// 60..499 are ever sent to the scale (command 0x05).

#include "shared/LittleEndian.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace ztk::common {

inline constexpr int BlockSize = 512;
inline constexpr int KeyCount = 28;
inline constexpr int NameSize = 28;

namespace at {
inline constexpr int ScaleType = 56;
inline constexpr int LabelNumber = 60; // four bytes, of which 61 is overwritten:
inline constexpr int ReportLabelNumber = 61;
inline constexpr int Stamp = 64;
inline constexpr int StampSize = 8;
inline constexpr int ReadBackWord = 76;
inline constexpr int ReadBackLong = 80;
inline constexpr int DateAndScale = 112;
inline constexpr int ScaleNumber = 115;
inline constexpr int WeightKeys = 116;
inline constexpr int CompanyName = 256;
inline constexpr int PieceKeys = 292;
inline constexpr int Spaces = 404;
inline constexpr int AutoLabel = 432;
inline constexpr int WriteFirst = 60; // 0x05 sends WriteFirst..WriteLast
inline constexpr int WriteLast = 499;
} // namespace at

using Block = std::array<std::uint8_t, BlockSize>;
using Keys = std::array<std::int32_t, KeyCount>;

// The items of the viewer's two combo boxes, in index order.
QStringList scaleTypes();     // "6/12", "6/2", "15/125", "15/25", "15/5", "30/510"
QStringList pointPositions(); // "xxxxxxx", "xxxxx.x", "xxxx.xx", "xxx.xxx"

// What a built block is made of: the common-data window's state at the moment of writing.
struct BlockInput {
    std::int8_t scaleNumber = 1;       // CSpinEdit2
    std::int32_t labelNumber = 0;      // CSpinEdit1, all 32 bits
    std::int8_t reportLabelNumber = 1; // the settings' ReportLabelNumber
    Keys weightKeys{};
    Keys pieceKeys{};
    QString companyName;               // Edit1 as typed; the block keeps its first 28 bytes
    bool autoLabel = false;
};

// DateNumber: day * 10000 + month * 100 + year % 100 (8 December 2026 -> 81226).
std::int32_t dateNumber(const QDate &date);
// The eight clock bytes of `moment`: BCD seconds, minutes, hours, `gap`, BCD day,
// month, year % 100, `gap` (0xFF in a block, 0x00 for command 0x0F).
std::array<std::uint8_t, 8> stampBytes(const QDateTime &moment, std::uint8_t gap);

// The block as "Запись ОД" builds it at `moment`.
Block buildBlock(const BlockInput &input, const QDateTime &moment);

// The viewer's fields, decoded from a block as the viewer shows them.
struct BlockView {
    QString companyName;     // up to the first zero byte, at most 28 bytes, from 866
    int scaleTypeIndex = -1; // into scaleTypes(); -1 when the low four bits are 6 or more
    int pointIndex = -1;     // into pointPositions(); -1 when the high four bits are 4 or more
    QString labelVariant;    // offset 60 as a signed byte
    QString reportLabelVariant; // offset 61 as a signed byte
    QString scaleNumber;     // offset 115 as a signed byte
    QString stamp;           // dd.mm.yy hh:mm:ss: the stamp bytes printed as two hex digits each
    bool autoLabel = false;
    QString weightKeys;      // the viewer's memo text of WeightKeys (keyListText)
    QString pieceKeys;
    std::uint16_t readBackWord = 0;
    std::uint32_t readBackLong = 0;
};

// Length-checked: fewer than 512 bytes is Truncated. Any byte values decode.
Decoded<BlockView> decodeBlock(std::span<const std::uint8_t> bytes);

// The viewer's fields one per line as its label (without trailing spaces), ": " and the
// text shown: a combo box without selection shows nothing, the check box "да" or "нет".
QStringList viewerLines(const BlockView &view);

// The viewer's memo text of 28 keys: each as a signed decimal followed by two spaces
// ("10  -1  ..."), one running text.
QString keyListText(const Keys &keys);

// The list rule of "Внести данные": the text is cut into tokens at every space and
// line end; each token reads as a decimal integer as far as it reads (optional sign,
// then digits); tokens that read 0 are skipped. At most 28 values, in order.
QList<std::int32_t> readKeyList(const QString &text);

} // namespace ztk::common
