// libFuzzer target: one line of a product text file, split and read against the
// export's header (no store). The first byte picks the code page the line is read in.

#include "products/ImportLine.h"
#include "products/ProductTextFile.h"
#include "shared/CodePage.h"

#include <QByteArray>
#include <QLocale>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const QString line = (data[0] & 1) ? QString::fromUtf8(bytes) : ztk::codepage::fromCp1251(bytes);

    const QStringList fields = ztk::splitImportLine(line);
    if (fields.isEmpty() || fields.size() > ztk::MaxImportFields)
        __builtin_trap(); // never empty, never beyond 20

    static const QLocale russian(QLocale::Russian, QLocale::Russia);
    ztk::ImportLineReader reader(QDate(2026, 12, 8), (data[0] & 2) ? russian : QLocale::c());
    reader.setHeader(ztk::exportHeaderLine());
    reader.read(line);
    return 0;
}
