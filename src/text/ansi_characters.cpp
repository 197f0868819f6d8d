#include "text/ansi_characters.h"

#include <utility>

#include "base/unicode.h"

namespace folio::text {

AnsiCharacters::AnsiCharacters(std::unique_ptr<platform::AnsiTextDecoder> decoder) : decoder_(std::move(decoder)) {
  for (unsigned value = 0; value < 256; ++value) {
    const auto byte = static_cast<std::uint8_t>(value);
    char16_t unit = value < 0x80 ? char16_t(value) : base::kReplacementCharacter;
    if (decoder_) {
      leadBytes_[byte] = decoder_->IsLeadByte(byte);
      if (!decoder_->DecodeCharacter(&byte, 1, unit)) unit = base::kReplacementCharacter;
    }
    singleBytes_[byte] = unit;
  }
}

std::optional<char16_t> AnsiCharacters::AskDecoder(std::uint8_t lead, std::uint8_t trail) {
  std::unique_ptr<PairRow>& row = pairRows_[lead];
  if (!row) row = std::make_unique<PairRow>();  // value-initialised: nothing asked yet
  const std::uint8_t pair[2] = {lead, trail};
  char16_t unit = 0;
  const bool decoded = decoder_->DecodeCharacter(pair, 2, unit) && unit != kNotAskedYet && unit != kRefused;
  (*row)[trail] = decoded ? unit : kRefused;
  if (!decoded) return std::nullopt;
  return unit;
}

}  // namespace folio::text
