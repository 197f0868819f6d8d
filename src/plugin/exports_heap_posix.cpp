// How a host on this platform gives back the blocks it received.
#include "folio/susie.h"
#include "platform/host_heap.h"

extern "C" SUSIE_EXPORT void FolioFreeBlock(SusieHandle block) {
  folio::platform::FreeHostBlock(block);
}
