#include "totals/TotalsImage.h"

#include <algorithm>

namespace ztk {

namespace {
bool validProduct(int product)
{
    return product >= TotalsImage::FirstProduct && product <= TotalsImage::LastProduct;
}
} // namespace

static_assert(TotalsImage::Size == TotalsImage::Sections * TotalsImage::SectionSize);
static_assert(TotalsImage::counterOffset(2, TotalsImage::LastProduct) + TotalsImage::CounterSize
              <= TotalsImage::Size);

TotalsImage::TotalsImage() : m_bytes(Size, 0) {}

Decoded<TotalsImage> TotalsImage::decode(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < Size)
        return Decoded<TotalsImage>::truncated(bytes.size(), Size);
    Decoded<TotalsImage> d;
    std::copy_n(bytes.begin(), Size, d.value.m_bytes.begin());
    d.have = bytes.size();
    d.need = Size;
    return d;
}

TotalsCounters TotalsImage::counters(int product) const
{
    if (!validProduct(product))
        return {};
    return {le::get4(m_bytes, counterOffset(AmountSection, product)),
            le::get4(m_bytes, counterOffset(MoneySection, product)),
            le::get4(m_bytes, counterOffset(WeighingsSection, product))};
}

void TotalsImage::setCounters(int product, const TotalsCounters &c)
{
    if (!validProduct(product))
        return;
    le::put4(m_bytes, counterOffset(AmountSection, product), c.amount);
    le::put4(m_bytes, counterOffset(MoneySection, product), c.money);
    le::put4(m_bytes, counterOffset(WeighingsSection, product), c.weighings);
}

QByteArray TotalsImage::toByteArray() const
{
    return QByteArray(reinterpret_cast<const char *>(m_bytes.data()), qsizetype(m_bytes.size()));
}

} // namespace ztk
