#pragma once
// The pauses of the exchanges that pace themselves (after 0x07, between clear commands).

#include "shared/Seams.h"

namespace ztk {

// Pumps events for `ms` by the clock (a fast clock shortens it), and never longer than
// the real time, so a clock that stands still cannot hold an exchange.
void pauseFor(int ms, const Clock &clock, EventPump &pump);

} // namespace ztk
