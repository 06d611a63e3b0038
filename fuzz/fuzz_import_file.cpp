// libFuzzer target: the bytes of a whole product text file, decoded, cut into lines
// and every data line read as the import reads it (no store).

#include "products/ImportLine.h"
#include "products/ProductTextFile.h"

#include <QBuffer>
#include <QLocale>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QBuffer file;
    file.setData(reinterpret_cast<const char *>(data), qsizetype(size));
    file.open(QIODevice::ReadOnly);
    ztk::ProductTextReader lines(file);
    ztk::TextLine line;
    if (!lines.next(line))
        return 0;
    static const QLocale russian(QLocale::Russian, QLocale::Russia);
    ztk::ImportLineReader reader(QDate(2026, 12, 8), russian);
    reader.setHeader(line.text);
    while (lines.next(line)) {
        if (line.countedLength() >= ztk::MinImportLineLength)
            reader.read(line.text);
    }
    return 0;
}
