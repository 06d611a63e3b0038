#include "common/CommonDataSettings.h"

#include "shared/ByteSpan.h"
#include "shared/CodePage.h"

#include <QFile>

namespace ztk::common {

QString CommonDataSettings::fileName(int scaleNumber)
{
    return QStringLiteral("VL%1.cfg").arg(scaleNumber);
}

QString CommonDataSettings::companyText() const
{
    QByteArray raw;
    for (const std::uint8_t c : companyName) {
        if (c == 0)
            break;
        raw.append(char(c));
    }
    return codepage::fromCp866(raw);
}

void CommonDataSettings::setCompanyText(const QString &text)
{
    const QByteArray bytes = codepage::toCp866(text.left(NameSize));
    companyName.fill(0);
    for (int i = 0; i < NameSize && i < bytes.size(); ++i)
        companyName[std::size_t(i)] = std::uint8_t(bytes[i]);
}

QByteArray CommonDataSettings::toBytes() const
{
    QByteArray b(FileSize, '\0');
    auto s = bytesOf(b);
    // Bytes after the name's zero are not significant: written as zero.
    for (int i = 0; i < NameSize && companyName[std::size_t(i)] != 0; ++i)
        s[std::size_t(Offset::CompanyName + i)] = companyName[std::size_t(i)];
    s[Offset::NameTailByte] = nameTailByte;
    for (int k = 0; k < KeyCount; ++k) {
        le::put4(s, std::size_t(Offset::WeightKeys + 4 * k), std::uint32_t(weightKeys[std::size_t(k)]));
        le::put4(s, std::size_t(Offset::PieceKeys + 4 * k), std::uint32_t(pieceKeys[std::size_t(k)]));
    }
    s[Offset::KeptByte1] = keptByte1;
    s[Offset::KeptByte2] = keptByte2;
    s[Offset::LabelNumber] = std::uint8_t(labelNumber);
    s[Offset::ReportLabelNumber] = std::uint8_t(reportLabelNumber);
    s[Offset::ScaleNumber] = std::uint8_t(scaleNumber);
    le::put2(s, Offset::ReadBackWord, readBackWord);
    le::put4(s, Offset::ReadBackLong, readBackLong);
    s[Offset::ReadBackFlag] = readBackFlag;
    return b;
}

void CommonDataSettings::fromBytes(const QByteArray &bytes)
{
    const qsizetype n = bytes.size();
    const auto s = bytesOf(bytes);
    auto byteAt = [&](int offset, auto &field) {
        if (holds(n, offset, 1))
            field = static_cast<std::remove_reference_t<decltype(field)>>(s[std::size_t(offset)]);
    };
    if (holds(n, Offset::CompanyName, NameSize))
        std::copy_n(s.begin() + Offset::CompanyName, NameSize, companyName.begin());
    byteAt(Offset::NameTailByte, nameTailByte);
    for (int k = 0; k < KeyCount; ++k) {
        if (holds(n, Offset::WeightKeys + 4 * k, 4))
            weightKeys[std::size_t(k)] = std::int32_t(le::get4(s, std::size_t(Offset::WeightKeys + 4 * k)));
    }
    for (int k = 0; k < KeyCount; ++k) {
        if (holds(n, Offset::PieceKeys + 4 * k, 4))
            pieceKeys[std::size_t(k)] = std::int32_t(le::get4(s, std::size_t(Offset::PieceKeys + 4 * k)));
    }
    byteAt(Offset::KeptByte1, keptByte1);
    byteAt(Offset::KeptByte2, keptByte2);
    byteAt(Offset::LabelNumber, labelNumber);
    byteAt(Offset::ReportLabelNumber, reportLabelNumber);
    byteAt(Offset::ScaleNumber, scaleNumber);
    if (holds(n, Offset::ReadBackWord, 2))
        readBackWord = le::get2(s, Offset::ReadBackWord);
    if (holds(n, Offset::ReadBackLong, 4))
        readBackLong = le::get4(s, Offset::ReadBackLong);
    byteAt(Offset::ReadBackFlag, readBackFlag);
}

qsizetype CommonDataSettings::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray bytes = file.read(FileSize);
    fromBytes(bytes);
    return bytes.size();
}

bool CommonDataSettings::save(const QString &path) const
{
    // ReadWrite creates a missing file and keeps the tail of a longer one.
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite) || !file.seek(0))
        return false;
    const QByteArray bytes = toBytes();
    return file.write(bytes) == bytes.size() && file.flush();
}

} // namespace ztk::common
