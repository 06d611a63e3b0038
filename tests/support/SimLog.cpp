#include "support/SimLog.h"

#include "link/Commands.h"

namespace ztk::test {

namespace {

int wordAt(const QByteArray &log, qsizetype at)
{
    return int(std::uint8_t(log[at])) | (int(std::uint8_t(log[at + 1])) << 8);
}

} // namespace

std::vector<SentCommand> parseSentCommands(const QByteArray &log)
{
    std::vector<SentCommand> out;
    qsizetype i = 0;
    const auto has = [&](qsizetype n) { return i + n <= log.size(); };
    while (i < log.size()) {
        SentCommand c;
        c.command = std::uint8_t(log[i++]);
        switch (c.command) {
        case cmd::LinkProbe:
        case cmd::ScaleNumber:
        case cmd::ReadTotals:
        case cmd::ReadCommonData:
            break;
        case cmd::ReadRecord:
        case cmd::ClearTotals:
        case cmd::ClearProduct:
            if (!has(2))
                return out;
            c.argument = wordAt(log, i);
            i += 2;
            break;
        case cmd::SetClock:
            if (!has(8))
                return out;
            i += 8;
            break;
        case cmd::WriteCommonData:
            if (!has(cmd::CommonDataWriteSize))
                return out;
            i += cmd::CommonDataWriteSize;
            break;
        case cmd::WriteProducts: {
            if (!has(2))
                return out;
            c.argument = wordAt(log, i);
            i += 2;
            for (int k = 0; k < c.argument && has(2 + cmd::RecordSize); ++k) {
                c.slots.push_back(wordAt(log, i));
                i += 2 + cmd::RecordSize;
            }
            break;
        }
        default:
            return out;
        }
        out.push_back(std::move(c));
    }
    return out;
}

std::vector<int> writtenSlots(const std::vector<SentCommand> &commands)
{
    std::vector<int> slots;
    for (const SentCommand &c : commands) {
        if (c.command == cmd::WriteProducts)
            slots.insert(slots.end(), c.slots.begin(), c.slots.end());
    }
    return slots;
}

std::vector<int> clearedProducts(const std::vector<SentCommand> &commands)
{
    std::vector<int> numbers;
    for (const SentCommand &c : commands) {
        if (c.command == cmd::ClearProduct)
            numbers.push_back(c.argument);
    }
    return numbers;
}

} // namespace ztk::test
