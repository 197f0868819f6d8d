// Host blocks on the local heap: the host frees them with LocalFree.
#include <windows.h>

#include "platform/host_heap.h"

namespace folio::platform {

void* AllocateHostBlock(std::size_t size, bool zeroFilled) noexcept {
  return LocalAlloc(zeroFilled ? LPTR : LMEM_FIXED, size);
}

std::size_t HostBlockSize(const void* block) noexcept {
  return LocalSize(const_cast<HLOCAL>(block));
}

void FreeHostBlock(void* block) noexcept {
  if (block) LocalFree(block);
}

}  // namespace folio::platform
