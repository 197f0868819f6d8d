// Blocks handed to the host: entry arrays and page images.  Windows: the
// local heap (the host frees with LocalFree).  Elsewhere: a block with a
// hidden size header, freed through the exported FolioFreeBlock.
#pragma once

#include <cstddef>
#include <utility>

namespace folio::platform {

void* AllocateHostBlock(std::size_t size, bool zeroFilled) noexcept;  // null on failure
std::size_t HostBlockSize(const void* block) noexcept;
void FreeHostBlock(void* block) noexcept;  // null is fine

// Sole owner of one host block until it is released to the host.
class HostBlock {
 public:
  HostBlock() = default;
  explicit HostBlock(void* block) noexcept : block_(block) {}
  HostBlock(HostBlock&& other) noexcept : block_(std::exchange(other.block_, nullptr)) {}
  HostBlock& operator=(HostBlock&& other) noexcept {
    if (this != &other) {
      FreeHostBlock(block_);
      block_ = std::exchange(other.block_, nullptr);
    }
    return *this;
  }
  HostBlock(const HostBlock&) = delete;
  HostBlock& operator=(const HostBlock&) = delete;
  ~HostBlock() { FreeHostBlock(block_); }

  static HostBlock Allocate(std::size_t size, bool zeroFilled) noexcept {
    return HostBlock(AllocateHostBlock(size, zeroFilled));
  }
  explicit operator bool() const noexcept { return block_ != nullptr; }
  void* get() const noexcept { return block_; }
  std::byte* bytes() const noexcept { return static_cast<std::byte*>(block_); }
  std::size_t size() const noexcept { return block_ ? HostBlockSize(block_) : 0; }
  void* release() noexcept { return std::exchange(block_, nullptr); }

 private:
  void* block_ = nullptr;
};

}  // namespace folio::platform
