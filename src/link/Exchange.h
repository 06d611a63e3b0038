#pragma once
// The one shape of every exchange with the scale:
//
//   ExchangeResult someExchange(ExchangeSession &session, <its arguments>);
//
// The session holds the link, the clock and the event pump, frames every command
// (Frame) and reports progress through one callback; the result says whether it
// succeeded, the message to show when not, and how much was done. Each exchange
// names its Operation, registered once in the table of Exchange.cpp, which gives
// the journal its name and the windows their caption.

#include "link/Commands.h"
#include "link/ScaleLink.h"
#include "shared/Seams.h"

#include <QDateTime>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

namespace ztk {

// A command as it goes on the line: its command byte (none for the words of an
// acknowledged write), then its arguments, 16-bit words low byte first.
class Frame {
public:
    static constexpr std::size_t Capacity = 16;

    Frame() = default;
    explicit Frame(std::uint8_t command) { append(command); }
    Frame &word(std::uint16_t value);
    Frame &bytes(std::span<const std::uint8_t> more);
    std::span<const std::uint8_t> span() const { return {m_bytes.data(), m_size}; }

private:
    void append(std::uint8_t byte);
    std::array<std::uint8_t, Capacity> m_bytes{};
    std::size_t m_size = 0;
};

// How far the exchange under way is: its gauge (0..100, as the exchange's window
// shows it) and its count, `done` of `total` (records, products, bytes).
struct ProgressStep {
    int percent = 0;
    int done = 0;
    int total = 0;
};
using Progress = std::function<void(const ProgressStep &step)>;

struct ExchangeResult {
    bool ok = false;
    QString message; // empty on success; else the text to show
    int done = 0;    // how much was done: records, products, bytes, as the exchange counts
    int total = 0;   // of how much

    static ExchangeResult success(int done = 0, int total = 0) { return {true, QString(), done, total}; }
    static ExchangeResult failure(const QString &message, int done = 0, int total = 0)
    {
        return {false, message, done, total};
    }
    // "Возможно, нет связи с весами"
    static ExchangeResult noLink(int done = 0, int total = 0);
};

// What an exchange does, for the journal and the windows' captions.
enum class Operation {
    LinkCheck,
    ScaleNumber,
    WriteProducts,
    ReadProducts,
    ClearProducts,
    ReadCommonData,
    WriteCommonData,
    SetClock,
    ReceiveTotals,
    ClearTotals,
    Sync,
};

struct OperationInfo {
    Operation operation;
    const char *name;    // as the journal and ztk-cli name it: "write-products"
    const char *caption; // the wait window's caption (UTF-8)
};
const OperationInfo &operationInfo(Operation operation);

// How many products an exchange wrote, read and cleared, as the journal counts them.
struct ExchangeCounts {
    int written = 0;
    int read = 0;
    int cleared = 0;
};
// What an exchange of `operation` that did `result.done` counts as.
ExchangeCounts countsOf(Operation operation, const ExchangeResult &result);

// Told of every exchange with one scale as it ends: the journal of exchanges. Called
// on the thread of the exchange; it must not hold the line up.
class ExchangeLog {
public:
    struct Entry {
        Operation operation = Operation::LinkCheck;
        QDateTime started, ended;
        ExchangeCounts counts;
        bool ok = false;
        QString message; // the failure's message, or a line on what was done
    };
    virtual ~ExchangeLog() = default;
    virtual void exchanged(const Entry &entry) = 0;
};

// Told what the scale's product slots (0-based) hold as the exchanges change them, so
// that what each scale holds can be known without reading it back. It never hears of
// more than the scale acknowledged: a record is announced before it goes (unknown
// from then on) and held only once acknowledged or read.
class SlotWatcher {
public:
    virtual ~SlotWatcher() = default;
    // These slots are about to be written or cleared: their content is unknown now.
    virtual void sending(std::span<const int> slots) = 0;
    // The slot holds this record (all 0xFF: empty): the scale acknowledged it, or gave
    // it back when it was read.
    enum class Source { Acknowledged, Read };
    virtual void holds(int slot, std::span<const std::uint8_t> record, Source source) = 0;
    // The slot was cleared.
    virtual void cleared(int slot) = 0;
    // Keeps what it was told and has not kept yet; false when it could not.
    virtual bool flush() = 0;
};

// Everything an exchange is given. The references outlive the session.
class ExchangeSession {
public:
    ExchangeSession(ScaleLink &link, const Clock &clock, EventPump &pump, Progress progress = {})
        : link(link), clock(clock), pump(pump), m_progress(std::move(progress)), m_since(clock.now()) {}

    ScaleLink &link;
    const Clock &clock;
    EventPump &pump;

    void progress(int percent, int done, int total) const
    {
        if (m_progress)
            m_progress(ProgressStep{percent, done, total});
    }
    // A command the scale does not answer: false when the line did not take it.
    bool send(const Frame &frame) const { return link.sendBytes(frame.span()); }
    // A request and its whole reply within `limit` (ScaleLink::receive).
    bool request(Reception reception, const Frame &frame, WaitLimit limit, bool discardFirst = false,
                 const std::function<void(int received)> &received = {}) const
    {
        return link.receive(reception, frame.span(), limit, clock, pump, discardFirst, received);
    }
    // The same, and then the line must stay quiet (ScaleLink::quietAfterReply): a reply
    // that began with an earlier one's tail is asked for again, after a longer quiet.
    // False when the third one is not alone either.
    bool requestAlone(Reception reception, const Frame &frame, WaitLimit limit, bool discardFirst = false,
                      const std::function<void(int received)> &received = {}) const;
    std::span<const std::uint8_t> reply(Reception reception) const { return link.received(reception); }

    // What is told of the slots; none by default.
    SlotWatcher *watcher = nullptr;
    // Where each exchange is journalled; none by default.
    ExchangeLog *log = nullptr;

    // Journals the exchange that ended with `result`: begun when the session was made
    // or the last one was journalled. `counts` by default as countsOf() gives them;
    // `doneLine`: what a success showed. Returns `result`.
    const ExchangeResult &logged(Operation operation, const ExchangeResult &result,
                                 std::optional<ExchangeCounts> counts = std::nullopt,
                                 const QString &doneLine = QString());

private:
    Progress m_progress;
    QDateTime m_since;
};



// --- the link's own exchanges

// The link check: 0x0D after DiscardAll, any one byte back within 3 s.
ExchangeResult checkLink(ExchangeSession &session);
// The link check on a port of its own (a port about to be listed), the link in use left
// alone: false when the port does not open (said through `prompter`) or nothing answers.
bool checkLinkOn(const PortConfig &config, const Clock &clock, EventPump &pump, Prompter &prompter);
// The scale-number query: 0x13 after DiscardAll, one byte back within 15 s, read as a
// signed number into `number`.
ExchangeResult askScaleNumber(ExchangeSession &session, std::int8_t &number);

} // namespace ztk
