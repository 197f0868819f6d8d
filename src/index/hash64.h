// A fast 64-bit non-cryptographic hash: XXH64, whose published test values
// it reproduces.  For file names, content fingerprints and checksums; never
// for anything an adversary could profit from colliding.
#pragma once

#include <cstdint>
#include <string_view>

namespace folio::index {

std::uint64_t Hash64(std::string_view bytes, std::uint64_t seed = 0) noexcept;

}  // namespace folio::index
