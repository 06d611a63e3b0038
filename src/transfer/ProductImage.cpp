#include "transfer/ProductImage.h"

#include "shared/DateText.h"
#include "shared/OutputFile.h"
#include "shared/Messages.h"

#include <QFile>
#include <QLocale>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace ztk {

namespace {

// A number column read as a whole number; NULL reads as 0.
std::optional<qint64> wholeNumber(const WholeField &f)
{
    if (f.value)
        return f.value;
    if (f.other.isNull())
        return 0;
    return std::nullopt;
}

// A text column read as a whole number; an empty text is none.
std::optional<qint64> wholeNumber(const QString &text)
{
    bool ok = false;
    const qint64 n = text.trimmed().toLongLong(&ok, 10);
    if (!ok)
        return std::nullopt;
    return n;
}

} // namespace

std::optional<std::int32_t> priceHundredths(const PriceField &price)
{
    if (price.isNull())
        return 0;
    if (!price.value)
        return std::nullopt;
    const qint64 hundredths = price.value->hundredthsTowardZero();
    if (hundredths < std::numeric_limits<std::int32_t>::min() || hundredths > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return std::int32_t(hundredths);
}

ProductImage::ProductImage() : m_block(BlockSize, 0)
{
    std::fill_n(m_block.begin(), ImageSize, ProductRecord::Unset);
}

void ProductImage::setSlot(int index, const ProductRecord &record)
{
    if (index < 0 || index >= SlotCount)
        return;
    std::memcpy(m_block.data() + std::size_t(index) * ProductRecord::Size, record.bytes.data(), ProductRecord::Size);
}

bool ProductImage::slotEmpty(int index) const
{
    const std::uint8_t *p = slotData(index);
    return std::all_of(p, p + ProductRecord::Size, [](std::uint8_t b) { return b == ProductRecord::Unset; });
}

int ProductImage::nonEmptyCount() const
{
    int n = 0;
    for (int i = 0; i < SlotCount; ++i)
        n += slotEmpty(i) ? 0 : 1;
    return n;
}

ProductRecord ProductImage::recordOf(const Product &product, const QDate &today)
{
    ProductRecord rec;
    if (const auto sk5 = wholeNumber(product.barcode))
        rec.setBarcode(std::int32_t(std::uint32_t(std::uint64_t(*sk5)))); // low 32 bits
    if (const auto price = priceHundredths(product.price))
        rec.setPriceHundredths(*price);
    for (int line = 1; line <= ProductRecord::NameLines; ++line)
        rec.setName(line, product.names[std::size_t(line - 1)]);
    if (const auto bestBefore = datetext::readYearFirst(product.bestBefore, today))
        rec.setBestBefore(*bestBefore);
    if (const auto stamp = datetext::readStoreStamp(product.correctionStamp, today))
        rec.setCorrectionStamp(*stamp);
    if (const auto type = wholeNumber(product.type))
        rec.setType(std::uint8_t(*type & 0xFF));
    if (const auto prefix = wholeNumber(product.prefix))
        rec.setPrefix(std::uint8_t(*prefix & 0xFF));
    return rec;
}

void ProductImage::build(const std::vector<Product> &rows, const std::optional<QSet<int>> &list, const QDate &today)
{
    std::fill_n(m_block.begin(), ImageSize, ProductRecord::Unset);
    // The rows come in ascending "N"; one out of order is left out without holding
    // back the rows after it.
    qint64 last = 0;
    for (const Product &row : rows) {
        const auto n = wholeNumber(row.number);
        if (!n || *n < 1 || *n > SlotCount || *n <= last)
            continue;
        last = *n;
        if (list && !list->contains(int(*n)))
            continue;
        setSlot(int(*n) - 1, recordOf(row, today));
    }
}

bool ProductImage::save(const QString &path, QString *error) const
{
    QFile file(path);
    const bool ok = file.open(QIODevice::ReadWrite) && file.seek(0)
        && file.write(reinterpret_cast<const char *>(m_block.data()), ImageSize) == ImageSize && file.flush();
    if (!ok && error)
        *error = file.errorString();
    return ok;
}

QByteArray ProductImage::toByteArray() const
{
    return QByteArray(reinterpret_cast<const char *>(m_block.data()), ImageSize);
}

QString storeImageFile(const ProductImage &image, const QString &workDir, const QString &path)
{
    return writeOutputFile(workDir, path, image.toByteArray(), msg::CannotWriteFile);
}

bool ProductImage::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.read(ImageSize);
    if (bytes.size() != ImageSize)
        return false;
    std::memcpy(m_block.data(), bytes.constData(), ImageSize);
    return true;
}

} // namespace ztk
