#include "shared/PortConfig.h"

#include "shared/ByteSpan.h"

#include "shared/LittleEndian.h"
#include "shared/Messages.h"

#include <QFile>

namespace ztk {

QByteArray PortConfig::toBytes() const
{
    QByteArray b(FileSize, '\0');
    const QByteArray name = portName.left(MaxNameLength);
    for (int i = 0; i < name.size() && name[i] != '\0'; ++i)
        b[NameOffset + i] = name[i];
    le::put4(bytesOf(b), BaudOffset, std::uint32_t(baudRate));
    le::put4(bytesOf(b), StopBitsOffset, std::uint32_t(stopBitsIndex));
    b[LastScaleOffset] = char(lastScaleNumber);
    return b;
}

void PortConfig::fromBytes(const QByteArray &bytes)
{
    const int n = int(bytes.size());
    if (n > NameOffset) {
        // Up to the terminator, at most 9 bytes, whatever part of the field is there.
        QByteArray name = bytes.mid(NameOffset, NameSize);
        const qsizetype zero = name.indexOf('\0');
        if (zero >= 0)
            name.truncate(zero);
        portName = name.left(MaxNameLength);
    }
    if (n >= BaudOffset + 4)
        baudRate = std::int32_t(le::get4(bytesOf(bytes), BaudOffset));
    if (n >= StopBitsOffset + 4)
        stopBitsIndex = std::int32_t(le::get4(bytesOf(bytes), StopBitsOffset));
    if (n > LastScaleOffset)
        lastScaleNumber = static_cast<std::uint8_t>(bytes[LastScaleOffset]);
}

PortConfig PortConfig::loadOrDefault(const QString &path, bool *missing)
{
    PortConfig config;
    const bool found = config.load(path);
    if (!found) {
        config = PortConfig{};
        config.portName = QByteArray(msg::DefaultPortName);
        config.lastScaleNumber = 1;
    }
    if (missing)
        *missing = !found;
    return config;
}

bool PortConfig::load(const QString &path)
{
    QFile file(path);
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return false;
    fromBytes(file.read(FileSize));
    return true;
}

bool PortConfig::save(const QString &path) const
{
    // ReadWrite creates a missing file and keeps the tail of a longer one.
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite) || !file.seek(0))
        return false;
    const QByteArray bytes = toBytes();
    return file.write(bytes) == bytes.size() && file.flush();
}

} // namespace ztk
