// Host blocks with a hidden size header, so that their size can be taken as
// LocalSize takes it; the host frees them with FolioFreeBlock.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/host_heap.h"

namespace folio::platform {
namespace {

// Keeps the payload aligned as malloc would align it.
constexpr std::size_t kHeaderSize = alignof(std::max_align_t);

std::byte* HeaderOf(const void* block) {
  return static_cast<std::byte*>(const_cast<void*>(block)) - kHeaderSize;
}

}  // namespace

void* AllocateHostBlock(std::size_t size, bool zeroFilled) noexcept {
  if (size > SIZE_MAX - kHeaderSize) return nullptr;
  void* raw = zeroFilled ? std::calloc(1, kHeaderSize + size) : std::malloc(kHeaderSize + size);
  if (!raw) return nullptr;
  std::memcpy(raw, &size, sizeof size);
  return static_cast<std::byte*>(raw) + kHeaderSize;
}

std::size_t HostBlockSize(const void* block) noexcept {
  std::size_t size;
  std::memcpy(&size, HeaderOf(block), sizeof size);
  return size;
}

void FreeHostBlock(void* block) noexcept {
  if (block) std::free(HeaderOf(block));
}

}  // namespace folio::platform
