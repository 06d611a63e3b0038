#pragma once
// What the PC sent the simulator, command by command, from its byte log.

#include <QByteArray>

#include <cstdint>
#include <vector>

namespace ztk::test {

struct SentCommand {
    std::uint8_t command = 0;
    int argument = 0;        // the word after it (0x0A, 0x0B, 0x0C), or the count of 0x07
    std::vector<int> slots;  // 0x07: the 0-based slots written, in order
};

// Commands the simulator does not know, and a log cut short, end the list.
std::vector<SentCommand> parseSentCommands(const QByteArray &log);

// The slots of every 0x07 and the numbers of every 0x0C in the list.
std::vector<int> writtenSlots(const std::vector<SentCommand> &commands);
std::vector<int> clearedProducts(const std::vector<SentCommand> &commands);

} // namespace ztk::test
