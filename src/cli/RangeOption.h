#pragma once
// --from A --to B: the products of the scale a command reads, within 1..5000.

#include "cli/CliCommand.h"
#include "transfer/ProductReader.h"

#include <optional>

namespace ztk::cli {

inline constexpr CommandOption FromOption{"from", "A", QT_TRANSLATE_NOOP("ztk-cli",
                                                           "the first product number to read (default 1)")};
inline constexpr CommandOption ToOption{"to", "B", QT_TRANSLATE_NOOP("ztk-cli",
                                                       "the last product number to read (default 5000)")};

// --from and --to, by default the whole of 1..5000; nothing on bad usage (shown).
std::optional<readback::Range> readRange(CliContext &ctx, const Options &o);

} // namespace ztk::cli
