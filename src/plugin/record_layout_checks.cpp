// The host reads entry arrays by stride, so every offset below is part of the
// interface.  Compiled by every build: the 32-bit DLL checks the 32-bit column.
#include <cstddef>

#include "folio/susie.h"

#define FOLIO_CHECK_FIELD(record, field, offset64, offset32)                           \
  static_assert(offsetof(record, field) == (sizeof(void*) == 8 ? offset64 : offset32), \
                #record "." #field " is at the interface's offset")

static_assert(sizeof(void*) == 8 || sizeof(void*) == 4);
static_assert(sizeof(SusieWideChar) == 2);

FOLIO_CHECK_FIELD(ArchiveEntryW, method, 0, 0);
FOLIO_CHECK_FIELD(ArchiveEntryW, position, 8, 8);
FOLIO_CHECK_FIELD(ArchiveEntryW, compressedSize, 16, 12);
FOLIO_CHECK_FIELD(ArchiveEntryW, fileSize, 24, 16);
FOLIO_CHECK_FIELD(ArchiveEntryW, timestamp, 32, 20);
FOLIO_CHECK_FIELD(ArchiveEntryW, path, 40, 24);
FOLIO_CHECK_FIELD(ArchiveEntryW, fileName, 440, 424);
FOLIO_CHECK_FIELD(ArchiveEntryW, crc, 840, 824);
static_assert(sizeof(ArchiveEntryW) == (sizeof(void*) == 8 ? 848 : 828));

FOLIO_CHECK_FIELD(ArchiveEntryA, method, 0, 0);
FOLIO_CHECK_FIELD(ArchiveEntryA, position, 8, 8);
FOLIO_CHECK_FIELD(ArchiveEntryA, compressedSize, 16, 12);
FOLIO_CHECK_FIELD(ArchiveEntryA, fileSize, 24, 16);
FOLIO_CHECK_FIELD(ArchiveEntryA, timestamp, 32, 20);
FOLIO_CHECK_FIELD(ArchiveEntryA, path, 40, 24);
FOLIO_CHECK_FIELD(ArchiveEntryA, fileName, 240, 224);
FOLIO_CHECK_FIELD(ArchiveEntryA, crc, 440, 424);
static_assert(sizeof(ArchiveEntryA) == (sizeof(void*) == 8 ? 448 : 428));
