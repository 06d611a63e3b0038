#pragma once
// What ztk-cli says of itself: the same manual for --help, "help COMMAND" and the
// manual page built from it.

#include "cli/CliCommand.h"
#include "shared/ManualText.h"

#include <vector>

namespace ztk::cli {

// The options given before the command.
const std::vector<CommandOption> &globalOptions();
Manual cliManual();
// The usage, summary, options and details of one command.
QString commandHelpText(const Command &command);

} // namespace ztk::cli
