#pragma once
// The "--list N,N,..." option of the commands that take a product list.

#include "cli/CliCommand.h"

#include <QSet>
#include <QString>

#include <optional>

namespace ztk::cli {

// "--list 3,7" (ProductListOption): a list formed in the list window with "Список"
// ticked; no list without the option. Nothing on bad input (the message has been shown).
std::optional<std::optional<QSet<int>>> listFilter(CliContext &ctx, const Options &options);

} // namespace ztk::cli
