#pragma once
// ztk-scale-sim's command line: its option table (for the help and the manual page)
// and what it asks of the simulator.

#include "SimScale.h"

#include "shared/ManualText.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace ztk::sim {

struct Sale {
    int product = 0;
    std::uint32_t amount = 0, money = 0, weighings = 0;
};

struct Options {
    QString totalsFile;
    std::vector<Sale> sales;
    QString device;
    QString tcp; // HOST:PORT to listen on
    QString stateDir;
    QString logFile;
    long baud = 0;
    int number = 1;
    Faults faults;
};

ztk::Manual simManual();
// The options of the command line; bad usage is shown and ends the program (exit 2).
Options parseOptions(int argc, char **argv);

} // namespace ztk::sim
