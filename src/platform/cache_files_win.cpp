// Cache files through the Windows kernel's file functions.  Every file is
// opened sharing deletion, so that another process can rename a new file
// over one being read.
#include <windows.h>

#include <atomic>
#include <utility>

#include "platform/cache_files.h"
#include "platform/files.h"

namespace folio::platform {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::int64_t FileTimeOf(const FILETIME& time) {
  return static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
}

FileHandle OwnHandle(HANDLE handle) {
  return FileHandle(reinterpret_cast<std::intptr_t>(handle));
}

HANDLE Native(const FileHandle& file) {
  return reinterpret_cast<HANDLE>(file.value());
}

bool WriteWhole(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD request = bytes.size() > 0x40000000 ? 0x40000000 : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), request, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

class FindHandle {
 public:
  explicit FindHandle(HANDLE handle) noexcept : handle_(handle) {}
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;
  ~FindHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) FindClose(handle_);
  }
  HANDLE get() const noexcept { return handle_; }

 private:
  HANDLE handle_;
};

class WindowsCacheFiles final : public CacheFiles {
 public:
  explicit WindowsCacheFiles(std::u16string folder) : folder_(folder.begin(), folder.end()) {}

  bool CreateFolder() override {
    // Every level in turn; those that exist, and a drive or server name that
    // is no folder at all, just fail.
    for (std::size_t i = 1; i < folder_.size(); ++i) {
      if (folder_[i] == L'\\' || folder_[i] == L'/') CreateDirectoryW(folder_.substr(0, i).c_str(), nullptr);
    }
    CreateDirectoryW(folder_.c_str(), nullptr);
    const DWORD attributes = GetFileAttributesW(folder_.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  }

  bool Replace(std::u16string_view name, std::string_view bytes) override {
    static std::atomic<std::uint64_t> counter{0};
    const std::wstring target = PathOf(name);
    // Unique among living processes and this process's threads; a file left
    // by a dead process of the same id is simply overwritten.
    const std::wstring temporary = target + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                   std::to_wstring(counter++) +
                                   std::wstring(kTemporaryFileSuffix.begin(), kTemporaryFileSuffix.end());
    FileHandle file = OwnHandle(
        CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.value() == FileHandle::kClosed) return false;
    const bool written = WriteWhole(Native(file), bytes);
    if (!file.Close() || !written || !MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
      DeleteFileW(temporary.c_str());
      return false;
    }
    return true;
  }

  std::optional<std::string> Read(std::u16string_view name, std::size_t mostBytes) override {
    const FileHandle file = OwnHandle(CreateFileW(PathOf(name).c_str(), GENERIC_READ, kShareAll, nullptr,
                                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size;
    if (file.value() == FileHandle::kClosed || GetFileType(Native(file)) != FILE_TYPE_DISK ||
        !GetFileSizeEx(Native(file), &size) || size.QuadPart < 0 ||
        static_cast<std::uint64_t>(size.QuadPart) > mostBytes) {
      return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t filled = 0;
    while (filled < bytes.size()) {
      const std::size_t left = bytes.size() - filled;
      const DWORD request = left > 0x40000000 ? 0x40000000 : static_cast<DWORD>(left);
      DWORD count = 0;
      if (!ReadFile(Native(file), bytes.data() + filled, request, &count, nullptr) || count == 0)
        return std::nullopt;
      filled += count;
    }
    return bytes;
  }

  std::vector<CacheFileInfo> List() override {
    std::vector<CacheFileInfo> files;
    WIN32_FIND_DATAW found;
    const FindHandle search(FindFirstFileW((folder_ + L"\\*").c_str(), &found));
    if (search.get() == INVALID_HANDLE_VALUE) return files;
    do {
      if ((found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) continue;
      const std::wstring_view name(found.cFileName);
      files.push_back({std::u16string(name.begin(), name.end()),
                       (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow,
                       FileTimeOf(found.ftLastWriteTime)});
    } while (FindNextFileW(search.get(), &found));
    return files;
  }

  bool Remove(std::u16string_view name) override { return DeleteFileW(PathOf(name).c_str()) != 0; }

  void MarkUsed(std::u16string_view name) override {
    const FileHandle file = OwnHandle(
        CreateFileW(PathOf(name).c_str(), FILE_WRITE_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr));
    if (file.value() == FileHandle::kClosed) return;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    SetFileTime(Native(file), nullptr, nullptr, &now);
  }

 private:
  std::wstring PathOf(std::u16string_view name) const {
    return folder_ + L"\\" + std::wstring(name.begin(), name.end());
  }

  std::wstring folder_;
};

}  // namespace

std::unique_ptr<CacheFiles> OpenCacheFiles(std::u16string folder) {
  return std::make_unique<WindowsCacheFiles>(std::move(folder));
}

}  // namespace folio::platform
