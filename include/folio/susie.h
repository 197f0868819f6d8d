/* The Susie archive plug-in interface as folio implements it: entry records,
 * result codes, flag bits and the ten exported functions.  Valid C and C++;
 * includes no platform header. */
#ifndef FOLIO_SUSIE_H
#define FOLIO_SUSIE_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
typedef wchar_t SusieWideChar;
#if defined(_M_IX86) || defined(__i386__)
#define SUSIE_API __stdcall
#else
#define SUSIE_API
#endif
#else
#if defined(__cplusplus)
typedef char16_t SusieWideChar;
#else
#include <uchar.h>
typedef char16_t SusieWideChar;
#endif
#define SUSIE_API
#endif

#if defined(FOLIO_BUILDING_LIBRARY) && !defined(_WIN32)
#define SUSIE_EXPORT __attribute__((visibility("default")))
#else
#define SUSIE_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Result codes of the listing and extraction functions. */
enum {
  SUSIE_SUCCESS = 0,
  SUSIE_NOT_SUPPORTED = -1, /* memory input, or a member missing from a fresh listing */
  SUSIE_UNKNOWN_FORMAT = 2, /* not handled, too short, or a member missing from a cached listing */
  SUSIE_OUT_OF_MEMORY = 4,
  SUSIE_MEMORY_ERROR = 5, /* the page bitmap can't be created */
  SUSIE_FILE_READ_ERROR = 6,
  SUSIE_FILE_WRITE_ERROR = 9
};

/* Bits of the host's flag word. */
enum {
  SUSIE_INPUT_KIND_MASK = 0x7,   /* non-zero: the input is in memory (unsupported) */
  SUSIE_OUTPUT_TO_MEMORY = 0x100 /* GetFile: return the page in a heap block */
};

enum { SUSIE_NAME_CHARS = 200 };

/* One archive member.  Pointer-sized fields make the layout the interface's
 * for both widths: 848 bytes (W) and 448 bytes (A) on 64-bit builds, 828 and
 * 428 on 32-bit builds. */
typedef struct ArchiveEntryW {
  unsigned char method[8];
  uintptr_t position;
  uintptr_t compressedSize;
  uintptr_t fileSize;
  intptr_t timestamp;
  SusieWideChar path[SUSIE_NAME_CHARS];
  SusieWideChar fileName[SUSIE_NAME_CHARS];
  uint32_t crc;
} ArchiveEntryW;

typedef struct ArchiveEntryA {
  unsigned char method[8];
  uintptr_t position;
  uintptr_t compressedSize;
  uintptr_t fileSize;
  intptr_t timestamp;
  char path[SUSIE_NAME_CHARS];
  char fileName[SUSIE_NAME_CHARS];
  uint32_t crc;
} ArchiveEntryA;

/* A heap block handed to the host: an HLOCAL on Windows (free it with
 * LocalFree), a block of the library's own elsewhere (free it with
 * FolioFreeBlock). */
typedef void* SusieHandle;

typedef int(SUSIE_API* SusieProgressCallback)(int done, int total, intptr_t userData);

SUSIE_EXPORT int SUSIE_API GetPluginInfo(int infoIndex, char* buffer, int bufferLength);
SUSIE_EXPORT int SUSIE_API GetPluginInfoW(int infoIndex, SusieWideChar* buffer, int bufferLength);
SUSIE_EXPORT int SUSIE_API IsSupported(const char* fileName, void* data);
SUSIE_EXPORT int SUSIE_API IsSupportedW(const SusieWideChar* fileName, void* data);
SUSIE_EXPORT int SUSIE_API GetArchiveInfo(const char* path, intptr_t offset, unsigned int flags,
                                          SusieHandle* entriesOut);
SUSIE_EXPORT int SUSIE_API GetArchiveInfoW(const SusieWideChar* path, intptr_t offset, unsigned int flags,
                                           SusieHandle* entriesOut);
SUSIE_EXPORT int SUSIE_API GetFileInfo(const char* path, intptr_t offset, const char* memberName,
                                       unsigned int flags, ArchiveEntryA* entryOut);
SUSIE_EXPORT int SUSIE_API GetFileInfoW(const SusieWideChar* path, intptr_t offset,
                                        const SusieWideChar* memberName, unsigned int flags,
                                        ArchiveEntryW* entryOut);
SUSIE_EXPORT int SUSIE_API GetFile(const char* path, intptr_t position, char* destination, unsigned int flags,
                                   SusieProgressCallback progressCallback, intptr_t userData);
SUSIE_EXPORT int SUSIE_API GetFileW(const SusieWideChar* path, intptr_t position, SusieWideChar* destination,
                                    unsigned int flags, SusieProgressCallback progressCallback, intptr_t userData);

#if !defined(_WIN32)
/* Releases a block that the library handed out (entry arrays, page images). */
SUSIE_EXPORT void FolioFreeBlock(SusieHandle block);
#endif

/* Function types, for hosts that look the exports up by name. */
typedef int(SUSIE_API* GetPluginInfoFunction)(int, char*, int);
typedef int(SUSIE_API* GetPluginInfoWFunction)(int, SusieWideChar*, int);
typedef int(SUSIE_API* IsSupportedFunction)(const char*, void*);
typedef int(SUSIE_API* IsSupportedWFunction)(const SusieWideChar*, void*);
typedef int(SUSIE_API* GetArchiveInfoFunction)(const char*, intptr_t, unsigned int, SusieHandle*);
typedef int(SUSIE_API* GetArchiveInfoWFunction)(const SusieWideChar*, intptr_t, unsigned int, SusieHandle*);
typedef int(SUSIE_API* GetFileInfoFunction)(const char*, intptr_t, const char*, unsigned int, ArchiveEntryA*);
typedef int(SUSIE_API* GetFileInfoWFunction)(const SusieWideChar*, intptr_t, const SusieWideChar*, unsigned int,
                                             ArchiveEntryW*);
typedef int(SUSIE_API* GetFileFunction)(const char*, intptr_t, char*, unsigned int, SusieProgressCallback,
                                        intptr_t);
typedef int(SUSIE_API* GetFileWFunction)(const SusieWideChar*, intptr_t, SusieWideChar*, unsigned int,
                                         SusieProgressCallback, intptr_t);
typedef void (*FolioFreeBlockFunction)(SusieHandle);

#ifdef __cplusplus
}
#endif

#endif
