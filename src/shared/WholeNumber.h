#pragma once
// A whole number as the operator types it: optional sign and decimal digits, spaces
// around allowed, within 32 bits. Anything else is the conversion error
// msg::NotAnInteger with the text as typed.

#include <QString>
#include <cstdint>
#include <optional>

namespace ztk {

inline std::optional<std::int32_t> wholeNumber(const QString &text)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok, 10);
    return ok ? std::optional<std::int32_t>(v) : std::nullopt;
}

} // namespace ztk
