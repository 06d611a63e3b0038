#include "products/ProductTextFile.h"

#include "shared/CodePage.h"
#include "shared/Messages.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>

namespace ztk {

const std::vector<ProductColumn> &exportColumns()
{
    static const std::vector<ProductColumn> columns{
        ProductColumn::N,     ProductColumn::SK5,   ProductColumn::Prefix, ProductColumn::Price,
        ProductColumn::BestBefore, ProductColumn::Name, ProductColumn::Name2, ProductColumn::Name3,
        ProductColumn::Name4, ProductColumn::Name5, ProductColumn::Type,
    };
    return columns;
}

QString exportHeaderLine()
{
    QString line;
    for (ProductColumn c : exportColumns())
        line += QString::fromUtf8(columnInfo(c).name) + QLatin1Char(';');
    return line;
}

QString exportDataLine(const Product &product, const QLocale &locale)
{
    QString line;
    for (ProductColumn c : exportColumns()) {
        QString text;
        if (c == ProductColumn::Price && product.price.value)
            text = product.price.value->text(locale);
        else
            text = product.value(c).toString(); // NULL gives ""
        line += (text.isEmpty() ? QStringLiteral(" ") : text) + QLatin1Char(';');
    }
    return line;
}

QByteArray productTextFileBytes(const std::vector<Product> &products, const QLocale &locale)
{
    QByteArray out = codepage::toCp1251(exportHeaderLine()) + "\r\n";
    out.reserve(out.size() + qsizetype(products.size()) * 64);
    for (const Product &p : products)
        out += codepage::toCp1251(exportDataLine(p, locale)) + "\r\n";
    return out;
}

namespace {

// A line in UTF-8 takes at most four bytes a character: this many bytes always hold a
// whole line of MaxImportLineLength characters.
constexpr qsizetype kLineWindow = qsizetype(MaxImportLineLength) * 4;
constexpr qsizetype kBlock = 64 * 1024;

// The length (2..4) of the valid multi-byte UTF-8 sequence at `p`, its code point in
// `cp`; 1 for an ASCII byte; 0 when the bytes are no UTF-8 (overlong forms,
// surrogates and code points beyond U+10FFFF included).
int utf8Sequence(const uchar *p, qsizetype left, char32_t &cp)
{
    const uchar b = p[0];
    if (b < 0x80) {
        cp = b;
        return 1;
    }
    int length;
    char32_t least;
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2, cp = b & 0x1F, least = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
        length = 3, cp = b & 0x0F, least = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4, cp = b & 0x07, least = 0x10000;
    } else {
        return 0;
    }
    if (left < length)
        return 0;
    for (int i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return length;
}

// Two UTF-8 letters in a row (a Cyrillic word is a run of them) almost never occur in
// code page 1251 text, where they would be a capital letter and a punctuation mark,
// twice over.
bool holdsUtf8Text(const uchar *p, qsizetype size)
{
    char32_t cp;
    for (qsizetype i = 0; i < size;) {
        const int first = utf8Sequence(p + i, size - i, cp);
        if (first >= 2 && i + first < size && utf8Sequence(p + i + first, size - i - first, cp) >= 2)
            return true;
        i += first >= 2 ? first : 1;
    }
    return false;
}

struct DecodedLine {
    QString text;
    qsizetype bytes = 0; // taken from the raw line
    bool mixedEncoding = false;
};

// The first line of `raw` (a line without its end, or the start of a longer one): as
// UTF-8 while every character up to the limit is UTF-8, else as code page 1251.
DecodedLine decodeLine(const uchar *raw, qsizetype size)
{
    DecodedLine line;
    line.text.reserve(std::min<qsizetype>(size, MaxImportLineLength));
    qsizetype i = 0;
    bool utf8 = true;
    while (i < size && line.text.size() < MaxImportLineLength) {
        char32_t cp;
        const int length = utf8Sequence(raw + i, size - i, cp);
        if (length == 0) {
            utf8 = false;
            break;
        }
        if (QChar::requiresSurrogates(cp)) {
            if (line.text.size() + 2 > MaxImportLineLength)
                break; // a pair is not cut: the line is too long anyway
            line.text += QChar(QChar::highSurrogate(cp));
            line.text += QChar(QChar::lowSurrogate(cp));
        } else {
            line.text += QChar(char16_t(cp));
        }
        i += length;
    }
    if (utf8) {
        line.bytes = i;
        return line;
    }
    line.bytes = std::min<qsizetype>(size, MaxImportLineLength);
    line.text = codepage::fromCp1251(QByteArray::fromRawData(reinterpret_cast<const char *>(raw), line.bytes));
    line.mixedEncoding = holdsUtf8Text(raw, line.bytes);
    return line;
}

} // namespace

void ProductTextReader::fill(qsizetype wanted)
{
    if (m_pos > kBlock) { // keep the block small: what is read goes
        m_buffer.remove(0, m_pos);
        m_pos = 0;
    }
    while (!m_atEnd && m_buffer.size() - m_pos < wanted) {
        const qsizetype had = m_buffer.size();
        m_buffer.resize(had + kBlock);
        const qint64 got = m_device.read(m_buffer.data() + had, kBlock);
        m_buffer.resize(had + std::max<qint64>(got, 0));
        if (got < 0)
            m_failed = true;
        if (got <= 0)
            m_atEnd = true;
    }
}

bool ProductTextReader::next(TextLine &line)
{
    fill(kLineWindow + 1);
    if (!m_started) {
        m_started = true;
        if (QByteArrayView(m_buffer).sliced(m_pos).startsWith("\xEF\xBB\xBF")) {
            m_pos += 3;
            m_bytesRead += 3;
        }
    }
    const qsizetype available = m_buffer.size() - m_pos;
    if (m_failed || available == 0)
        return false;
    const char *start = m_buffer.constData() + m_pos;
    const auto *lf = static_cast<const char *>(std::memchr(start, '\n', std::min(available, kLineWindow + 1)));
    qsizetype size = lf ? lf - start : std::min(available, kLineWindow);
    if (lf && size > 0 && start[size - 1] == '\r')
        --size;

    DecodedLine decoded = decodeLine(reinterpret_cast<const uchar *>(start), size);
    line.text = std::move(decoded.text);
    line.mixedEncoding = decoded.mixedEncoding;
    line.tooLong = decoded.bytes < size || (!lf && available > size);
    if (!line.tooLong) {
        line.hadLineEnd = lf != nullptr;
        const qsizetype taken = lf ? (lf - start) + 1 : size; // CR and LF go with the line
        m_pos += taken;
        m_bytesRead += taken;
        return true;
    }
    // The rest of an overlong line is skipped, a block at a time.
    line.hadLineEnd = false;
    while (!m_failed) {
        const qsizetype left = m_buffer.size() - m_pos;
        const char *at = m_buffer.constData() + m_pos;
        if (const auto *end = static_cast<const char *>(std::memchr(at, '\n', std::size_t(left)))) {
            m_pos += (end - at) + 1;
            m_bytesRead += (end - at) + 1;
            line.hadLineEnd = true;
            break;
        }
        m_pos += left;
        m_bytesRead += left;
        if (m_atEnd)
            break;
        fill(1);
    }
    return !m_failed;
}

bool openImportFile(QFile &file)
{
    return QFileInfo(file.fileName()).isFile() && file.open(QIODevice::ReadOnly);
}

QString withDefaultExtension(const QString &path, const char *ext, bool mustExist)
{
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    if (mustExist && QFileInfo::exists(path))
        return path;
    return path + QLatin1Char('.') + QLatin1String(ext);
}

} // namespace ztk
