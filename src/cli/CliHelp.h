#pragma once
// What ztk-cli says of itself: the same manual for --help, "help COMMAND" and the
// manual page built from it.

#include "cli/CliCommand.h"
#include "shared/ManualText.h"

#include <vector>

namespace ztk::cli {

// The options given before the command (and ScalesOption).
inline constexpr CommandOption DirOption{"dir", "DIR",
                                         QT_TRANSLATE_NOOP("ztk-cli", "the working folder, whose files the command "
                                                                      "uses (default: the current folder)")};
inline constexpr CommandOption PortOption{"port", "NAME|PATH|tcp:HOST:PORT",
                                          QT_TRANSLATE_NOOP("ztk-cli",
                                              "the serial port: COMn, a name under /dev (ttyUSB0), a path, or a "
                                              "serial device server's TCP address (default: from fbdves.cfg)")};
inline constexpr CommandOption BaudOption{"baud", "N", QT_TRANSLATE_NOOP("ztk-cli",
                                                           "the line speed in bit/s (default: from fbdves.cfg)")};
inline constexpr CommandOption DbOption{"db", "URL",
                                        QT_TRANSLATE_NOOP("ztk-cli", "the product table on a PostgreSQL server, "
                                                                     "postgresql://user@host:port/name, instead of "
                                                                     "the working folder's database.ini or LM_T.db")};
const std::vector<CommandOption> &globalOptions();
Manual cliManual();
// The usage, summary, options and details of one command.
QString commandHelpText(const Command &command);

} // namespace ztk::cli
