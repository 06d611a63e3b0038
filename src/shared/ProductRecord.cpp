#include "shared/ProductRecord.h"

#include "shared/Bcd.h"
#include "shared/DateText.h"
#include "shared/ScaleText.h"

#include <algorithm>
#include <cstring>

namespace ztk {

Decoded<ProductRecord> ProductRecord::decode(std::span<const std::uint8_t> data)
{
    if (data.size() < std::size_t(Size))
        return Decoded<ProductRecord>::truncated(data.size(), Size);
    Decoded<ProductRecord> d;
    std::copy_n(data.begin(), Size, d.value.bytes.begin());
    return d;
}

bool ProductRecord::isEmpty() const
{
    return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == Unset; });
}

bool ProductRecord::plausible() const
{
    const auto stampOk = [this](int secondOffset, int dayOffset) {
        if (unset(secondOffset, 3) && unset(dayOffset, 3))
            return true;
        struct Field {
            int offset, low, high;
        };
        const Field fields[] = {{secondOffset, 0, 59},  {secondOffset + 1, 0, 59}, {secondOffset + 2, 0, 23},
                                {dayOffset, 1, 31},     {dayOffset + 1, 1, 12},    {dayOffset + 2, 0, 99}};
        for (const Field &f : fields) {
            const std::optional<int> v = bcd::decode(bytes[std::size_t(f.offset)]);
            if (!v || *v < f.low || *v > f.high)
                return false;
        }
        return true;
    };
    return stampOk(BestBeforeSecondOffset, BestBeforeDayOffset) && stampOk(CorrectionSecondOffset, CorrectionDayOffset);
}

bool ProductRecord::unset(int offset, int size) const
{
    if (offset < 0 || size < 0 || offset + size > Size)
        return false;
    return std::all_of(bytes.begin() + offset, bytes.begin() + offset + size, [](std::uint8_t b) { return b == Unset; });
}

void ProductRecord::setBarcode(std::int32_t sk5) { le::put4(bytes, BarcodeOffset, std::uint32_t(sk5)); }

void ProductRecord::setPriceHundredths(std::int32_t hundredths) { le::put4(bytes, PriceOffset, std::uint32_t(hundredths)); }

void ProductRecord::setName(int line, const QString &text)
{
    if (line < 1 || line > NameLines)
        return;
    const QByteArray t = scaletext::encode(text);
    std::memcpy(&bytes[NameOffsets[line - 1]], t.constData(), scaletext::Size);
}

void ProductRecord::setBestBefore(const datetext::WallTime &moment)
{
    const QByteArray t = scaletext::encodeDate(moment);
    std::memcpy(&bytes[BestBeforeTextOffset], t.constData(), scaletext::Size);
    putStamp(BestBeforeSecondOffset, BestBeforeDayOffset, moment);
}

void ProductRecord::setCorrectionStamp(const datetext::WallTime &moment)
{
    putStamp(CorrectionSecondOffset, CorrectionDayOffset, moment);
}

void ProductRecord::putStamp(int secondOffset, int dayOffset, const datetext::WallTime &moment)
{
    const QTime t = moment.time;
    const QDate d = moment.date;
    bytes[secondOffset] = bcd::encode(t.second());
    bytes[secondOffset + 1] = bcd::encode(t.minute());
    bytes[secondOffset + 2] = bcd::encode(t.hour());
    bytes[dayOffset] = bcd::encode(d.day());
    bytes[dayOffset + 1] = bcd::encode(d.month());
    bytes[dayOffset + 2] = bcd::encode(d.year() % 100);
}

QString ProductRecord::name(int line) const
{
    if (line < 1 || line > NameLines)
        return QString();
    return scaletext::decode(&bytes[NameOffsets[line - 1]]);
}

QString ProductRecord::bestBeforeText() const { return scaletext::decodeDate(&bytes[BestBeforeTextOffset]); }

std::optional<QDateTime> ProductRecord::bestBefore(const QDate &today) const
{
    return stamp(BestBeforeSecondOffset, BestBeforeDayOffset, today);
}

std::optional<QDateTime> ProductRecord::correctionStamp(const QDate &today) const
{
    return stamp(CorrectionSecondOffset, CorrectionDayOffset, today);
}

std::optional<QDateTime> ProductRecord::stamp(int secondOffset, int dayOffset, const QDate &today) const
{
    const auto s = bcd::decode(bytes[secondOffset]), m = bcd::decode(bytes[secondOffset + 1]),
               h = bcd::decode(bytes[secondOffset + 2]);
    const auto day = bcd::decode(bytes[dayOffset]), month = bcd::decode(bytes[dayOffset + 1]),
               year = bcd::decode(bytes[dayOffset + 2]);
    if (!s || !m || !h || !day || !month || !year)
        return std::nullopt;
    const QDate date(datetext::fullYear(*year, today), *month, *day);
    const QTime time(*h, *m, *s);
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return QDateTime(date, time);
}

} // namespace ztk
