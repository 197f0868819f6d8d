// GetArchiveInfo(W), GetFileInfo(W), GetFile(W): listing and extraction.
//
// Arguments that can't be used give these codes: a null path, or one longer
// than any path can be, 6 (the file can't be opened); a null place for the
// result (entriesOut, entryOut, or the handle pointer of memory output) -1;
// a null destination folder 9 (the file can't be created); a null or empty
// member name -1 (no page has it).
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

#include "folio/susie.h"
#include "platform/files.h"
#include "platform/host_heap.h"
#include "platform/path_names.h"
#include "plugin/archive_lookup.h"
#include "plugin/boundary.h"
#include "plugin/entry_record.h"
#include "render/bitmap_file.h"

namespace folio::plugin {
namespace {

using OptionalText = std::optional<std::u16string>;

bool InputInMemory(unsigned int flags) {
  return (flags & SUSIE_INPUT_KIND_MASK) != 0;
}

// Listings always reflect the text and the settings as they are now.
int ListEntries(const OptionalText& path, std::intptr_t offset, platform::HostBlock& entries) {
  if (!path) return SUSIE_FILE_READ_ERROR;
  ArchiveCache& cache = SharedArchiveCache();
  cache.Clear();
  CallText call(SystemSources(), *path);
  return LookupArchive(cache, SharedPageStartIndex(), call, offset, ArchiveRequest::WholeArray(entries));
}

int FindEntryByName(const OptionalText& path, std::intptr_t offset, const OptionalText& memberName,
                    ArchiveEntryW& entry) {
  if (!path) return SUSIE_FILE_READ_ERROR;
  if (!memberName || memberName->empty()) return SUSIE_NOT_SUPPORTED;
  ArchiveCache& cache = SharedArchiveCache();
  cache.Clear();
  CallText call(SystemSources(), *path);
  return LookupArchive(cache, SharedPageStartIndex(), call, offset, ArchiveRequest::ByName(*memberName, entry));
}

// The page at `position`, drawn into `image`; extractions use the cache.
int DrawPage(const std::u16string& path, std::intptr_t position, ArchiveEntryW& entry,
             platform::HostBlock& image) {
  CallText call(SystemSources(), path);
  return DrawListedPage(SharedArchiveCache(), SharedPageStartIndex(), call, static_cast<std::uintptr_t>(position),
                        entry, image);
}

int ExtractToMemory(const OptionalText& path, std::intptr_t position, SusieHandle* imageOut) {
  if (!path) return SUSIE_FILE_READ_ERROR;
  if (!imageOut) return SUSIE_NOT_SUPPORTED;
  ArchiveEntryW entry{};
  platform::HostBlock image;
  const int drawn = DrawPage(*path, position, entry, image);
  if (drawn == SUSIE_SUCCESS) *imageOut = image.release();
  return drawn;
}

// Creates the file (never over an existing one) and writes `size` bytes of
// `data`; on any failure removes what it created and returns 9.
int WriteNewFile(const std::u16string& filePath, const platform::HostBlock& data, std::size_t size) {
  auto file = platform::OutputFile::CreateNew(filePath);
  if (!file) return SUSIE_FILE_WRITE_ERROR;
  const bool written = file->WriteAll(data.get(), size);
  if (file->Close() && written) return SUSIE_SUCCESS;
  platform::RemoveFile(filePath);
  return SUSIE_FILE_WRITE_ERROR;
}

int ExtractToFolder(const OptionalText& path, std::intptr_t position, const OptionalText& folder) {
  if (!path) return SUSIE_FILE_READ_ERROR;
  if (!folder) return SUSIE_FILE_WRITE_ERROR;
  ArchiveEntryW entry{};
  platform::HostBlock image;
  const int drawn = DrawPage(*path, position, entry, image);
  if (drawn != SUSIE_SUCCESS) return drawn;
  // The page as drawn, whole: the settings may have changed its size since
  // the listing.
  return WriteNewFile(platform::CombinePath(*folder, FieldText(entry.fileName)), image,
                      render::BitmapFileSizeOf(image));
}

// The host's block of ANSI records: the wide array converted record by
// record, zero-filled so that the record after the last ends it.
int ToAnsiArray(const platform::HostBlock& wideEntries, platform::HostBlock& ansiEntries) {
  const auto* wide = static_cast<const ArchiveEntryW*>(wideEntries.get());
  std::size_t count = 0;
  while (!IsTerminator(wide[count])) ++count;
  auto block = platform::HostBlock::Allocate((count + 1) * sizeof(ArchiveEntryA), true);
  if (!block) return SUSIE_OUT_OF_MEMORY;
  auto* ansi = static_cast<ArchiveEntryA*>(block.get());
  for (std::size_t i = 0; i < count; ++i) WriteAnsiEntry(wide[i], ansi[i]);
  ansiEntries = std::move(block);
  return SUSIE_SUCCESS;
}

// Hands a block to the host; on any failure the host's handle is null.
template <typename ListBody>
int ListInto(SusieHandle* entriesOut, unsigned int flags, ListBody&& list) {
  if (!entriesOut) return SUSIE_NOT_SUPPORTED;
  *entriesOut = nullptr;
  if (InputInMemory(flags)) return SUSIE_NOT_SUPPORTED;
  platform::HostBlock entries;
  const int listed = list(entries);
  if (listed == SUSIE_SUCCESS) *entriesOut = entries.release();
  return listed;
}

// The name as the wide record's file-name field holds it, which the host sees
// even when the lookup fails.
void ShowRequestedName(ArchiveEntryW& entry, const OptionalText& memberName) {
  SetFieldText(entry.fileName, memberName ? std::u16string_view(*memberName) : std::u16string_view());
}

}  // namespace
}  // namespace folio::plugin

using namespace folio;
using namespace folio::plugin;

extern "C" {

SUSIE_EXPORT int SUSIE_API GetArchiveInfoW(const SusieWideChar* path, intptr_t offset, unsigned int flags,
                                           SusieHandle* entriesOut) {
  return Guarded(SUSIE_OUT_OF_MEMORY, [&]() -> int {
    return ListInto(entriesOut, flags, [&](platform::HostBlock& entries) {
      return ListEntries(WideArgument(path), offset, entries);
    });
  });
}

SUSIE_EXPORT int SUSIE_API GetArchiveInfo(const char* path, intptr_t offset, unsigned int flags,
                                          SusieHandle* entriesOut) {
  return Guarded(SUSIE_OUT_OF_MEMORY, [&]() -> int {
    return ListInto(entriesOut, flags, [&](platform::HostBlock& ansiEntries) -> int {
      platform::HostBlock wideEntries;
      const int listed = ListEntries(AnsiArgument(path), offset, wideEntries);
      if (listed != SUSIE_SUCCESS) return listed;
      return ToAnsiArray(wideEntries, ansiEntries);
    });
  });
}

SUSIE_EXPORT int SUSIE_API GetFileInfoW(const SusieWideChar* path, intptr_t offset,
                                        const SusieWideChar* memberName, unsigned int flags,
                                        ArchiveEntryW* entryOut) {
  return Guarded(SUSIE_OUT_OF_MEMORY, [&]() -> int {
    if (InputInMemory(flags) || !entryOut) return SUSIE_NOT_SUPPORTED;
    const OptionalText name = WideArgument(memberName);
    ShowRequestedName(*entryOut, name);
    return FindEntryByName(WideArgument(path), offset, name, *entryOut);
  });
}

SUSIE_EXPORT int SUSIE_API GetFileInfo(const char* path, intptr_t offset, const char* memberName,
                                       unsigned int flags, ArchiveEntryA* entryOut) {
  return Guarded(SUSIE_OUT_OF_MEMORY, [&]() -> int {
    if (InputInMemory(flags) || !entryOut) return SUSIE_NOT_SUPPORTED;
    ArchiveEntryW entry{};
    const int found = FindEntryByName(AnsiArgument(path), offset, AnsiArgument(memberName), entry);
    if (found == SUSIE_SUCCESS) WriteAnsiEntry(entry, *entryOut);
    return found;
  });
}

SUSIE_EXPORT int SUSIE_API GetFileW(const SusieWideChar* path, intptr_t position, SusieWideChar* destination,
                                    unsigned int flags, SusieProgressCallback, intptr_t) {
  return Guarded(SUSIE_OUT_OF_MEMORY, [&]() -> int {
    if (InputInMemory(flags)) return SUSIE_NOT_SUPPORTED;
    if (flags & SUSIE_OUTPUT_TO_MEMORY) {
      return ExtractToMemory(WideArgument(path), position, reinterpret_cast<SusieHandle*>(destination));
    }
    return ExtractToFolder(WideArgument(path), position, WideArgument(destination));
  });
}

SUSIE_EXPORT int SUSIE_API GetFile(const char* path, intptr_t position, char* destination, unsigned int flags,
                                   SusieProgressCallback, intptr_t) {
  return Guarded(SUSIE_OUT_OF_MEMORY, [&]() -> int {
    if (InputInMemory(flags)) return SUSIE_NOT_SUPPORTED;
    if (flags & SUSIE_OUTPUT_TO_MEMORY) {
      return ExtractToMemory(AnsiArgument(path), position, reinterpret_cast<SusieHandle*>(destination));
    }
    return ExtractToFolder(AnsiArgument(path), position, AnsiArgument(destination));
  });
}

}  // extern "C"
