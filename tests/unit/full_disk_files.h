// A cache folder on a disk with only so many bytes left: the real folder,
// whose writes fail once they would pass the room left, as a full disk's do.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>

#include "platform/cache_files.h"
#include "support/test_files.h"

namespace folio::testing {

class FullDiskFiles final : public platform::CacheFiles {
 public:
  // `written`, when given, counts the files written whole.
  FullDiskFiles(const std::filesystem::path& folder, std::uint64_t freeBytes, int* written = nullptr)
      : files_(platform::OpenCacheFiles(WidePath(folder))), freeBytes_(freeBytes), written_(written) {}

  bool CreateFolder() override { return files_->CreateFolder(); }
  bool Replace(std::u16string_view name, std::string_view bytes) override {
    if (bytes.size() > freeBytes_) return false;
    freeBytes_ -= bytes.size();
    if (!files_->Replace(name, bytes)) return false;
    if (written_) ++*written_;
    return true;
  }
  std::optional<std::string> Read(std::u16string_view name, std::size_t mostBytes) override {
    return files_->Read(name, mostBytes);
  }
  std::vector<platform::CacheFileInfo> List() override { return files_->List(); }
  bool Remove(std::u16string_view name) override { return files_->Remove(name); }
  void MarkUsed(std::u16string_view name) override { files_->MarkUsed(name); }

 private:
  std::unique_ptr<platform::CacheFiles> files_;
  std::uint64_t freeBytes_;
  int* written_;
};

}  // namespace folio::testing
