#include "transfer/ProductWriter.h"

#include "link/Commands.h"
#include "link/ScaleLink.h"
#include "shared/Messages.h"
#include "transfer/ProductImage.h"

#include <QElapsedTimer>
#include <chrono>
#include <memory>
#include <thread>

namespace ztk {

namespace {

constexpr int PauseAfterCommandMs = 100;

// AckCount off, whichever way the write ends.
struct AckOff {
    ScaleLink &link;
    ~AckOff()
    {
        link.armAck(0);
        link.ack.on.store(false, std::memory_order_release);
    }
};

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
        r.message = msg::tr(msg::CannotOpenForReading);
        return r;
    }
    return send(*image);
}

void ProductWriter::pause(int ms)
{
    // Measured by the clock (a fast clock shortens it), and never longer than the real
    // time, so a clock that stands still cannot hold the write.
    const QDateTime start = m_clock.now();
    QElapsedTimer real;
    real.start();
    while (start.msecsTo(m_clock.now()) < ms && real.elapsed() < ms) {
        m_pump.pump();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

bool ProductWriter::waitAck()
{
    return m_link.receptionWait([this] { return m_link.ack.done.load(std::memory_order_acquire); }, cmd::WaitSeconds,
                                m_clock, m_pump);
}

WriteResult ProductWriter::send(const ProductImage &image)
{
    WriteResult r;
    r.announced = image.nonEmptyCount();

    m_link.discardAll();
    m_link.armAck(0); // on with expected 0: stray bytes are dropped uncounted
    m_link.ack.on.store(true, std::memory_order_release);
    AckOff off{m_link};

    const auto fail = [&](int stage) {
        m_link.discardAll();
        r.message = msg::noLinkAtStage(stage);
        return r;
    };

    m_link.sendByte(cmd::WriteProducts);
    pause(PauseAfterCommandMs);

    m_link.armAck(2);
    m_link.sendWord(std::uint16_t(r.announced));
    if (!waitAck())
        return fail(1);
    m_link.armAck(0);

    for (int i = 0; i < ProductImage::SlotCount; ++i) {
        if (image.slotEmpty(i))
            continue;
        m_link.armAck(2);
        m_link.sendWord(std::uint16_t(i));
        if (!waitAck())
            return fail(2);
        m_link.armAck(0);

        m_link.armAck(1);
        const std::uint8_t *p = image.slotData(i);
        for (int b = 0; b < ProductRecord::Size; ++b)
            m_link.sendByte(p[b]);
        if (!waitAck())
            return fail(3);
        m_link.armAck(0);

        if (m_progress)
            m_progress(r.announced > 0 ? r.sent * 100 / r.announced : 0);
        m_pump.pump();
        ++r.sent;
    }
    r.ok = true;
    return r;
}

} // namespace ztk
