// One target's logons: log on and off up to `repeat` times with a session of its own, timing
// each phase. Runs in whatever thread calls it; the session lives and dies in that thread.
#pragma once

#include "app/Target.h"
#include "app/TargetResult.h"

namespace app {

// Stops at the first logon that fails. Never throws: every failure becomes the result's error.
TargetResult ProbeTarget(const Target& target, int repeat);

}  // namespace app
