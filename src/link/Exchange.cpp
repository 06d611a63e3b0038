#include "link/Exchange.h"

#include "shared/Messages.h"

#include <algorithm>
#include <cassert>

namespace ztk {

void Frame::append(std::uint8_t byte)
{
    assert(m_size < Capacity);
    if (m_size < Capacity)
        m_bytes[m_size++] = byte;
}

Frame &Frame::word(std::uint16_t value)
{
    append(std::uint8_t(value & 0xFF));
    append(std::uint8_t(value >> 8));
    return *this;
}

Frame &Frame::bytes(std::span<const std::uint8_t> more)
{
    for (const std::uint8_t b : more)
        append(b);
    return *this;
}

bool ExchangeSession::requestAlone(Reception reception, const Frame &frame, WaitLimit limit, bool discardFirst,
                                   const std::function<void(int)> &received) const
{
    // Each time the quiet waited for is longer: the pause that passed for the end of
    // the earlier reply was one within it.
    for (const int quietFactor : {1, 4, 10}) {
        if (quietFactor > 1 && !link.settleLine(int(reply(reception).size()), pump, quietFactor))
            return false;
        if (!request(reception, frame, limit, discardFirst, received))
            return false;
        if (link.quietAfterReply(pump))
            return true;
    }
    return false;
}

const ExchangeResult &ExchangeSession::logged(Operation operation, const ExchangeResult &result,
                                              std::optional<ExchangeCounts> counts, const QString &doneLine)
{
    const QDateTime ended = clock.now();
    if (log)
        log->exchanged({operation, m_since, ended, counts ? *counts : countsOf(operation, result), result.ok,
                        result.ok ? doneLine : result.message});
    m_since = ended;
    return result;
}

ExchangeCounts countsOf(Operation operation, const ExchangeResult &result)
{
    switch (operation) {
    case Operation::WriteProducts:
        return {result.done, 0, 0};
    case Operation::ReadProducts:
        return {0, result.done, 0};
    case Operation::ClearProducts:
    case Operation::ClearTotals:
        return {0, 0, result.done};
    default:
        return {}; // no products: the common data, the totals image, the link's own
    }
}

ExchangeResult ExchangeResult::noLink(int done, int total)
{
    return failure(msg::text(msg::NoLink), done, total);
}

namespace {

// Every exchange, once: a new one adds its row here.
const OperationInfo Operations[] = {
    {Operation::LinkCheck, "link-check", msg::LinkCheckCaption},
    {Operation::ScaleNumber, "scale-number", msg::ViewerScaleNumber},
    {Operation::WriteProducts, "write-products", msg::WriteCaption},
    {Operation::ReadProducts, "read-products", msg::ReadCaption},
    {Operation::ClearProducts, "clear-products", msg::ClearRangeCaption},
    {Operation::ReadCommonData, "common-read", msg::CommonReadCaption},
    {Operation::WriteCommonData, "common-write", msg::CommonCaption},
    {Operation::SetClock, "set-clock", msg::CommonCaption},
    {Operation::ReceiveTotals, "totals", msg::TotalsCaption},
    {Operation::ClearTotals, "totals-clear", msg::TotalsCaption},
    {Operation::Sync, "sync", msg::SyncCaption},
};

} // namespace

const OperationInfo &operationInfo(Operation operation)
{
    const auto *found = std::find_if(std::begin(Operations), std::end(Operations),
                                     [operation](const OperationInfo &o) { return o.operation == operation; });
    assert(found != std::end(Operations));
    return *found;
}

ExchangeResult checkLink(ExchangeSession &session)
{
    if (!session.request(Reception::LinkProbe, Frame(cmd::LinkProbe), {cmd::LinkCheckWaitSeconds}, true))
        return ExchangeResult::noLink();
    return ExchangeResult::success(1, 1);
}

bool checkLinkOn(const PortConfig &config, const Clock &clock, EventPump &pump, Prompter &prompter)
{
    ScaleLink probe;
    bool answered = false;
    if (probe.open(config, prompter).port == SerialPort::Opened) {
        ExchangeSession session(probe, clock, pump);
        answered = checkLink(session).ok;
    }
    probe.stopReader();
    return answered;
}

ExchangeResult askScaleNumber(ExchangeSession &session, std::int8_t &number)
{
    if (!session.request(Reception::ByteReply, Frame(cmd::ScaleNumber), {cmd::WaitSeconds}, true))
        return ExchangeResult::noLink();
    number = std::int8_t(session.reply(Reception::ByteReply)[0]);
    return ExchangeResult::success(1, 1);
}

} // namespace ztk
