// The characters of the default ANSI code page, each asked of the platform's
// decoder once: every single byte when the stream opens, a double-byte pair
// when it first appears.  Per-character platform calls would dominate the
// reading of a long text.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

#include "platform/ansi_text_decoder.h"

namespace folio::text {

class AnsiCharacters {
 public:
  // Without a decoder, bytes 00-7F decode as ASCII and the rest as U+FFFD.
  explicit AnsiCharacters(std::unique_ptr<platform::AnsiTextDecoder> decoder);

  bool IsLeadByte(std::uint8_t byte) const noexcept { return leadBytes_[byte]; }
  const std::array<bool, 256>& leadBytes() const noexcept { return leadBytes_; }
  // U+FFFD for a byte the code page refuses.
  char16_t DecodeSingleByte(std::uint8_t byte) const noexcept { return singleBytes_[byte]; }
  // Nothing when the code page refuses the pair.
  std::optional<char16_t> DecodePair(std::uint8_t lead, std::uint8_t trail) {
    const PairRow* row = pairRows_[lead].get();
    const char16_t entry = row ? (*row)[trail] : kNotAskedYet;
    if (entry == kNotAskedYet) return AskDecoder(lead, trail);
    if (entry == kRefused) return std::nullopt;
    return entry;
  }

 private:
  using PairRow = std::array<char16_t, 256>;
  // Row entries: not asked yet, or refused.  No code page decodes a pair
  // into U+0000 or into the noncharacter U+FFFF.
  static constexpr char16_t kNotAskedYet = 0x0000;
  static constexpr char16_t kRefused = 0xFFFF;

  std::optional<char16_t> AskDecoder(std::uint8_t lead, std::uint8_t trail);

  std::unique_ptr<platform::AnsiTextDecoder> decoder_;
  std::array<bool, 256> leadBytes_{};
  std::array<char16_t, 256> singleBytes_{};
  // One row of trail bytes per lead byte met so far.
  std::array<std::unique_ptr<PairRow>, 256> pairRows_;
};

}  // namespace folio::text
