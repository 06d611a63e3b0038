#pragma once
// ProductImage: the PC-side copy of the scale's product database, 5000 ProductRecords
// in slot order (slot n-1 holds product n), kept in "BDforVes.bd" as exactly its
// 1,280,000 bytes. Built from the rows of the current selection.

#include "products/Product.h"
#include "shared/ProductRecord.h"

#include <QDate>
#include <QSet>
#include <QString>
#include <QVariant>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace ztk {

class ProductImage {
public:
    static constexpr int SlotCount = 5000;
    static constexpr int ImageSize = SlotCount * ProductRecord::Size; // the file, 1,280,000 bytes
    static constexpr int SpareSize = 513;                              // after the image, never written
    static constexpr int BlockSize = ImageSize + SpareSize;

    ProductImage(); // 5000 empty slots

    // Slot index 0..4999.
    const std::uint8_t *slotData(int index) const { return m_block.data() + std::size_t(index) * ProductRecord::Size; }
    ProductRecord slot(int index) const { return ProductRecord::decode({slotData(index), std::size_t(ProductRecord::Size)}).value; }
    void setSlot(int index, const ProductRecord &record);
    bool slotEmpty(int index) const; // all 256 bytes 0xFF
    int nonEmptyCount() const;
    const std::uint8_t *data() const { return m_block.data(); }

    // Fills the slots from `rows` (ascending "N"). A row whose "N" is not a number
    // 1..5000 above the last one taken is skipped and the walk goes on. With `list`
    // only its numbers get records. `today` places two-digit years.
    void build(const std::vector<Product> &rows, const std::optional<QSet<int>> &list, const QDate &today);
    // One record from one product; a field that does not convert leaves its bytes 0xFF.
    static ProductRecord recordOf(const Product &product, const QDate &today);

    // Creates the file when missing and writes the 1,280,000 bytes from offset 0.
    // False and the system's reason in `error` when the file cannot be written.
    bool save(const QString &path, QString *error = nullptr) const;
    QByteArray toByteArray() const;
    // False (and the image unchanged) when the file is missing, unreadable or shorter than the image.
    bool load(const QString &path);

private:
    std::vector<std::uint8_t> m_block;
};

// Stores `image` as the output file `path` for the sending step (OutputFile). Empty on
// success; else the message to show: a protected file of `workDir` (the store, a
// settings file, or a link to one) is refused, and a file that cannot be written is
// named with the reason, the old file then as it was.
QString storeImageFile(const ProductImage &image, const QString &workDir, const QString &path);

// Whole hundredths of a price, exactly: the fraction of a hundredth dropped towards
// zero (0.29 -> 29, 12.345 -> 1234); NULL is 0. Nothing when the stored value is no
// number or does not fit 32 bits.
std::optional<std::int32_t> priceHundredths(const PriceField &price);

} // namespace ztk
