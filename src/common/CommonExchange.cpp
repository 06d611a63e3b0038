#include "common/CommonExchange.h"

#include "link/Commands.h"
#include "shared/Pacing.h"

#include <QFile>

#include <algorithm>

namespace ztk::common {

ExchangeResult readBlock(ExchangeSession &session, Block &block)
{
    if (!session.request(Reception::CommonData, Frame(cmd::ReadCommonData), {cmd::CommonDataWaitSeconds}))
        return ExchangeResult::noLink();
    const std::span<const std::uint8_t> reply = session.reply(Reception::CommonData);
    std::copy_n(reply.begin(), std::min(reply.size(), block.size()), block.begin());
    return ExchangeResult::success(int(block.size()), int(block.size()));
}

ExchangeResult writeBlock(ExchangeSession &session, const Block &block)
{
    constexpr int total = at::WriteLast - at::WriteFirst + 1;
    PacedSchedule schedule(session.clock, session.pump);
    if (!session.send(Frame(cmd::WriteCommonData)))
        return ExchangeResult::noLink(0, total);
    qint64 due = PauseAfterCommandMs;
    schedule.waitUntil(due);
    for (int i = at::WriteFirst; i <= at::WriteLast; ++i) {
        const std::uint8_t byte[] = {block[std::size_t(i)]};
        if (!session.link.sendBytes(byte))
            return ExchangeResult::noLink(i - at::WriteFirst, total);
        session.progress(writePercent(i), i - at::WriteFirst + 1, total);
        due += PauseAfterByteMs;
        schedule.waitUntil(due);
    }
    return ExchangeResult::success(total, total);
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

ExchangeResult setClock(ExchangeSession &session, const QDateTime &moment)
{
    if (!session.send(Frame(cmd::SetClock).bytes(stampBytes(moment, 0x00))))
        return ExchangeResult::noLink();
    return ExchangeResult::success(1, 1);
}

} // namespace ztk::common
