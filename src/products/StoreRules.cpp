#include "products/StoreRules.h"

#include "products/ProductDataset.h"
#include "shared/DateText.h"

namespace ztk {

void applyStoreStamps(Product &p, const ColumnSet &has, TypeRule rule, const QDateTime &now)
{
    if (has[std::size_t(ProductColumn::Date)])
        p.date = datetext::yearFirst(now.date());
    if (has[std::size_t(ProductColumn::Time)])
        p.time = datetext::longTime(now.time());
    if (has[std::size_t(ProductColumn::Type)]) {
        if (rule == TypeRule::Weight)
            p.type = QStringLiteral("0");
        else if (rule == TypeRule::Piece)
            p.type = QStringLiteral("1");
    }
    if (has[std::size_t(ProductColumn::CorrStamp)])
        p.correctionStamp = datetext::storeStamp(now);
}

} // namespace ztk
