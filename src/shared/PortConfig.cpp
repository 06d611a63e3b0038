#include "shared/PortConfig.h"

#include <QFile>

namespace ztk {

namespace {

void put4(QByteArray &b, int at, std::int32_t v)
{
    const auto u = static_cast<std::uint32_t>(v);
    b[at] = char(u & 0xFF);
    b[at + 1] = char((u >> 8) & 0xFF);
    b[at + 2] = char((u >> 16) & 0xFF);
    b[at + 3] = char((u >> 24) & 0xFF);
}

std::int32_t get4(const QByteArray &b, int at)
{
    const auto byte = [&](int i) { return std::uint32_t(static_cast<unsigned char>(b[at + i])); };
    return static_cast<std::int32_t>(byte(0) | (byte(1) << 8) | (byte(2) << 16) | (byte(3) << 24));
}

} // namespace

QByteArray PortConfig::toBytes() const
{
    QByteArray b(FileSize, '\0');
    const QByteArray name = portName.left(MaxNameLength);
    for (int i = 0; i < name.size() && name[i] != '\0'; ++i)
        b[NameOffset + i] = name[i];
    put4(b, BaudOffset, baudRate);
    put4(b, StopBitsOffset, stopBitsIndex);
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
        baudRate = get4(bytes, BaudOffset);
    if (n >= StopBitsOffset + 4)
        stopBitsIndex = get4(bytes, StopBitsOffset);
    if (n > LastScaleOffset)
        lastScaleNumber = static_cast<std::uint8_t>(bytes[LastScaleOffset]);
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
