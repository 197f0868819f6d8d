// Files through the Windows kernel's file functions.
#include <windows.h>

#include <utility>

#include "platform/files.h"

namespace folio::platform {
namespace {

const std::intptr_t kClosed = reinterpret_cast<std::intptr_t>(INVALID_HANDLE_VALUE);

HANDLE Native(std::intptr_t handle) {
  return reinterpret_cast<HANDLE>(handle);
}

// Windows calls need terminated strings.
std::wstring NativePath(std::u16string_view path) {
  return std::wstring(path.begin(), path.end());
}

void CloseFile(std::intptr_t& handle) {
  if (handle != kClosed) CloseHandle(Native(std::exchange(handle, kClosed)));
}

}  // namespace

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

InputFile::InputFile(InputFile&& other) noexcept : handle_(std::exchange(other.handle_, kClosed)) {}

InputFile& InputFile::operator=(InputFile&& other) noexcept {
  if (this != &other) {
    CloseFile(handle_);
    handle_ = std::exchange(other.handle_, kClosed);
  }
  return *this;
}

InputFile::~InputFile() {
  CloseFile(handle_);
}

bool InputFile::Seek(std::uint32_t offset) noexcept {
  // The low 32 bits alone, as the interface's offsets are used.
  const DWORD position = SetFilePointer(Native(handle_), static_cast<LONG>(offset), nullptr, FILE_BEGIN);
  return position == offset && !(position == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR);
}

std::optional<std::size_t> InputFile::Read(void* buffer, std::size_t size) noexcept {
  DWORD count = 0;
  const DWORD request = size > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<DWORD>(size);
  if (!ReadFile(Native(handle_), buffer, request, &count, nullptr)) return std::nullopt;
  return count;
}

std::optional<std::int64_t> InputFile::LastWriteTime() const noexcept {
  FILETIME lastWrite;
  if (!GetFileTime(Native(handle_), nullptr, nullptr, &lastWrite)) return std::nullopt;
  return static_cast<std::int64_t>((static_cast<std::uint64_t>(lastWrite.dwHighDateTime) << 32) |
                                   lastWrite.dwLowDateTime);
}

std::optional<OutputFile> OutputFile::CreateNew(std::u16string_view path) noexcept {
  HANDLE handle =
      CreateFileW(NativePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  return OutputFile(reinterpret_cast<std::intptr_t>(handle));
}

OutputFile::OutputFile(OutputFile&& other) noexcept : handle_(std::exchange(other.handle_, kClosed)) {}

OutputFile& OutputFile::operator=(OutputFile&& other) noexcept {
  if (this != &other) {
    CloseFile(handle_);
    handle_ = std::exchange(other.handle_, kClosed);
  }
  return *this;
}

OutputFile::~OutputFile() {
  CloseFile(handle_);
}

bool OutputFile::WriteAll(const void* data, std::size_t size) noexcept {
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const DWORD request = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!WriteFile(Native(handle_), bytes, request, &written, nullptr) || written == 0) return false;
    bytes += written;
    size -= written;
  }
  return true;
}

bool OutputFile::Close() noexcept {
  if (handle_ == kClosed) return false;
  return CloseHandle(Native(std::exchange(handle_, kClosed))) != 0;
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

}  // namespace folio::platform
