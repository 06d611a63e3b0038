#include "transfer/ScaleSync.h"

#include "shared/Messages.h"

#include <algorithm>
#include "transfer/ProductClearer.h"
#include "transfer/ProductImage.h"
#include "transfer/ProductWriter.h"

#include <QCoreApplication>
#include <QSysInfo>

namespace ztk {

namespace {

// A sync on another PC that has not been seen for this long has gone.
constexpr int StaleSyncSeconds = 120;

} // namespace

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

Difference differenceOf(const ProductImage &table, int slot, const ProductRecord &read)
{
    const bool inTable = !table.slotEmpty(slot);
    const bool inScale = !read.isEmpty();
    if (inTable && inScale)
        return std::equal(read.bytes.begin(), read.bytes.end(), table.slotData(slot)) ? Difference::None
                                                                                      : Difference::Differs;
    if (inScale)
        return Difference::OnlyInScale;
    return inTable ? Difference::OnlyInTable : Difference::None;
}

QString differenceText(Difference difference, int number)
{
    switch (difference) {
    case Difference::None:
        break;
    case Difference::Differs:
        return msg::text(msg::CompareDiffers).arg(number);
    case Difference::OnlyInScale:
        return msg::text(msg::CompareOnlyScale).arg(number);
    case Difference::OnlyInTable:
        return msg::text(msg::CompareOnlyTable).arg(number);
    }
    return QString();
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

QString syncHolder()
{
    return QStringLiteral("%1:%2").arg(QSysInfo::machineHostName()).arg(QCoreApplication::applicationPid());
}

ScaleStatus syncOnScale(ScaleJob &job, const SyncJob &sync, const QString &stateName, int expectedNumber)
{
    OwnScaleState own(sync.workDir, sync.storeUrl, stateName, job.clock, &job.prompter);
    ScaleState *state = own.state();
    if (!state) {
        job.prompter.message(msg::text(msg::StateNotKept).arg(own.error()));
        return ScaleStatus::BadInput;
    }
    // Two PCs at one scale would each send what the other already sent.
    QString heldBy;
    if (!state->claim(syncHolder(), StaleSyncSeconds, heldBy)) {
        job.prompter.message(msg::text(msg::SyncHeldBy).arg(heldBy.isEmpty() ? state->error() : heldBy));
        return ScaleStatus::BadInput;
    }
    ExchangeSession session = job.session();
    SyncReport report;
    const ExchangeResult r = syncScale(session, *state, *sync.table, SyncSettings{expectedNumber, sync.full}, report);
    session.logged(Operation::Sync, r, ExchangeCounts{report.written, 0, report.cleared}, report.line());
    if (!report.note.isEmpty())
        job.prompter.message(report.note);
    if (!r.ok)
        job.prompter.message(r.message);
    job.print(report.line());
    state->recordSync(r.ok ? report.line() : r.message);
    state->release();
    return r.ok ? ScaleStatus::Done : ScaleStatus::NoAnswer;
}

} // namespace ztk
