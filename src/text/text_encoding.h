// Recognising a text file's encoding from its bytes.
#pragma once

#include <cstdint>

namespace folio::text {

enum class TextEncoding : std::int32_t { Utf16LE = 1, Utf16BE = 2, Utf8 = 3, Ansi = 4 };

TextEncoding DetectTextEncoding(const std::uint8_t* bytes, std::uint32_t count) noexcept;

}  // namespace folio::text
