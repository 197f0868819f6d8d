// Host blocks with a hidden size header, so that their size can be taken as
// LocalSize takes it; the host frees them with FolioFreeBlock.
#include <sys/mman.h>

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

// A long text's entry array is megabytes that a listing writes whole at once
// (17 MB for 20,000 pages).  Where the kernel gives huge pages on request,
// the page faults of a fresh process writing it cost a fraction of those of
// 4 KiB pages, which took 50 ms of such a listing's 60 on the build machine.
constexpr std::uintptr_t kHugePageBytes = 2u << 20;

void AdviseHugePages(void* raw, std::size_t bytes) noexcept {
  const auto start = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t first = (start + kHugePageBytes - 1) & ~(kHugePageBytes - 1);
  const std::uintptr_t end = (start + bytes) & ~(kHugePageBytes - 1);
  if (end > first) madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
}

}  // namespace

void* AllocateHostBlock(std::size_t size, bool zeroFilled) noexcept {
  if (size > SIZE_MAX - kHeaderSize) return nullptr;
  void* raw = zeroFilled ? std::calloc(1, kHeaderSize + size) : std::malloc(kHeaderSize + size);
  if (!raw) return nullptr;
  std::memcpy(raw, &size, sizeof size);
  if (size >= 2 * kHugePageBytes) AdviseHugePages(raw, kHeaderSize + size);
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
