#pragma once
// The programs the end-to-end tests start: the ones of this build, or installed ones
// named in ZTK_TEST_CLI, ZTK_TEST_SIM and ZTK_TEST_PROGRAM (the check of the package).

#include <QString>

namespace ztk::test {

inline QString programFrom(const char *variable, const char *built)
{
    const QString given = qEnvironmentVariable(variable);
    return given.isEmpty() ? QString::fromLocal8Bit(built) : given;
}

inline QString cliProgram() { return programFrom("ZTK_TEST_CLI", ZTK_CLI_PATH); }
inline QString simProgram() { return programFrom("ZTK_TEST_SIM", ZTK_SIM_PATH); }
inline QString windowProgram() { return programFrom("ZTK_TEST_PROGRAM", ZTK_PROGRAM_PATH); }

} // namespace ztk::test
