#include "transfer/ScaleStanding.h"

#include "products/ProductStore.h"
#include "products/Selection.h"
#include "shared/Messages.h"
#include "transfer/ProductImage.h"

#include <algorithm>

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

QString ScalesSummary::text() const
{
    QString t = msg::text(msg::ScalesSummary).arg(inStep).arg(waiting).arg(unreachable);
    if (last)
        t += QStringLiteral("; ")
            + msg::text(msg::LastExchange)
                  .arg(last->ended.toString(QStringLiteral("dd.MM HH:mm")), last->scale, last->operation,
                       msg::text(last->ok ? msg::OutcomeOk : msg::OutcomeFailed));
    return t;
}

bool summarizeScales(ProductStore &store, const ScaleList &list, const Clock &clock, ScalesSummary &out,
                     QString &error)
{
    out = ScalesSummary{};
    const std::unique_ptr<ProductImage> table = tableImage(store, clock.now().date(), error);
    std::vector<ScaleStanding> standings;
    std::vector<JournalRow> lastRows;
    if (!table || !scaleStandings(store, list.scales(), list, *table, clock, standings, error))
        return false;
    if (!ExchangeJournal::lastOfEachScale(store, lastRows)) {
        error = store.errorText();
        return false;
    }
    for (const ScaleStanding &s : standings) {
        const auto row = std::find_if(lastRows.begin(), lastRows.end(),
                                      [&](const JournalRow &r) { return r.scale == s.stateName; });
        if (row != lastRows.end() && !row->ok)
            ++out.unreachable;
        else if (s.inStep())
            ++out.inStep;
        else
            ++out.waiting;
        if (row != lastRows.end() && (!out.last || row->id > out.last->id))
            out.last = *row;
    }
    return true;
}

} // namespace ztk
