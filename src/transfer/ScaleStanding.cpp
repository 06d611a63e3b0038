#include "transfer/ScaleStanding.h"

#include "products/ProductStore.h"
#include "products/Selection.h"
#include "shared/Messages.h"
#include "transfer/ProductImage.h"

namespace ztk {

std::unique_ptr<ProductImage> tableImage(ProductStore &store, const QDate &today, QString &error)
{
    std::vector<Product> rows;
    if (!store.select(wholeBaseSql(), rows)) {
        error = store.errorText();
        return nullptr;
    }
    auto image = std::make_unique<ProductImage>();
    image->build(rows, std::nullopt, today);
    return image;
}

QString ScaleStanding::text() const
{
    if (inStep() && plan.unknown == 0)
        return msg::text(msg::StandingInStep);
    return msg::text(msg::StandingWaiting).arg(plan.write.size()).arg(plan.clear.size()).arg(plan.unknown);
}

bool scaleStandings(ProductStore &store, const QList<ScaleEntry> &scales, const ScaleList &list,
                    const ProductImage &table, const Clock &clock, std::vector<ScaleStanding> &out, QString &error)
{
    out.clear();
    if (!ScaleState::prepare(store)) {
        error = store.errorText();
        return false;
    }
    for (const ScaleEntry &scale : scales) {
        ScaleStanding s;
        s.scale = scale;
        s.stateName = scale.name.isEmpty() ? list.nameOfPort(scale.port) : scale.name;
        ScaleState state(store, s.stateName, clock);
        std::vector<SlotContent> known;
        if (!state.load(known)) {
            error = state.error();
            return false;
        }
        s.plan = planSync(table, known);
        s.last = state.lastSync();
        out.push_back(std::move(s));
    }
    return true;
}

} // namespace ztk
