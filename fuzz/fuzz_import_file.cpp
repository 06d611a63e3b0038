// libFuzzer target: the bytes of a whole product text file, decoded, cut into lines
// and every data line read as the import reads it (no store).

#include "products/ImportLine.h"
#include "products/ProductTextFile.h"

#include <QByteArray>
#include <QLocale>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::vector<ztk::TextLine> lines = ztk::productTextLines(bytes);
    if (lines.empty())
        return 0;
    static const QLocale russian(QLocale::Russian, QLocale::Russia);
    ztk::ImportLineReader reader(QDate(2026, 12, 8), russian);
    reader.setHeader(lines.front().text);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        if (lines[i].countedLength() < ztk::MinImportLineLength)
            continue;
        const ztk::ImportValues &v = reader.read(lines[i].text);
        (void)v.number;
    }
    return 0;
}
