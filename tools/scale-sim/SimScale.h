#pragma once
// The simulated scale: its memory (product slots, common data, totals, clock) and
// the byte-by-byte command machine that answers the PC. No I/O here: the caller
// feeds received bytes and sends what comes back.

#include "shared/LittleEndian.h"

#include <QDateTime>
#include <QString>

#include <cstdint>
#include <vector>

namespace ztk::sim {

using Bytes = std::vector<std::uint8_t>;

// The scale's memory, optionally kept in a state folder as products.bin (5000 x 256),
// common.bin (512), totals.bin (153,600) and clock.bin (8).
struct ScaleMemory {
    ScaleMemory();
    Bytes products; // slot n-1 holds product n; an empty slot is all 0xFF
    Bytes common;
    Bytes totals;
    Bytes clock;    // as the PC sent it with 0x0F

    // The common data of a new scale numbered `number`: its number, a company name,
    // keys 1..28 in both layouts, label and report label 1, scale type "6/12" with the
    // point at "xxxx.xx", the stamp of `made`.
    static Bytes factoryCommonData(std::uint8_t number, const QDateTime &made);

    // Loads the files that exist (a short file fills what it has).
    void load(const QString &dir);
    // Writes every file through a temporary name and a rename; false on an error.
    bool save(const QString &dir) const;

    // Gives product n (1..5000) these totals: weight or pieces, money, weighings.
    void setTotals(int product, std::uint32_t amount, std::uint32_t money, std::uint32_t weighings);
    // Takes a kept reception (exactly 153,600 bytes) as the totals; false otherwise.
    bool loadTotals(const QString &path);
};

struct Faults {
    bool silent = false;       // never answer anything
    int noAckStage = 0;        // during 0x07: 1 the count, 2 a slot index, 3 a record (0 off)
    int noAckOccurrence = 1;   // which index or record of the write goes unanswered (1-based)
    bool shortReplies = false; // 0x04, 0x09 and 0x0A answer half of their bytes
    int cutBytes = 0;          // 0x04, 0x09 and 0x0A answer this many bytes fewer...
    int cutOccurrence = 0;     // ...only in their K-th reply (1-based), or in every one (0)
    bool stray = false;        // stray bytes at start-up and after each command without a reply
    bool noise = false;        // every reply of its length, but noise: a line at another speed
};

class ScaleMachine {
public:
    static constexpr std::uint8_t StrayByte = 0xEE;
    static constexpr int StrayCount = 3;

    ScaleMachine(ScaleMemory &memory, Faults faults, std::uint8_t number);

    // Takes one byte from the PC; appends the bytes to send back to `out`.
    void feed(std::uint8_t byte, Bytes &out);
    // True while a command waits for its argument bytes.
    bool waitingForArguments() const { return m_state != State::Idle; }
    // The arguments stopped coming: back to idle (what was stored so far stays).
    void abandon();
    // True once after each completed change of the memory.
    bool takeChanged();
    // The stray bytes sent at start-up (none unless that fault is on).
    Bytes startUpBytes() const;

private:
    enum class State { Idle, CommonWrite, WriteCount, WriteIndex, WriteRecord, ReadIndex, ClearTotals, ClearProduct, SetClock };

    void expect(State state, int bytes);
    void finishArguments(Bytes &out);
    void reply(Bytes &out, const std::uint8_t *data, std::size_t size, bool shortened);
    void replyByte(Bytes &out, std::uint8_t byte);
    void ackWrite(Bytes &out, int stage, int occurrence, int bytes);
    void endWithoutReply(Bytes &out);
    int word() const { return m_args.size() < 2 ? 0 : le::get2(m_args, 0); }

    ScaleMemory &m_mem;
    Faults m_faults;
    std::uint32_t m_noise = 0x2545F491u; // the noise's state, the same run after run
    std::uint8_t m_number;

    State m_state = State::Idle;
    Bytes m_args;
    std::size_t m_need = 0;
    bool m_dirty = false;   // the memory changed during the command in progress
    bool m_changed = false; // a command that changed the memory is over

    // The 0x07 write in progress.
    int m_writeCount = 0;
    int m_writeDone = 0;
    int m_writeSlot = 0;
    int m_indexesSeen = 0;
    bool m_muted = false;
    int m_longReplies = 0; // replies of 0x04, 0x09 and 0x0A so far
};

} // namespace ztk::sim
