// Reading and writing the fields of archive entry records.  The text fields
// hold SUSIE_NAME_CHARS units with their terminator; nothing is ever written
// past them, and a field without a terminator is read up to its end.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "folio/susie.h"

namespace folio::plugin {

// Entries in page order followed by an all-zero terminator record.
using EntryArray = std::vector<ArchiveEntryW>;

using NameField = SusieWideChar[SUSIE_NAME_CHARS];

std::u16string_view FieldText(const NameField& field) noexcept;
// Cut to SUSIE_NAME_CHARS - 1 units, never inside a surrogate pair.
void SetFieldText(NameField& field, std::u16string_view text) noexcept;

// An array of entries ends with a record whose method starts with a zero byte.
inline bool IsTerminator(const ArchiveEntryW& entry) noexcept {
  return entry.method[0] == 0;
}

// The whole of `ansi` rewritten as the ANSI form of `wide`: names in the
// calling thread's ANSI code page, cut between characters to fit.
void WriteAnsiEntry(const ArchiveEntryW& wide, ArchiveEntryA& ansi);

}  // namespace folio::plugin
