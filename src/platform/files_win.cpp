// Files through the Windows kernel's file functions.
#include <windows.h>

#include <utility>

#include "platform/files.h"
#include "platform/letter_case.h"

namespace folio::platform {
namespace {

HANDLE Native(std::intptr_t handle) {
  return reinterpret_cast<HANDLE>(handle);
}

// A path from one of the functions that fill a buffer and, when it is too
// short, give the size they need; none when the function fails.
template <typename Fill>
std::optional<std::wstring> FilledPath(Fill fill) {
  std::wstring buffer(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    const DWORD length = fill(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::nullopt;
    if (length < buffer.size()) {
      buffer.resize(length);
      return buffer;
    }
    buffer.assign(length, L'\0');
  }
  return std::nullopt;
}

// Windows calls need terminated strings.
std::wstring NativePath(std::u16string_view path) {
  return std::wstring(path.begin(), path.end());
}

}  // namespace

bool FileHandle::Close() noexcept {
  if (value_ == kClosed) return false;
  return CloseHandle(Native(std::exchange(value_, kClosed))) != 0;
}

std::optional<InputFile> InputFile::Open(std::u16string_view path) noexcept {
  HANDLE handle = CreateFileW(NativePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  if (GetFileType(handle) != FILE_TYPE_DISK) {
    CloseHandle(handle);
    return std::nullopt;
  }
  return InputFile(reinterpret_cast<std::intptr_t>(handle));
}

bool InputFile::Seek(std::uint64_t offset) noexcept {
  if (offset > static_cast<std::uint64_t>(INT64_MAX)) return false;
  LARGE_INTEGER distance;
  distance.QuadPart = static_cast<LONGLONG>(offset);
  LARGE_INTEGER position;
  return SetFilePointerEx(Native(handle_.value()), distance, &position, FILE_BEGIN) &&
         position.QuadPart == distance.QuadPart;
}

std::optional<std::size_t> InputFile::Read(void* buffer, std::size_t size) noexcept {
  DWORD count = 0;
  const DWORD request = size > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<DWORD>(size);
  if (!ReadFile(Native(handle_.value()), buffer, request, &count, nullptr)) return std::nullopt;
  return count;
}

std::optional<FileStamp> InputFile::Stamp() const noexcept {
  BY_HANDLE_FILE_INFORMATION information;
  if (!GetFileInformationByHandle(Native(handle_.value()), &information)) return std::nullopt;
  const FILETIME& lastWrite = information.ftLastWriteTime;
  return FileStamp{(static_cast<std::uint64_t>(information.nFileSizeHigh) << 32) | information.nFileSizeLow,
                   static_cast<std::int64_t>((static_cast<std::uint64_t>(lastWrite.dwHighDateTime) << 32) |
                                             lastWrite.dwLowDateTime)};
}

std::optional<OutputFile> OutputFile::CreateNew(std::u16string_view path) noexcept {
  HANDLE handle =
      CreateFileW(NativePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  return OutputFile(reinterpret_cast<std::intptr_t>(handle));
}

bool OutputFile::WriteAll(const void* data, std::size_t size) noexcept {
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const DWORD request = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!WriteFile(Native(handle_.value()), bytes, request, &written, nullptr) || written == 0) return false;
    bytes += written;
    size -= written;
  }
  return true;
}

bool ReadFromHostHandle(std::uintptr_t handle, void* buffer, std::size_t size) noexcept {
  DWORD count = 0;
  return ReadFile(reinterpret_cast<HANDLE>(handle), buffer, static_cast<DWORD>(size), &count, nullptr) != 0;
}

bool FileExists(std::u16string_view path) noexcept {
  return GetFileAttributesW(NativePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool RemoveFile(std::u16string_view path) noexcept {
  return DeleteFileW(NativePath(path).c_str()) != 0;
}

std::u16string CanonicalPath(std::u16string_view path) {
  const std::wstring given = NativePath(path);
  std::wstring form = FilledPath([&](wchar_t* buffer, DWORD size) {
                        return GetFullPathNameW(given.c_str(), size, buffer, nullptr);
                      }).value_or(given);
  form = FilledPath([&](wchar_t* buffer, DWORD size) {
           return GetLongPathNameW(form.c_str(), buffer, size);
         }).value_or(form);
  return LowerCase(std::u16string(form.begin(), form.end()));
}

}  // namespace folio::platform
