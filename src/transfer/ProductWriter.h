#pragma once
// Writing product records into the scale with the command 0x07: the count, then for
// each record its 0-based slot index and its 256 bytes, every stage acknowledged by the
// scale. AckCount is on for the whole write and off again on every way out; a stage
// not acknowledged within 15 s ends the write at once with its stage digit
// ("2 Возможно, нет связи с весами").

#include "link/Exchange.h"

#include <QString>

#include <functional>
#include <span>

namespace ztk {

class ProductImage;

// One record to write: its 0-based slot and its ProductRecord::Size bytes.
struct SlotRecord {
    int slot = 0;
    std::span<const std::uint8_t> bytes;
};

// Told each slot whose record the scale acknowledged, in order.
using Acknowledged = std::function<void(int slot)>;

// The records in the order given, the count announced being their number. The result
// counts the records acknowledged of those announced; the gauge after each record is
// the records before it * 100 / the count.
ExchangeResult writeRecords(ExchangeSession &session, std::span<const SlotRecord> records,
                            const Acknowledged &acknowledged = {});
// Every non-empty slot of the image.
ExchangeResult writeProducts(ExchangeSession &session, const ProductImage &image, const Acknowledged &acknowledged = {});
// The image of the file "BDforVes.bd": missing or shorter than the image -> "Не могу
// открыть файл на чтение" and nothing sent.
ExchangeResult writeProductFile(ExchangeSession &session, const QString &path, const Acknowledged &acknowledged = {});

} // namespace ztk
