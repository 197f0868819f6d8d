// Files through POSIX calls on the UTF-8 form of the path.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <limits>
#include <memory>
#include <utility>

#include "base/unicode.h"
#include "platform/files.h"

namespace folio::platform {
namespace {

int Descriptor(std::intptr_t handle) {
  return static_cast<int>(handle);
}

std::string NativePath(std::u16string_view path) {
  return base::Utf16ToUtf8(path);
}

}  // namespace

bool FileHandle::Close() noexcept {
  if (value_ == kClosed) return false;
  return close(Descriptor(std::exchange(value_, kClosed))) == 0;
}

std::optional<InputFile> InputFile::Open(std::u16string_view path) noexcept {
  const int descriptor = open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (descriptor < 0) return std::nullopt;
  struct stat status;
  // Folders, pipes and devices are not text files on disk.
  if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
    close(descriptor);
    return std::nullopt;
  }
  return InputFile(descriptor);
}

bool InputFile::Seek(std::uint64_t offset) noexcept {
  if (offset > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) return false;
  return lseek(Descriptor(handle_.value()), static_cast<off_t>(offset), SEEK_SET) == static_cast<off_t>(offset);
}

std::optional<std::size_t> InputFile::Read(void* buffer, std::size_t size) noexcept {
  for (;;) {
    const ssize_t count = read(Descriptor(handle_.value()), buffer, size);
    if (count >= 0) return static_cast<std::size_t>(count);
    if (errno != EINTR) return std::nullopt;
  }
}

std::optional<FileStamp> InputFile::Stamp() const noexcept {
  struct stat status;
  if (fstat(Descriptor(handle_.value()), &status) != 0) return std::nullopt;
  return FileStamp{static_cast<std::uint64_t>(status.st_size),
                   kUnixEpochAsFileTime +
                       static_cast<std::int64_t>(status.st_mtim.tv_sec) * kFileTimeIntervalsPerSecond +
                       status.st_mtim.tv_nsec / 100};
}

std::optional<OutputFile> OutputFile::CreateNew(std::u16string_view path) noexcept {
  const int descriptor = open(NativePath(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (descriptor < 0) return std::nullopt;
  return OutputFile(descriptor);
}

bool OutputFile::WriteAll(const void* data, std::size_t size) noexcept {
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t count = write(Descriptor(handle_.value()), bytes, size);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return false;
    bytes += count;
    size -= static_cast<std::size_t>(count);
  }
  return true;
}

bool ReadFromHostHandle(std::uintptr_t handle, void* buffer, std::size_t size) noexcept {
  // Only a regular file is read, and at its current position without moving
  // it, so that a stray number never blocks on a terminal or a pipe.
  struct stat status;
  const int descriptor = static_cast<int>(handle);
  if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) return false;
  const off_t position = lseek(descriptor, 0, SEEK_CUR);
  return position >= 0 && pread(descriptor, buffer, size, position) >= 0;
}

bool FileExists(std::u16string_view path) noexcept {
  struct stat status;
  return stat(NativePath(path).c_str(), &status) == 0;
}

bool RemoveFile(std::u16string_view path) noexcept {
  return unlink(NativePath(path).c_str()) == 0;
}

std::u16string CanonicalPath(std::u16string_view path) {
  const std::unique_ptr<char, decltype(&std::free)> resolved(realpath(NativePath(path).c_str(), nullptr),
                                                             &std::free);
  return resolved ? base::Utf8ToUtf16(resolved.get()) : std::u16string(path);
}

}  // namespace folio::platform
