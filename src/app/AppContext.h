#pragma once
// What the windows are given from outside: the working directory and the three
// seams. The program passes the real ones; the window tests pass scripted ones.

#include "shared/Seams.h"

#include <QString>

namespace ztk {

struct AppContext {
    QString workDir;              // where "LM_T.db", "fbdves.cfg", "BDforVes.bd" live
    const Clock *clock = nullptr;
    EventPump *pump = nullptr;
    Prompter *prompter = nullptr;
    QString startArgument;        // the command-line text after the program name
    QString programFileName;      // own program file name without directory (single-instance check)
    bool checkSingleInstance = true;
    // Where the windows remember their places and the last selection between runs;
    // empty: nothing is remembered.
    QString settingsFile;

    QString path(const char *fileName) const; // workDir + "/" + fileName
};

} // namespace ztk
