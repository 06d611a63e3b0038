#include "transfer/ProductWriter.h"

#include "link/Commands.h"
#include "link/ScaleLink.h"
#include "shared/Messages.h"
#include "shared/Pacing.h"
#include "transfer/ProductImage.h"

#include <memory>
#include <vector>

namespace ztk {

namespace {

constexpr int PauseAfterCommandMs = 100;

// The stage of the write a failed acknowledgement belongs to: 1 the count, 2 a slot
// index, 3 a record. Stage 0 of the exchange is the count, then index and record by turns.
int failedStage(int stagesDone)
{
    if (stagesDone == 0)
        return 1;
    return stagesDone % 2 == 1 ? 2 : 3;
}

} // namespace

ExchangeResult writeRecords(ExchangeSession &session, std::span<const SlotRecord> records,
                            const Acknowledged &acknowledged)
{
    const int announced = int(records.size());
    ScaleLink &link = session.link;

    // The words the stages send: the count, then each record's slot index.
    std::vector<Frame> words;
    words.reserve(records.size() + 1);
    words.push_back(Frame().word(std::uint16_t(announced)));
    for (const SlotRecord &r : records)
        words.push_back(Frame().word(std::uint16_t(r.slot)));
    std::vector<AckStage> stages;
    stages.reserve(records.size() * 2 + 1);
    stages.push_back({words.front().span(), 2});
    for (std::size_t i = 0; i < records.size(); ++i) {
        stages.push_back({words[i + 1].span(), 2});
        stages.push_back({records[i].bytes.first(std::size_t(ProductRecord::Size)), 1});
    }

    // Acknowledgements taken from the tail of an earlier reply would claim records the
    // scale never took: the line must be quiet first.
    if (!link.settleLine(stages.front().acks, session.pump))
        return ExchangeResult::failure(msg::noLinkAtStage(failedStage(0)), 0, announced);
    if (session.watcher && !records.empty()) {
        std::vector<int> slots;
        slots.reserve(records.size());
        for (const SlotRecord &r : records)
            slots.push_back(r.slot);
        session.watcher->sending(slots);
    }
    link.discardAll();
    ScaleLink::AckSession ackSession(link); // stray bytes during the pause are dropped uncounted
    link.sendByte(cmd::WriteProducts);
    PacedSchedule(session.clock, session.pump).waitUntil(PauseAfterCommandMs);

    // The gauge after each acknowledged record, from the records done before it.
    int reported = 0;
    const auto progress = [&](int stagesDone) {
        const int done = stagesDone >= 1 ? (stagesDone - 1) / 2 : 0;
        for (; reported < done; ++reported) {
            const SlotRecord &record = records[std::size_t(reported)];
            if (session.watcher)
                session.watcher->holds(record.slot, record.bytes.first(std::size_t(ProductRecord::Size)),
                                       SlotWatcher::Source::Acknowledged);
            if (acknowledged)
                acknowledged(record.slot);
            session.progress(announced > 0 ? reported * 100 / announced : 0, reported + 1, announced);
        }
    };
    const int done = link.runAcknowledged(stages, {cmd::WaitSeconds}, session.clock, session.pump, progress);
    const int sent = done >= 1 ? (done - 1) / 2 : 0;
    if (done < int(stages.size())) {
        link.discardAll();
        return ExchangeResult::failure(msg::noLinkAtStage(failedStage(done)), sent, announced);
    }
    return ExchangeResult::success(sent, announced);
}

ExchangeResult writeProducts(ExchangeSession &session, const ProductImage &image, const Acknowledged &acknowledged)
{
    std::vector<SlotRecord> records;
    records.reserve(std::size_t(image.nonEmptyCount()));
    for (int i = 0; i < ProductImage::SlotCount; ++i) {
        if (!image.slotEmpty(i))
            records.push_back({i, {image.slotData(i), std::size_t(ProductRecord::Size)}});
    }
    return writeRecords(session, records, acknowledged);
}

ExchangeResult writeProductFile(ExchangeSession &session, const QString &path, const Acknowledged &acknowledged)
{
    // A short file would leave slots undefined: nothing is sent from it.
    auto image = std::make_unique<ProductImage>();
    if (!image->load(path))
        return ExchangeResult::failure(msg::text(msg::CannotOpenForReading));
    return writeProducts(session, *image, acknowledged);
}

} // namespace ztk
