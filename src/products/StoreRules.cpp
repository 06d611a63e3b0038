#include "products/StoreRules.h"

#include "products/ProductDataset.h"
#include "shared/DateText.h"
#include "shared/Messages.h"
#include "shared/Seams.h"

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

void applyNumberLimit(Product &p, Prompter &prompter)
{
    if (p.number.value && *p.number.value > fld::MaxProductNumber) {
        prompter.message(MessageKind::Warning, msg::text(msg::NumberAbove5000));
        p.number = WholeField{qint64(0), {}};
    }
}

void applyStoreRules(Product &p, const QDateTime &now, TypeRule rule, const ColumnSet &present, int resultCount,
                     Prompter &prompter)
{
    applyStoreStamps(p, present, rule, now);
    if (present[std::size_t(ProductColumn::N)] && (!p.number.value || *p.number.value == 0)) {
        p.number = WholeField{qint64(resultCount) + 1, {}};
        applyNumberLimit(p, prompter);
    }
}

} // namespace ztk
