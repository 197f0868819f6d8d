// GetArchiveInfo(W), GetFileInfo(W), GetFile(W): listing and extraction.
#include "folio/susie.h"

extern "C" {

SUSIE_EXPORT int SUSIE_API GetArchiveInfoW(const SusieWideChar*, intptr_t, unsigned int, SusieHandle*) {
  return SUSIE_NOT_SUPPORTED;
}
SUSIE_EXPORT int SUSIE_API GetArchiveInfo(const char*, intptr_t, unsigned int, SusieHandle*) {
  return SUSIE_NOT_SUPPORTED;
}
SUSIE_EXPORT int SUSIE_API GetFileInfoW(const SusieWideChar*, intptr_t, const SusieWideChar*, unsigned int,
                                        ArchiveEntryW*) {
  return SUSIE_NOT_SUPPORTED;
}
SUSIE_EXPORT int SUSIE_API GetFileInfo(const char*, intptr_t, const char*, unsigned int, ArchiveEntryA*) {
  return SUSIE_NOT_SUPPORTED;
}
SUSIE_EXPORT int SUSIE_API GetFileW(const SusieWideChar*, intptr_t, SusieWideChar*, unsigned int,
                                    SusieProgressCallback, intptr_t) {
  return SUSIE_NOT_SUPPORTED;
}
SUSIE_EXPORT int SUSIE_API GetFile(const char*, intptr_t, char*, unsigned int, SusieProgressCallback, intptr_t) {
  return SUSIE_NOT_SUPPORTED;
}

}  // extern "C"
