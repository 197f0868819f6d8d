// Member names over arbitrary names and text paths.  Input: two 32-bit line
// numbers, then UTF-16 units: the text path, a zero unit, the member name.
// A name that parses must be exactly the one the page list would write for a
// stem of the same length (the path may come in another letter case), and
// every name the page list writes must fit its field and parse back.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "folio/susie.h"
#include "plugin/member_name.h"

using namespace folio::plugin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::int32_t lines[2];
  if (size < sizeof lines) return 0;
  std::memcpy(lines, data, sizeof lines);
  std::u16string units((size - sizeof lines) / 2, u'\0');
  std::memcpy(units.data(), data + sizeof lines, units.size() * 2);
  const std::size_t zero = units.find(u'\0');
  const std::u16string path = units.substr(0, zero);
  const std::u16string name = zero == std::u16string::npos ? std::u16string() : units.substr(zero + 1);

  const std::u16string stem = MemberStem(path);
  if (stem.size() > kMaxStemUnits) __builtin_trap();

  if (const auto range = LineRangeFromMemberName(path, name)) {
    if (FormatMemberName(name.substr(0, stem.size()), range->firstLine, range->lastLine) != name) __builtin_trap();
  }

  const std::u16string written = FormatMemberName(stem, lines[0], lines[1]);
  if (written.size() >= SUSIE_NAME_CHARS) __builtin_trap();  // the field keeps its terminator
  const auto parsed = LineRangeFromMemberName(path, written);
  if (!parsed || parsed->firstLine != lines[0] || parsed->lastLine != lines[1]) __builtin_trap();
  return 0;
}
