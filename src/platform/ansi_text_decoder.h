// The decoder for ANSI-coded text files.  Windows: the system's ANSI code page
// (MultiByteToWideChar and IsDBCSLeadByteEx).  Elsewhere: iconv with the
// codeset of the environment's default locale.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace folio::platform {

// Decodes text in the code page of the environment's default locale without
// touching any process-wide locale state.
class AnsiTextDecoder {
 public:
  static std::unique_ptr<AnsiTextDecoder> ForDefaultCodePage();
  virtual ~AnsiTextDecoder() = default;

  // True when `byte` begins a two-byte character in this code page.
  virtual bool IsLeadByte(std::uint8_t byte) const = 0;
  // Decodes one character of `count` bytes (1, or 2 after a lead byte) into
  // one UTF-16 unit; false when the code page refuses the sequence.
  virtual bool DecodeCharacter(const std::uint8_t* bytes, std::size_t count, char16_t& unit) const = 0;
};

}  // namespace folio::platform
