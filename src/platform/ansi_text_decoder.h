// The decoder for ANSI-coded text files.  Windows: the system's ANSI code page
// (MultiByteToWideChar and IsDBCSLeadByteEx).  Elsewhere: iconv with the
// codeset of the environment's default locale; where that is UTF-8 or plain
// ASCII, which can't be what such a file is in, CP932, the double-byte layout
// that the encoding detector scores for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace folio::platform {

// Decodes text in the code page of the environment's default locale without
// touching any process-wide locale state.
class AnsiTextDecoder {
 public:
  // Null when the platform can't decode that code page at all.
  static std::unique_ptr<AnsiTextDecoder> ForDefaultCodePage();
  virtual ~AnsiTextDecoder() = default;

  // True when `byte` begins a two-byte character in this code page.
  virtual bool IsLeadByte(std::uint8_t byte) const = 0;
  // Decodes one character of `count` bytes (1, or 2 after a lead byte) into
  // one UTF-16 unit; false when the code page refuses the sequence.
  virtual bool DecodeCharacter(const std::uint8_t* bytes, std::size_t count, char16_t& unit) const = 0;
};

}  // namespace folio::platform
