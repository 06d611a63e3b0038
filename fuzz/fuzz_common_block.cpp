// A block of any bytes, as a reply of the scale: decoded as the viewer shows it (a
// short one is a clean Truncated), carried over by "Внести данные" and built again.

#include "common/CommonData.h"
#include "common/CommonDataForm.h"

#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

using namespace ztk;
using namespace ztk::common;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const Decoded<BlockView> d = decodeBlock(std::span<const std::uint8_t>(data, size));
    if (size < std::size_t(BlockSize)) {
        if (d.ok() || d.have != size || d.need != std::size_t(BlockSize))
            std::abort();
        return 0;
    }
    if (!d.ok())
        std::abort();
    const BlockView &v = d.value;
    if (v.scaleTypeIndex >= scaleTypes().size() || v.pointIndex >= pointPositions().size())
        std::abort();
    if (viewerLines(v).size() != 10)
        std::abort();

    static QTemporaryDir dir; // no settings files: nothing is loaded
    std::uint8_t last = 1;
    CommonDataForm form(dir.path(), QDate(2026, 12, 8), QString(), last);
    form.takeReading(v);
    if (form.carryOver(ViewerTexts::of(v)))
        std::abort(); // every shown number is a whole number
    const CommonDataForm::Built built = form.buildBlock(QDateTime(QDate(2027, 3, 1), QTime(9, 5, 7)));
    if (!built.error.isEmpty())
        std::abort();
    return 0;
}
