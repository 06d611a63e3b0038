#pragma once
// How each scale of the list stands against the product table, from what it is known
// to hold: in step, or so many products to write and to clear, so many slots unknown;
// and its last sync. Nothing is asked of the scales.

#include "link/ScaleList.h"
#include "transfer/ExchangeJournal.h"
#include "transfer/ScaleState.h"
#include "transfer/ScaleSync.h"

#include <QDate>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

namespace ztk {

class ProductImage;
class ProductStore;

// Every product of the table as the image build makes it; nothing with `error`.
std::unique_ptr<ProductImage> tableImage(ProductStore &store, const QDate &today, QString &error);

struct ScaleStanding {
    ScaleEntry scale;
    QString stateName; // the scale's name in the state
    SyncPlan plan;
    std::optional<ScaleState::LastSync> last;
    bool inStep() const { return plan.write.empty() && plan.clear.empty(); }
    // "в порядке", or "записать: 1, удалить: 0, неизвестно: 4980"
    QString text() const;
};

// The standing of each scale; false with the store's text in `error`.
bool scaleStandings(ProductStore &store, const QList<ScaleEntry> &scales, const ScaleList &list,
                    const ProductImage &table, const Clock &clock, std::vector<ScaleStanding> &out, QString &error);

// The scales of the list at a glance: in step, with changes waiting, or unreachable
// (their last exchange failed); and the last exchange with any of them.
struct ScalesSummary {
    int inStep = 0;
    int waiting = 0;
    int unreachable = 0;
    std::optional<JournalRow> last;
    // "Весы: в порядке 2, ждут изменений 1, нет связи 0; последний обмен 10:15: …"
    QString text() const;
};
bool summarizeScales(ProductStore &store, const ScaleList &list, const Clock &clock, ScalesSummary &out,
                     QString &error);

} // namespace ztk
