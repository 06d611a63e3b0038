#include "common/CommonExchange.h"

#include "link/Commands.h"
#include "link/ScaleLink.h"
#include "shared/Pacing.h"

#include <QFile>

#include <algorithm>

namespace ztk::common {

std::optional<Block> readBlock(ScaleLink &link, const Clock &clock, EventPump &pump)
{
    const std::uint8_t command[] = {cmd::ReadCommonData};
    if (!link.receive(Reception::CommonData, command, {cmd::CommonDataWaitSeconds}, clock, pump))
        return std::nullopt;
    const std::span<const std::uint8_t> reply = link.received(Reception::CommonData);
    Block block{};
    std::copy_n(reply.begin(), std::min(reply.size(), block.size()), block.begin());
    return block;
}

bool sendBlock(ScaleLink &link, const Block &block, const Clock &clock, EventPump &pump,
               const std::function<void(int)> &progress)
{
    PacedSchedule schedule(clock, pump);
    if (!link.sendByte(cmd::WriteCommonData))
        return false;
    qint64 due = PauseAfterCommandMs;
    schedule.waitUntil(due);
    for (int i = at::WriteFirst; i <= at::WriteLast; ++i) {
        if (!link.sendByte(block[std::size_t(i)]))
            return false;
        if (progress)
            progress(writePercent(i));
        due += PauseAfterByteMs;
        schedule.waitUntil(due);
    }
    return true;
}

bool saveBlockFile(const QString &path, const Block &block)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite) || !file.seek(0))
        return false;
    const qint64 size = qint64(block.size());
    return file.write(reinterpret_cast<const char *>(block.data()), size) == size && file.flush();
}

std::optional<Block> loadBlockFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.read(BlockSize);
    if (bytes.size() <= at::WriteLast)
        return std::nullopt;
    Block block;
    block.fill(0xFF);
    std::copy(bytes.begin(), bytes.end(), block.begin());
    return block;
}

bool setClock(ScaleLink &link, const QDateTime &moment)
{
    return link.sendByte(cmd::SetClock) && link.sendBytes(stampBytes(moment, 0x00));
}

} // namespace ztk::common
