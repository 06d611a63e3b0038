#include "transfer/ProductReader.h"

#include "link/Commands.h"
#include "link/ScaleLink.h"
#include "shared/Messages.h"

#include <algorithm>

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

ExchangeResult readProducts(ExchangeSession &session, int first, int last, const RecordReceived &received)
{
    const int count = last >= first ? last - first + 1 : 0;
    int read = 0;
    for (qint64 i = first; i <= last; ++i) {
        session.progress(readback::readGauge(read, count), read, count);
        session.pump.pump();
        // The 0-based slot index, low 16 bits.
        const Frame command = Frame(cmd::ReadRecord).word(std::uint16_t(i - 1));
        // The first reply is checked to stand alone: an interrupted read may still be
        // sending; the replies after it follow requests of this read only.
        const bool whole = read == 0 ? session.requestAlone(Reception::Record, command, {cmd::WaitSeconds})
                                     : session.request(Reception::Record, command, {cmd::WaitSeconds});
        if (!whole) {
            // A reply cut short may still trickle in: drop it, so the next exchange starts clean.
            session.link.discardAll();
            return ExchangeResult::noLink(read, count);
        }
        const Decoded<ProductRecord> record = ProductRecord::decode(session.reply(Reception::Record));
        if (!record) // the link hands over the whole buffer, so this would be a broken link
            return ExchangeResult::noLink(read, count);
        // Noise in the shape of a record: nothing of it, nor of what follows, is taken.
        if (!record.value.plausible()) {
            session.link.discardAll();
            return ExchangeResult::failure(msg::text(msg::RecordImplausible).arg(i), read, count);
        }
        if (session.watcher)
            session.watcher->holds(int(i - 1), record.value.bytes, SlotWatcher::Source::Read);
        if (received)
            received(read, int(i), record.value);
        ++read;
    }
    return ExchangeResult::success(read, count);
}

} // namespace ztk
