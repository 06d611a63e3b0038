#pragma once
// What the benchmarks share: the process's CPU time, wall time since a moment, and a
// prompter that shows nothing and answers every question with its first button.

#include "shared/Seams.h"

#include <chrono>
#include <sys/resource.h>

namespace ztk::bench {

inline double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

inline double since(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

class SilentPrompter final : public Prompter {
public:
    void message(const QString &, const QString &) override {}
    Answer ask(const QString &, const QString &, Buttons) override { return Answer::Ok; }
    QString openFileName(const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &, const QString &) override { return {}; }
};

} // namespace ztk::bench
