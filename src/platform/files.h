// File access by UTF-16 path.  Windows: CreateFileW and friends; elsewhere:
// POSIX calls on the UTF-8 form of the path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace folio::platform {

// A file handle (a HANDLE on Windows, a descriptor elsewhere) with one owner.
class FileHandle {
 public:
  explicit FileHandle(std::intptr_t value) noexcept : value_(value) {}
  FileHandle(FileHandle&& other) noexcept : value_(std::exchange(other.value_, kClosed)) {}
  FileHandle& operator=(FileHandle&& other) noexcept {
    if (this != &other) {
      Close();
      value_ = std::exchange(other.value_, kClosed);
    }
    return *this;
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle() { Close(); }

  std::intptr_t value() const noexcept { return value_; }
  bool Close() noexcept;  // false when the handle was closed already or closing failed

  // Both platforms' "no handle" value (INVALID_HANDLE_VALUE, or descriptor -1).
  static constexpr std::intptr_t kClosed = -1;

 private:
  std::intptr_t value_;
};

// File times count 100-nanosecond intervals since 1601-01-01 UTC, as Windows
// keeps them.
inline constexpr std::int64_t kFileTimeIntervalsPerSecond = 10'000'000;
inline constexpr std::int64_t kUnixEpochAsFileTime = 116'444'736'000'000'000;

// Whole seconds since 1970-01-01 UTC of a file time, truncated toward zero.
constexpr std::int64_t SecondsSince1970(std::int64_t fileTime) {
  return (fileTime - kUnixEpochAsFileTime) / kFileTimeIntervalsPerSecond;
}

// What changes when a file is written: its size and last-write time.
struct FileStamp {
  std::uint64_t size;
  std::int64_t lastWriteTime;  // 100-nanosecond intervals since 1601-01-01 UTC
  friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// An open, read-only file.  Opening succeeds for existing regular files only
// (not folders); others may read the file at the same time.
class InputFile {
 public:
  static std::optional<InputFile> Open(std::u16string_view path) noexcept;

  // Moves to a byte offset from the start; true when the position reached is
  // exactly that offset.
  bool Seek(std::uint64_t offset) noexcept;
  // Reads up to `size` bytes; the count read (0 at the end), or nullopt on error.
  std::optional<std::size_t> Read(void* buffer, std::size_t size) noexcept;
  std::optional<FileStamp> Stamp() const noexcept;

 private:
  explicit InputFile(std::intptr_t handle) noexcept : handle_(handle) {}
  FileHandle handle_;
};

// A file created by this process for writing; creation fails if it exists.
class OutputFile {
 public:
  static std::optional<OutputFile> CreateNew(std::u16string_view path) noexcept;

  bool WriteAll(const void* data, std::size_t size) noexcept;  // false on a failed or short write
  bool Close() noexcept { return handle_.Close(); }            // false when the data did not reach the file

 private:
  explicit OutputFile(std::intptr_t handle) noexcept : handle_(handle) {}
  FileHandle handle_;
};

// Reads from a file handle that the host opened (a HANDLE on Windows, a file
// descriptor elsewhere); false when that can't be done.
bool ReadFromHostHandle(std::uintptr_t handle, void* buffer, std::size_t size) noexcept;

bool FileExists(std::u16string_view path) noexcept;

// One form of a file's path for every way of naming the file here: the full
// path; on Windows also with long names (not 8.3 ones) and in one letter
// case, as its file systems ignore case.  The path as given where that
// can't be worked out.
std::u16string CanonicalPath(std::u16string_view path);
bool RemoveFile(std::u16string_view path) noexcept;

}  // namespace folio::platform
