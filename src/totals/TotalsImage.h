#pragma once
// TotalsImage: the scale's sales totals as the reply to 0x09 brings them, 153,600 bytes.
//
//   OFFSET    SIZE    CONTENT
//   0         51,200  section 0: per product, weight in thousandths or number of pieces
//   51,200    51,200  section 1: per product, money in hundredths
//   102,400   51,200  section 2: per product, number of weighings
//
// Each section is 200 pages of 256 bytes:
//
//   OFFSET    SIZE    CONTENT
//   0         128     32 counters, products 32p+1 .. 32p+32, 4 bytes each, unsigned LE
//   128       128     not used
//
// Products 1..5000 fill pages 0..156 (page 156 holds 4993..5000 in its first 8 slots);
// pages 157..199 are not used. Counter of product N in section s:
//   s * 51,200 + ((N - 1) / 32) * 256 + ((N - 1) % 32) * 4

#include "shared/LittleEndian.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace ztk {

// The three counters of one product, as the scale keeps them.
struct TotalsCounters {
    std::uint32_t amount = 0;     // weight in thousandths, or pieces
    std::uint32_t money = 0;      // hundredths
    std::uint32_t weighings = 0;

    bool operator==(const TotalsCounters &) const = default;
};

class TotalsImage {
public:
    static constexpr std::size_t Size = 153600;
    static constexpr int Sections = 3;
    static constexpr std::size_t SectionSize = 51200;
    static constexpr std::size_t PageSize = 256;
    static constexpr int CountersPerPage = 32;
    static constexpr std::size_t CounterSize = 4;
    static constexpr int AmountSection = 0;
    static constexpr int MoneySection = 1;
    static constexpr int WeighingsSection = 2;
    static constexpr int FirstProduct = 1;
    static constexpr int LastProduct = 5000;

    TotalsImage(); // every counter 0

    // The first Size bytes of `bytes`; Truncated when there are fewer.
    static Decoded<TotalsImage> decode(std::span<const std::uint8_t> bytes);

    // Where product `product` (1..5000) keeps its counter of `section` (0..2).
    static constexpr std::size_t counterOffset(int section, int product)
    {
        const std::size_t n = std::size_t(product - 1);
        return std::size_t(section) * SectionSize + (n / CountersPerPage) * PageSize + (n % CountersPerPage) * CounterSize;
    }

    // Products outside 1..5000 read as all 0 and are not written.
    TotalsCounters counters(int product) const;
    void setCounters(int product, const TotalsCounters &c);

    std::span<const std::uint8_t> bytes() const { return m_bytes; }
    QByteArray toByteArray() const;

    bool operator==(const TotalsImage &) const = default;

private:
    std::vector<std::uint8_t> m_bytes;
};

} // namespace ztk
