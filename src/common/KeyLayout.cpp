#include "common/KeyLayout.h"

namespace ztk::common {

std::optional<QStringList> KeyLayout::cells() const
{
    const int n = tickedCount();
    if (n == 0)
        return std::nullopt;
    QStringList out;
    for (int r = 0; r < n; ++r)
        out << (r < memoLines().size() ? memoLines().at(r) : QString());
    while (out.size() < MaxTicked)
        out << out.first();
    return out;
}

QStringList KeyLayout::noPieceProducts()
{
    QStringList out;
    for (int r = 0; r < MaxTicked; ++r)
        out << QString::fromLatin1(NoPieceProduct);
    return out;
}

} // namespace ztk::common
