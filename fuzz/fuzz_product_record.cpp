// libFuzzer target: a record as received from the scale, every field decoded, shown as
// the read window's cells and converted back into the fields a save would store. Any
// bytes, any length: a short input must be refused cleanly, anything else must decode
// without a crash.
#include "shared/ProductRecord.h"
#include "transfer/ReadbackRow.h"

#include <QDate>
#include <QLocale>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QLocale russian(QLocale::Russian, QLocale::Russia);
    const std::span<const std::uint8_t> bytes(data, size);
    // Two bytes after the record, when there are, pick the product number.
    const int number = size >= 258 ? int(data[256]) | (int(data[257]) << 8) : 1;
    const ztk::Decoded<QStringList> row = ztk::readback::decodeRow(number, bytes, russian);
    if (!row) {
        if (row.error != ztk::DecodeError::Truncated || row.have != size || size >= 256)
            __builtin_trap();
        return 0;
    }
    if (row.value.size() != ztk::readback::ColumnCount)
        __builtin_trap();
    const ztk::readback::RowConversion fields = ztk::readback::fieldsOf(row.value, QDate(2026, 12, 8), russian);
    if (!fields.fields || fields.fields->number != number)
        __builtin_trap(); // column 0 is always the number given
    (void)ztk::readback::skippedBySave(row.value);

    const ztk::ProductRecord record = ztk::ProductRecord::decode(bytes).value;
    const QDate today(2026, 12, 8);
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
