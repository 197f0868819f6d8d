#include "support/child_process.h"

#include <cstdlib>
#include <thread>

#if defined(_WIN32)
#include <windows.h>
#else
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace folio::testing {

#if defined(_WIN32)

namespace {

// One argument as the C runtime splits a command line: quoted, with the
// backslashes before a quote doubled.
std::wstring Quoted(const std::wstring& argument) {
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted.push_back(c);
  }
  quoted.append(2 * backslashes, L'\\');
  return quoted + L"\"";
}

}  // namespace

ChildOutcome RunChild(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                      std::chrono::seconds timeout) {
  std::wstring commandLine = Quoted(program.wstring());
  for (const std::string& argument : arguments)
    commandLine += L" " + Quoted(std::filesystem::path(argument).wstring());
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program.wstring().c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return {};
  }
  CloseHandle(process.hThread);
  ChildOutcome outcome{true, std::nullopt};
  const DWORD waited = WaitForSingleObject(process.hProcess, static_cast<DWORD>(timeout.count() * 1000));
  DWORD status = 0;
  if (waited == WAIT_OBJECT_0 && GetExitCodeProcess(process.hProcess, &status)) {
    outcome.exitStatus = static_cast<int>(status);
  } else {
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, INFINITE);
  }
  CloseHandle(process.hProcess);
  return outcome;
}

std::filesystem::path ThisProgram() {
  wchar_t path[MAX_PATH];
  return std::filesystem::path(std::wstring(path, GetModuleFileNameW(nullptr, path, MAX_PATH)));
}

void PutEnvironmentVariable(const char* name, const char* value) {
  // The Windows variable, which the plug-in reads, and the C runtime's copy.
  SetEnvironmentVariableA(name, value);
  _putenv_s(name, value ? value : "");
}

#else

ChildOutcome RunChild(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                      std::chrono::seconds timeout) {
  std::vector<std::string> texts{program.string()};
  texts.insert(texts.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& text : texts) argv.push_back(text.data());
  argv.push_back(nullptr);
  const pid_t child = fork();
  if (child < 0) return {};
  if (child == 0) {
    execv(argv[0], argv.data());
    _exit(127);
  }
  ChildOutcome outcome{true, std::nullopt};
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  int status = 0;
  for (;;) {
    const pid_t done = waitpid(child, &status, WNOHANG);
    if (done == child) {
      if (WIFEXITED(status)) outcome.exitStatus = WEXITSTATUS(status);
      return outcome;
    }
    if (done < 0 || std::chrono::steady_clock::now() > deadline) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  kill(child, SIGKILL);
  waitpid(child, &status, 0);
  return outcome;
}

std::filesystem::path ThisProgram() {
  return std::filesystem::read_symlink("/proc/self/exe");
}

void PutEnvironmentVariable(const char* name, const char* value) {
  if (value)
    setenv(name, value, 1);
  else
    unsetenv(name);
}

#endif

void ScopedEnvironment::Put(const char* name, const char* value) {
  if (!saved_.contains(name)) {
    const char* before = std::getenv(name);
    saved_[name] = before ? std::optional<std::string>(before) : std::nullopt;
  }
  PutEnvironmentVariable(name, value);
}

ScopedEnvironment::~ScopedEnvironment() {
  for (const auto& [name, value] : saved_) PutEnvironmentVariable(name.c_str(), value ? value->c_str() : nullptr);
}

}  // namespace folio::testing
