#include "bench/process_stats.h"

#include <chrono>

#if defined(_WIN32)
#include <windows.h>
// after windows.h, which it needs
#include <psapi.h>
#else
#include <sys/resource.h>
#include <time.h>
#endif

namespace folio::bench {
namespace {

double WallSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

#if defined(_WIN32)
double Seconds(const FILETIME& time) {  // counted in 100 ns
  return static_cast<double>((std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime) / 1e7;
}
#else
double Seconds(const timeval& time) {
  return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}
#endif

}  // namespace

#if defined(_WIN32)

double ProcessSeconds(Clock clock) {
  if (clock == Clock::Wall) return WallSeconds();
  FILETIME creation, exit, kernel, user;
  if (!GetProcessTimes(GetCurrentProcess(), &creation, &exit, &kernel, &user)) return 0;
  return Seconds(kernel) + Seconds(user);
}

std::uint64_t PeakMemoryBytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
  return counters.PeakWorkingSetSize;
}

#else

double ProcessSeconds(Clock clock) {
  if (clock == Clock::Wall) return WallSeconds();
  timespec time{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &time);
  return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_nsec) / 1e9;
}

double ChildrenSeconds(Clock clock) {
  if (clock == Clock::Wall) return WallSeconds();
  rusage usage{};
  if (getrusage(RUSAGE_CHILDREN, &usage) != 0) return 0;
  return Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
}

std::uint64_t PeakMemoryBytes() {
  rusage usage{};
  if (getrusage(RUSAGE_SELF, &usage) != 0) return 0;
  return static_cast<std::uint64_t>(usage.ru_maxrss) * 1024;  // Linux counts in KiB
}

#endif

}  // namespace folio::bench
