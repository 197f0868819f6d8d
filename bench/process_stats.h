// What this process has spent.  CPU time is what other work on a shared
// machine doesn't inflate the way it inflates wall-clock time; wall-clock time
// also counts work done outside the process (an X server, wineserver).
#pragma once

#include <cstdint>

namespace folio::bench {

enum class Clock { Cpu, Wall };

// Seconds from an arbitrary origin: the user and system time of all of this
// process's threads (Cpu; Wine counts in steps of 10 ms), or time passed.
double ProcessSeconds(Clock clock);

#if !defined(_WIN32)
// As above for the child processes waited for so far, and their own children
// that they waited for (Cpu), or time passed.
double ChildrenSeconds(Clock clock);
#endif

// The most memory this process has held at once (resident set), in bytes.
std::uint64_t PeakMemoryBytes();

}  // namespace folio::bench
