#include "transfer/ProductImage.h"

#include "products/ProductDataset.h"
#include "products/ProductFields.h"
#include "shared/DateText.h"
#include "shared/FileGuard.h"
#include "shared/Messages.h"

#include <QFile>
#include <QLocale>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace ztk {

namespace {

bool isNull(const QVariant &v) { return !v.isValid() || v.isNull(); }

// A field read as a whole number; `nullIsZero` for number columns, whose NULL reads as 0.
std::optional<qint64> wholeNumber(const QVariant &v, bool nullIsZero)
{
    if (isNull(v))
        return nullIsZero ? std::optional<qint64>(0) : std::nullopt;
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Bool:
        return v.toLongLong();
    case QMetaType::ULongLong:
        if (v.toULongLong() > quint64(std::numeric_limits<qint64>::max()))
            return std::nullopt;
        return v.toLongLong();
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = v.toDouble();
        if (!std::isfinite(d) || d != std::trunc(d) || std::fabs(d) > 9.0e18)
            return std::nullopt;
        return qint64(d);
    }
    default:
        break;
    }
    bool ok = false;
    const qint64 n = v.toString().trimmed().toLongLong(&ok, 10);
    if (!ok)
        return std::nullopt;
    return n;
}

std::optional<QDateTime> moment(const QVariant &v, const QDate &today, bool storeStamp)
{
    if (isNull(v))
        return std::nullopt;
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().isValid() ? std::optional<QDateTime>(v.toDateTime()) : std::nullopt;
    if (v.typeId() == QMetaType::QDate)
        return v.toDate().isValid() ? std::optional<QDateTime>(QDateTime(v.toDate(), QTime(0, 0))) : std::nullopt;
    const QString text = v.toString();
    return storeStamp ? datetext::parseStoreStamp(text, today) : datetext::parseYearFirst(text, today);
}

} // namespace

std::optional<std::int32_t> priceHundredths(const QVariant &price)
{
    if (isNull(price))
        return 0;
    double value = 0;
    bool ok = false;
    if (price.typeId() == QMetaType::QString || price.typeId() == QMetaType::QByteArray) {
        const QString text = price.toString().trimmed();
        value = QLocale::c().toDouble(text, &ok);
        if (!ok) // a text in the Russian form, with a comma
            value = QLocale::c().toDouble(QString(text).replace(QLatin1Char(','), QLatin1Char('.')), &ok);
    } else {
        value = price.toDouble(&ok);
    }
    if (!ok || !std::isfinite(value) || std::fabs(value) > 1.0e12)
        return std::nullopt;
    const long long tenThousandths = std::llround(value * 10000.0);
    const long long hundredths = tenThousandths / 100; // towards zero
    if (hundredths < std::numeric_limits<std::int32_t>::min() || hundredths > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return std::int32_t(hundredths);
}

std::vector<ProductRow> selectionRows(const ProductDataset &dataset)
{
    std::vector<ProductRow> rows;
    const int count = dataset.isOpen() ? dataset.recordCount() : 0;
    rows.reserve(std::size_t(std::max(count, 0)));
    static const char *const names[ProductRecord::NameLines] = {fld::Name, fld::Name2, fld::Name3, fld::Name4, fld::Name5};
    for (int i = 0; i < count; ++i) {
        ProductRow r;
        r.n = dataset.rowValue(i, fld::N);
        r.sk5 = dataset.rowValue(i, fld::SK5);
        r.price = dataset.rowValue(i, fld::Price);
        r.bestBefore = dataset.rowValue(i, fld::BestBefore);
        r.correctionStamp = dataset.rowValue(i, fld::CorrStamp);
        r.type = dataset.rowValue(i, fld::Type);
        r.prefix = dataset.rowValue(i, fld::Prefix);
        for (int line = 0; line < ProductRecord::NameLines; ++line)
            r.names[std::size_t(line)] = dataset.rowValue(i, names[line]).toString();
        rows.push_back(std::move(r));
    }
    return rows;
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

ProductRecord ProductImage::recordFromRow(const ProductRow &row, const QDate &today)
{
    ProductRecord rec;
    if (const auto sk5 = wholeNumber(row.sk5, true))
        rec.setBarcode(std::int32_t(std::uint32_t(*sk5))); // low 32 bits
    if (const auto price = priceHundredths(row.price))
        rec.setPriceHundredths(*price);
    for (int line = 1; line <= ProductRecord::NameLines; ++line)
        rec.setName(line, row.names[std::size_t(line - 1)]);
    if (const auto bestBefore = moment(row.bestBefore, today, false))
        rec.setBestBefore(*bestBefore);
    if (const auto stamp = moment(row.correctionStamp, today, true))
        rec.setCorrectionStamp(*stamp);
    if (const auto type = wholeNumber(row.type, false))
        rec.setType(std::uint8_t(*type & 0xFF));
    if (const auto prefix = wholeNumber(row.prefix, false))
        rec.setPrefix(std::uint8_t(*prefix & 0xFF));
    return rec;
}

void ProductImage::build(const std::vector<ProductRow> &rows, const std::optional<QSet<int>> &list, const QDate &today)
{
    std::fill_n(m_block.begin(), ImageSize, ProductRecord::Unset);
    // The rows come in ascending "N"; one out of order is left out without holding
    // back the rows after it.
    qint64 last = 0;
    for (const ProductRow &row : rows) {
        const auto n = wholeNumber(row.n, true);
        if (!n || *n < 1 || *n > SlotCount || *n <= last)
            continue;
        last = *n;
        if (list && !list->contains(int(*n)))
            continue;
        setSlot(int(*n) - 1, recordFromRow(row, today));
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

QString storeImageFile(const ProductImage &image, const QString &workDir, const QString &path)
{
    if (isProtectedFile(workDir, path))
        return msg::tr(msg::ProtectedFile).arg(path);
    QString why;
    if (!image.save(path, &why))
        return msg::tr(msg::CannotWriteFile).arg(path, why);
    return QString();
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
