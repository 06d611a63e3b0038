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

ProductWriter::ProductWriter(ScaleLink &link, const Clock &clock, EventPump &pump, Progress progress)
    : m_link(link), m_clock(clock), m_pump(pump), m_progress(std::move(progress))
{
}

WriteResult ProductWriter::sendFile(const QString &path)
{
    // A short file would leave slots undefined: nothing is sent from it.
    auto image = std::make_unique<ProductImage>();
    if (!image->load(path)) {
        WriteResult r;
        r.message = msg::text(msg::CannotOpenForReading);
        return r;
    }
    return send(*image);
}

WriteResult ProductWriter::send(const ProductImage &image)
{
    WriteResult r;
    r.announced = image.nonEmptyCount();

    // The words the stages send: the count, then each non-empty slot's index.
    std::vector<std::uint8_t> words(std::size_t(r.announced + 1) * 2);
    std::vector<AckStage> stages;
    stages.reserve(std::size_t(r.announced) * 2 + 1);
    le::put2(words, 0, std::uint16_t(r.announced));
    stages.push_back({std::span<const std::uint8_t>(words).subspan(0, 2), 2});
    std::size_t at = 2;
    for (int i = 0; i < ProductImage::SlotCount; ++i) {
        if (image.slotEmpty(i))
            continue;
        le::put2(words, at, std::uint16_t(i));
        stages.push_back({std::span<const std::uint8_t>(words).subspan(at, 2), 2});
        stages.push_back({{image.slotData(i), std::size_t(ProductRecord::Size)}, 1});
        at += 2;
    }

    // Acknowledgements taken from the tail of an earlier reply would claim records the
    // scale never took: the line must be quiet first.
    if (!m_link.settleLine(stages.front().acks, m_pump)) {
        r.message = msg::noLinkAtStage(failedStage(0));
        return r;
    }
    m_link.discardAll();
    ScaleLink::AckSession session(m_link); // stray bytes during the pause are dropped uncounted
    m_link.sendByte(cmd::WriteProducts);
    PacedSchedule(m_clock, m_pump).waitUntil(PauseAfterCommandMs);

    // The gauge after each acknowledged record, from the records done before it.
    int reported = 0;
    const auto progress = [&](int stagesDone) {
        const int records = stagesDone >= 1 ? (stagesDone - 1) / 2 : 0;
        for (; reported < records; ++reported) {
            if (m_progress)
                m_progress(r.announced > 0 ? reported * 100 / r.announced : 0);
        }
    };
    const int done = m_link.runAcknowledged(stages, {cmd::WaitSeconds}, m_clock, m_pump, progress);
    r.sent = done >= 1 ? (done - 1) / 2 : 0;
    if (done < int(stages.size())) {
        m_link.discardAll();
        r.message = msg::noLinkAtStage(failedStage(done));
        return r;
    }
    r.ok = true;
    return r;
}

} // namespace ztk
