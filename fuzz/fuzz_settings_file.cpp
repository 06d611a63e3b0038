// "VL<n>.cfg" of any length and content: loading it as the common-data window does
// (the fields it holds whole, then what the controls show), saving it again, and the
// file written holds 294 bytes that load to the same fields.

#include "common/CommonDataForm.h"
#include "common/CommonDataSettings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

using namespace ztk::common;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    CommonDataSettings s;
    s.fromBytes(bytes);
    const QByteArray saved = s.toBytes();
    if (saved.size() != CommonDataSettings::FileSize)
        std::abort();
    CommonDataSettings back;
    back.fromBytes(saved);
    if (back.toBytes() != saved)
        std::abort();

    // Through the window's own rules: the file of scale 5 loaded at creation.
    static QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(CommonDataSettings::fileName(5));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
            return 0;
    }
    std::uint8_t last = 5;
    CommonDataForm form(dir.path(), QDate(2026, 12, 8), QString(), last);
    if (form.controls.weightCells.size() != KeyCount || form.controls.scaleNumber != 5)
        std::abort();
    if (form.save(path) || QFile(path).size() < CommonDataSettings::FileSize)
        std::abort(); // keys read from a file are whole numbers: saving cannot stop
    return 0;
}
