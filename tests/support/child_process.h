// Running a program of the tests' own as a process apart, for what a host
// does that a test can't do inside its own process (ending without
// unloading the plug-in, for one).
#pragma once

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace folio::testing {

// The program's exit status; nothing when it was still running after
// `timeout` (it is then killed) or could not be started.
struct ChildOutcome {
  bool started = false;
  std::optional<int> exitStatus;
};
ChildOutcome RunChild(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                      std::chrono::seconds timeout);

// The program this process runs, to start it again as a child.
std::filesystem::path ThisProgram();

// Sets an environment variable of this process, which the plug-in and the
// children started after it see; a null value removes it.  Call it while no
// other thread runs.
void PutEnvironmentVariable(const char* name, const char* value);

// Environment variables set for a while: each is put back as it was when
// the object goes.
class ScopedEnvironment {
 public:
  ScopedEnvironment() = default;
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
  ~ScopedEnvironment();

  void Put(const char* name, const char* value);

 private:
  std::map<std::string, std::optional<std::string>> saved_;
};

}  // namespace folio::testing
