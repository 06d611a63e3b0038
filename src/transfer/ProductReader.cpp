#include "transfer/ProductReader.h"

#include "link/Commands.h"
#include "link/ScaleLink.h"
#include "shared/Messages.h"

#include <algorithm>
#include <array>

namespace ztk {

namespace readback {

std::optional<int> fieldNumber(const QString &text)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    if (!ok)
        return std::nullopt;
    return n;
}

int heldNumber(qint64 value)
{
    return int(std::clamp<qint64>(value, FirstNumber, LastNumber));
}

Range widened(int first, int last)
{
    Range r{first, last};
    if (r.first > LastNumber)
        r.first = LastNumber - 1;
    if (r.last > LastNumber)
        r.last = LastNumber;
    if (r.last <= r.first)
        r.last = heldNumber(qint64(r.first) + 1);
    return r;
}

int readGauge(int k, int count)
{
    return k * 100 / (count + 1) + 1;
}

} // namespace readback

ProductReader::ProductReader(ScaleLink &link, const Clock &clock, EventPump &pump)
    : m_link(link), m_clock(clock), m_pump(pump)
{
}

ReadResult ProductReader::read(int first, int last, const Received &received, const Progress &progress)
{
    ReadResult r;
    for (qint64 i = first; i <= last; ++i) {
        if (progress)
            progress(r.read);
        m_pump.pump();
        // The 0-based slot index, low 16 bits, low byte first.
        const auto slot = std::uint16_t(i - 1);
        const std::array<std::uint8_t, 3> command = {cmd::ReadRecord, std::uint8_t(slot & 0xFF), std::uint8_t(slot >> 8)};
        if (!m_link.receive(Reception::Record, command, {cmd::WaitSeconds}, m_clock, m_pump)) {
            // A reply cut short may still trickle in: drop it, so the next exchange starts clean.
            m_link.discardAll();
            r.message = msg::text(msg::NoLink);
            return r;
        }
        const Decoded<ProductRecord> record = ProductRecord::decode(m_link.received(Reception::Record));
        if (!record) { // the link hands over the whole buffer, so this would be a broken link
            r.message = msg::text(msg::NoLink);
            return r;
        }
        // Noise in the shape of a record: nothing of it, nor of what follows, is taken.
        if (!record.value.plausible()) {
            m_link.discardAll();
            r.message = msg::text(msg::RecordImplausible).arg(i);
            return r;
        }
        if (received)
            received(r.read, int(i), record.value);
        ++r.read;
    }
    r.ok = true;
    return r;
}

} // namespace ztk
