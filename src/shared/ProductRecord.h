#pragma once
// ProductRecord: one slot of the scale's product database, 256 bytes, the same layout
// written to the scale and read back from it. Numbers little-endian; every byte not
// named here stays 0xFF; an empty slot is all 0xFF.
//
//   OFFSET SIZE CONTENT
//        0    4 barcode part (SK5), signed 32-bit
//        4   28 name line 1, ScaleText
//       32    4 price in hundredths, signed 32-bit (read back as unsigned)
//       36   28 name line 2, ScaleText
//       64   28 name line 3, ScaleText
//       92    1 product type: 0 by weight, 1 by the piece
//       93   28 name line 4, ScaleText
//      121   28 name line 5, ScaleText
//      149   28 best-before as ScaleDateText
//      177    3 best-before time: seconds, minutes, hours (BCD)
//      180    1 0xFF
//      181    3 best-before date: day, month, year within the century (BCD)
//      184   26 0xFF
//      210    3 correction stamp time: seconds, minutes, hours (BCD)
//      213    1 0xFF
//      214    3 correction stamp date: day, month, year within the century (BCD)
//      217   37 0xFF
//      254    1 prefix, low 8 bits
//      255    1 0xFF

#include "shared/DateText.h"
#include "shared/LittleEndian.h"

#include <QDateTime>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

namespace ztk {

class ProductRecord {
public:
    static constexpr int Size = 256;
    static constexpr std::uint8_t Unset = 0xFF;

    static constexpr int BarcodeOffset = 0;
    static constexpr int BarcodeSize = 4;
    static constexpr int Name1Offset = 4;
    static constexpr int PriceOffset = 32;
    static constexpr int PriceSize = 4;
    static constexpr int Name2Offset = 36;
    static constexpr int Name3Offset = 64;
    static constexpr int TypeOffset = 92;
    static constexpr int Name4Offset = 93;
    static constexpr int Name5Offset = 121;
    static constexpr int BestBeforeTextOffset = 149;
    static constexpr int BestBeforeSecondOffset = 177;
    static constexpr int BestBeforeMinuteOffset = 178;
    static constexpr int BestBeforeHourOffset = 179;
    static constexpr int BestBeforeDayOffset = 181;
    static constexpr int BestBeforeMonthOffset = 182;
    static constexpr int BestBeforeYearOffset = 183;
    static constexpr int BestBeforeEnd = 184;       // one past the last best-before byte
    static constexpr int CorrectionSecondOffset = 210;
    static constexpr int CorrectionMinuteOffset = 211;
    static constexpr int CorrectionHourOffset = 212;
    static constexpr int CorrectionDayOffset = 214;
    static constexpr int CorrectionMonthOffset = 215;
    static constexpr int CorrectionYearOffset = 216;
    static constexpr int PrefixOffset = 254;
    static constexpr int NameLines = 5;
    static constexpr std::array<int, NameLines> NameOffsets = {Name1Offset, Name2Offset, Name3Offset, Name4Offset,
                                                               Name5Offset};

    using Bytes = std::array<std::uint8_t, Size>;

    ProductRecord() { bytes.fill(Unset); } // an empty slot
    // A record from the first 256 bytes of `data`; fewer bytes give DecodeError::Truncated
    // and nothing is read past the end.
    static Decoded<ProductRecord> decode(std::span<const std::uint8_t> data);

    Bytes bytes;

    bool isEmpty() const; // all 256 bytes 0xFF
    // False for bytes no scale holds (what a line at another speed brings): a stamp
    // (best-before or correction, six BCD bytes) that is neither absent (all 0xFF) nor
    // valid BCD within its range (seconds and minutes 0-59, hours 0-23, day 1-31,
    // month 1-12). Names, prices and the type byte can be anything.
    bool plausible() const;
    bool unset(int offset, int size) const; // bytes offset..offset+size-1 all 0xFF

    // --- building
    void setBarcode(std::int32_t sk5);
    void setPriceHundredths(std::int32_t hundredths);
    void setName(int line, const QString &text); // line 1..5, as ScaleText
    void setType(std::uint8_t type) { bytes[TypeOffset] = type; }
    void setPrefix(std::uint8_t prefix) { bytes[PrefixOffset] = prefix; }
    // The text, the time (00:00:00 for a plain date) and the date, BCD.
    void setBestBefore(const datetext::WallTime &moment);
    void setCorrectionStamp(const datetext::WallTime &moment);

    // --- reading back
    std::int32_t barcode() const { return std::int32_t(le::get4(bytes, BarcodeOffset)); }
    std::uint32_t priceHundredths() const { return le::get4(bytes, PriceOffset); }
    QString name(int line) const;       // decoded ScaleText, fill kept
    QString bestBeforeText() const;     // decoded ScaleDateText, fill kept
    std::uint8_t type() const { return bytes[TypeOffset]; }
    std::int8_t prefix() const { return std::int8_t(bytes[PrefixOffset]); }
    // The BCD stamp as a moment; nothing when a byte is not BCD or the date is invalid.
    // The year falls in the hundred years of datetext::fullYear.
    std::optional<QDateTime> bestBefore(const QDate &today) const;
    std::optional<QDateTime> correctionStamp(const QDate &today) const;

private:
    void putStamp(int secondOffset, int dayOffset, const datetext::WallTime &moment);
    std::optional<QDateTime> stamp(int secondOffset, int dayOffset, const QDate &today) const;
};

} // namespace ztk
