// A product record as received from the scale: 256 bytes, every field decoded.
#include "shared/ProductRecord.h"

#include <QDate>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < ztk::ProductRecord::Size)
        return 0;
    const ztk::ProductRecord record = ztk::ProductRecord::fromBytes(data);
    const QDate today(2026, 12, 8);
    for (int line = 1; line <= ztk::ProductRecord::NameLines; ++line)
        (void)record.name(line).size();
    (void)record.bestBeforeText();
    (void)record.barcode();
    (void)record.priceHundredths();
    (void)record.type();
    (void)record.prefix();
    const auto bestBefore = record.bestBefore(today);
    const auto stamp = record.correctionStamp(today);
    if ((bestBefore && !bestBefore->isValid()) || (stamp && !stamp->isValid()))
        std::abort();
    // A stamp read back is written back to the same moment.
    if (stamp) {
        ztk::ProductRecord copy = record;
        copy.setCorrectionStamp(*stamp);
        if (copy.correctionStamp(today) != stamp)
            std::abort();
    }
    return 0;
}
