#pragma once
// The one QCoreApplication of a logic test program, made at the first call and kept
// for the whole program (the window tests have guiApplication() instead).

#include <QCoreApplication>

namespace ztk::test {

inline void ensureCoreApplication()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "ztk-test";
    static char *argv[] = {name, nullptr};
    new QCoreApplication(argc, argv); // lives for the whole test program
}

} // namespace ztk::test
