// libFuzzer target: the bytes of a whole product text file read line by line as the
// import reads them (no store). Every line is checked against a decoding of its own
// made here: Qt's UTF-8 decoder where it takes the line, code page 1251 otherwise.

#include "products/ImportLine.h"
#include "products/ProductTextFile.h"
#include "shared/CodePage.h"
#include "shared/DateText.h"

#include <QBuffer>
#include <QLocale>
#include <QStringDecoder>

#include <cstddef>
#include <cstdint>

namespace {

void check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer file;
    file.setData(bytes);
    file.open(QIODevice::ReadOnly);
    ztk::ProductTextReader lines(file);

    static const QLocale russian(QLocale::Russian, QLocale::Russia);
    const QDate today(2026, 12, 8);
    ztk::ImportLineReader reader(today, russian);
    qsizetype pos = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    bool header = true;
    ztk::TextLine line;
    while (lines.next(line)) {
        check(pos < bytes.size()); // no line where the file has none
        const qsizetype lf = bytes.indexOf('\n', pos);
        QByteArray raw = bytes.mid(pos, (lf < 0 ? bytes.size() : lf) - pos);
        if (lf >= 0 && raw.endsWith('\r'))
            raw.chop(1);
        pos = lf < 0 ? bytes.size() : lf + 1;

        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        const QString asUtf8 = utf8.decode(raw);
        const bool isUtf8 = !utf8.hasError();
        const QString expected = isUtf8 ? asUtf8 : ztk::codepage::fromCp1251(raw);
        check(line.hadLineEnd == (lf >= 0));
        check(line.text.size() <= ztk::MaxImportLineLength);
        check(!(isUtf8 && line.mixedEncoding));
        if (!line.tooLong) {
            check(line.text == expected);
        } else {
            check(expected.size() > ztk::MaxImportLineLength);
            // The start of the line, in UTF-8 as far as it is UTF-8, else in 1251.
            check(asUtf8.startsWith(line.text) || line.text == ztk::codepage::fromCp1251(raw.left(line.text.size())));
        }

        if (header) {
            reader.setHeader(line.text);
            header = false;
        } else if (line.countedLength() >= ztk::MinImportLineLength && reader.read(line.text)) {
            const ztk::ImportValues &v = reader.values();
            check(v.number.has_value());
            check(v.bestBefore.trimmed().isEmpty() || ztk::datetext::readYearFirst(v.bestBefore, today).has_value());
        }
    }
    check(!lines.failed());
    check(pos == bytes.size() && lines.bytesRead() == bytes.size()); // every byte read, none twice
    return 0;
}
