#include "shared/ScaleText.h"

#include "shared/CodePage.h"
#include "shared/DateText.h"

namespace ztk::scaletext {

namespace {

QByteArray fill(QByteArray bytes)
{
    bytes.truncate(Size);
    if (bytes.size() < Size)
        bytes.append(QByteArray(Size - bytes.size(), ' '));
    return bytes;
}

QString decodeWith(const std::uint8_t *bytes, bool swap)
{
    QByteArray raw;
    raw.reserve(Size);
    for (int i = 0; i < Size && bytes[i] != 0; ++i)
        raw.append(char(swap ? swapLetters(bytes[i]) : bytes[i]));
    return codepage::fromCp866(raw);
}

} // namespace

std::uint8_t swapLetters(std::uint8_t byte)
{
    switch (byte) {
    case 0x9A: return 0x9C;
    case 0x9C: return 0x9A;
    case 0xEA: return 0xEC;
    case 0xEC: return 0xEA;
    default: return byte;
    }
}

QByteArray encode(const QString &text)
{
    // Each character becomes one byte, so cutting the bytes cuts the characters.
    QByteArray bytes = fill(codepage::toCp866(text));
    for (char &c : bytes)
        c = char(swapLetters(static_cast<std::uint8_t>(c)));
    return bytes;
}

QString decode(const std::uint8_t *bytes) { return decodeWith(bytes, true); }

QByteArray encodeDate(const datetext::WallTime &moment)
{
    return fill(codepage::toCp866(datetext::dayFirstWithTime(moment)));
}

QString decodeDate(const std::uint8_t *bytes) { return decodeWith(bytes, false); }

} // namespace ztk::scaletext
