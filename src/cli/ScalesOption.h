#pragma once
// --scales NAME[,NAME...]|all: the scales of "scales.ini" a command runs on at once.

#include "cli/CliCommand.h"

#include <optional>

namespace ztk::cli {

// One of globalOptions(), given before the command.
inline constexpr CommandOption ScalesOption{"scales", "NAME[,NAME...]|all",
                                            QT_TRANSLATE_NOOP("ztk-cli",
                                                "runs link-check, scale-number, write-products, common-write, "
                                                "set-clock, totals, sync or compare on these scales of scales.ini at "
                                                "once, one link and one thread each; exit 0 only when every scale "
                                                "succeeded")};

// Puts the named scales of the working folder's list into `ctx`; bad usage (a command
// that runs on one scale only, an unknown name, an unreadable list) is shown and its
// exit code returned. Broken lines of the list are shown and their scales left out.
std::optional<int> useScales(CliContext &ctx, const QString &names);

} // namespace ztk::cli
