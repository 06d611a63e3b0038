// The viewer's key-list text as the operator may have typed it: the list rule of
// "Внести данные" reads at most 28 values, none of them 0, and reads the viewer's
// own text of those values back unchanged.

#include "common/CommonData.h"

#include <QString>

#include <cstdint>
#include <cstdlib>

using namespace ztk::common;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const QList<std::int32_t> values = readKeyList(text);
    if (values.size() > KeyCount || values.contains(0))
        std::abort();
    Keys keys{};
    keys.fill(1);
    for (int i = 0; i < values.size(); ++i)
        keys[std::size_t(i)] = values[i];
    const QList<std::int32_t> again = readKeyList(keyListText(keys));
    if (again.size() != KeyCount || again.mid(0, values.size()) != values)
        std::abort();
    return 0;
}
