// Helpers for the exported functions: nothing escapes them, and no caller's
// string is read past its terminator or past a sane length.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "folio/susie.h"

namespace folio::plugin {

// Longest path Windows accepts, in UTF-16 units; longer arguments are refused.
inline constexpr std::size_t kMaxArgumentUnits = 32767;

std::optional<std::u16string> WideArgument(const SusieWideChar* text);
// Converted from the calling thread's ANSI code page.
std::optional<std::u16string> AnsiArgument(const char* text);

// The longest ANSI form of a prefix of `text` that fits `capacity` bytes,
// cut between characters, never inside a double-byte one or a surrogate pair.
std::string AnsiPrefixWithin(std::u16string_view text, std::size_t capacity);

// Runs `body`, turning anything thrown into a result code.
template <typename Body>
int Guarded(int onFailure, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return onFailure;
  }
}

}  // namespace folio::plugin
