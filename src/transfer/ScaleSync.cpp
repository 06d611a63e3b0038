#include "transfer/ScaleSync.h"

#include "shared/Messages.h"
#include "transfer/ProductClearer.h"
#include "transfer/ProductImage.h"
#include "transfer/ProductWriter.h"

namespace ztk {

SyncPlan planSync(const ProductImage &table, const std::vector<SlotContent> &known)
{
    SyncPlan plan;
    for (int slot = 0; slot < ProductImage::SlotCount; ++slot) {
        const SlotContent held = std::size_t(slot) < known.size() ? known[std::size_t(slot)] : SlotContent{};
        if (table.slotEmpty(slot)) {
            if (held.kind == SlotContent::Record)
                plan.clear.push_back(slot + 1);
            else if (held.kind == SlotContent::Empty)
                ++plan.unchanged;
            else
                ++plan.unknown;
            continue;
        }
        const QByteArray digest = recordDigest({table.slotData(slot), std::size_t(ProductRecord::Size)});
        if (held.kind == SlotContent::Record && held.digest == digest)
            ++plan.unchanged;
        else
            plan.write.push_back(slot);
    }
    return plan;
}

QString SyncReport::line() const
{
    return msg::text(msg::SyncDone).arg(written).arg(cleared).arg(plan.unchanged).arg(plan.unknown);
}

SyncReport planOnly(ScaleState &state, const ProductImage &table, bool full, QString *error)
{
    SyncReport report;
    std::vector<SlotContent> known;
    if (!full && !state.load(known) && error)
        *error = state.error();
    report.plan = planSync(table, known);
    return report;
}

QStringList planLines(const SyncPlan &plan, const ProductImage &table)
{
    QStringList lines;
    for (const int slot : plan.write) {
        const ProductRecord record = ProductRecord::decode({table.slotData(slot), std::size_t(ProductRecord::Size)}).value;
        lines << msg::text(msg::SyncWouldWrite).arg(slot + 1).arg(record.name(1).trimmed());
    }
    for (const int number : plan.clear)
        lines << msg::text(msg::SyncWouldClear).arg(number);
    return lines;
}

ExchangeResult syncScale(ExchangeSession &session, ScaleState &state, const ProductImage &table,
                         const SyncSettings &settings, SyncReport &report)
{
    std::int8_t answered = 0;
    if (const ExchangeResult asked = askScaleNumber(session, answered); !asked.ok)
        return asked;
    // What is known belongs to one scale: another one on this line starts from nothing.
    const std::optional<int> stateNumber = state.number();
    bool forget = settings.full;
    if (answered != settings.expectedNumber) {
        report.note = msg::text(msg::SyncOtherNumber).arg(int(answered)).arg(settings.expectedNumber);
        forget = true;
    } else if (stateNumber && *stateNumber != answered) {
        report.note = msg::text(msg::SyncOtherState).arg(*stateNumber).arg(int(answered));
        forget = true;
    }
    if (forget)
        state.forget();
    state.setNumber(answered);

    std::vector<SlotContent> known;
    if (!state.load(known))
        return ExchangeResult::failure(state.error());
    report.plan = planSync(table, known);
    const int total = int(report.plan.write.size() + report.plan.clear.size());

    // One gauge over the records and then the clears.
    const auto part = [&](int before) {
        return [&, before](const ProgressStep &step) {
            const int done = before + step.done;
            session.progress(total > 0 ? done * 100 / total : 100, done, total);
        };
    };
    if (!report.plan.write.empty()) {
        std::vector<SlotRecord> records;
        records.reserve(report.plan.write.size());
        for (const int slot : report.plan.write)
            records.push_back({slot, {table.slotData(slot), std::size_t(ProductRecord::Size)}});
        ExchangeSession writing(session.link, session.clock, session.pump, part(0));
        writing.watcher = &state;
        const ExchangeResult written = writeRecords(writing, records);
        report.written = written.done;
        if (!written.ok) {
            state.flush();
            return ExchangeResult::failure(written.message, report.written, total);
        }
    }
    if (!report.plan.clear.empty()) {
        ExchangeSession clearing(session.link, session.clock, session.pump, part(report.written));
        clearing.watcher = &state;
        const ExchangeResult cleared = clearProductList(clearing, report.plan.clear);
        report.cleared = cleared.done;
        if (!cleared.ok) {
            state.flush();
            return ExchangeResult::failure(cleared.message, report.written + report.cleared, total);
        }
    }
    state.flush();
    return ExchangeResult::success(report.written + report.cleared, total);
}

} // namespace ztk
