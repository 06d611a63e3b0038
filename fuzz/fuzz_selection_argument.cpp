// The selection argument of ztk-cli ("prefix=25", "range=3-9", "best-before=26.12.31", ...).
#include "products/Selection.h"

#include <QDate>
#include <QString>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString argument = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const ztk::ParsedSelection sel = ztk::parseSelectionArgument(argument, QDate(2026, 12, 8));
    // Either an SQL text or a reason, never neither.
    if (sel.ok == sel.sql.isEmpty() || (!sel.ok && sel.error.isEmpty()))
        std::abort();
    return 0;
}
