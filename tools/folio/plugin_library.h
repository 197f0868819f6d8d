// The plug-in as a viewer holds it: a loaded library used only through its
// exports.  The blocks it hands out go back through the platform's own
// release (LocalFree on Windows, the library's FolioFreeBlock elsewhere).
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "folio/susie.h"

namespace folio::cli {

class PluginLibrary {
 public:
  // Loads the library at `path`; on failure `error` says why and the result is null.
  static std::unique_ptr<PluginLibrary> Load(const std::filesystem::path& path, std::string& error);
  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;
  ~PluginLibrary();

  const std::filesystem::path& path() const { return path_; }
  void FreeBlock(SusieHandle block) const;

  GetPluginInfoWFunction GetPluginInfoW = nullptr;
  GetArchiveInfoWFunction GetArchiveInfoW = nullptr;
  GetFileWFunction GetFileW = nullptr;

 private:
  explicit PluginLibrary(std::filesystem::path path) : path_(std::move(path)) {}
  bool Open(std::string& error);
  // Finds every export the host needs; names the first one missing.
  bool BindExports(std::string& missing);
  void* FindExport(const char* name) const;

  std::filesystem::path path_;
  void* module_ = nullptr;
#if !defined(_WIN32)
  FolioFreeBlockFunction freeBlock_ = nullptr;
#endif
};

// The library that sits beside this program: libfolio.so, or folio.sph
// (folio.spi for a 32-bit build of the host).
std::filesystem::path DefaultPluginPath();

// Owns one block that the plug-in handed out.
class PluginBlock {
 public:
  explicit PluginBlock(const PluginLibrary& library) : library_(library) {}
  PluginBlock(const PluginBlock&) = delete;
  PluginBlock& operator=(const PluginBlock&) = delete;
  ~PluginBlock() {
    if (block_) library_.FreeBlock(block_);
  }

  // Where an export stores the block it hands out.
  SusieHandle* out() { return &block_; }
  const unsigned char* bytes() const { return static_cast<const unsigned char*>(block_); }
  explicit operator bool() const { return block_ != nullptr; }

 private:
  const PluginLibrary& library_;
  SusieHandle block_ = nullptr;
};

}  // namespace folio::cli
