#include "plugin/entry_record.h"

#include <algorithm>
#include <cstring>

#include "base/unicode.h"
#include "plugin/boundary.h"

namespace folio::plugin {
namespace {

std::string AnsiFieldText(const NameField& field) {
  return AnsiPrefixWithin(FieldText(field), SUSIE_NAME_CHARS - 1);
}

void SetAnsiField(char (&field)[SUSIE_NAME_CHARS], const std::string& text) {
  std::memcpy(field, text.c_str(), text.size() + 1);
}

}  // namespace

std::u16string_view FieldText(const NameField& field) noexcept {
  const auto* units = reinterpret_cast<const char16_t*>(field);
  return std::u16string_view(units, std::find(units, units + SUSIE_NAME_CHARS, u'\0') - units);
}

void SetFieldText(NameField& field, std::u16string_view text) noexcept {
  std::size_t length = std::min<std::size_t>(text.size(), SUSIE_NAME_CHARS - 1);
  if (length < text.size() && length > 0 && base::IsHighSurrogate(text[length - 1])) --length;
  std::copy_n(text.data(), length, field);
  field[length] = 0;
}

void WriteAnsiEntry(const ArchiveEntryW& wide, ArchiveEntryA& ansi) {
  // Converted first, so that a failure leaves the record as it was.
  const std::string path = AnsiFieldText(wide.path);
  const std::string fileName = AnsiFieldText(wide.fileName);
  std::memset(&ansi, 0, sizeof ansi);
  std::memcpy(ansi.method, wide.method, sizeof ansi.method - 1);
  ansi.position = wide.position;
  ansi.compressedSize = wide.compressedSize;
  ansi.fileSize = wide.fileSize;
  ansi.timestamp = wide.timestamp;
  SetAnsiField(ansi.path, path);
  SetAnsiField(ansi.fileName, fileName);
}

}  // namespace folio::plugin
