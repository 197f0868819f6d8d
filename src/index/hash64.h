// A fast 64-bit non-cryptographic hash: XXH64, whose published test values
// it reproduces.  For file names, content fingerprints and checksums; never
// for anything an adversary could profit from colliding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace folio::index {

std::uint64_t Hash64(std::string_view bytes, std::uint64_t seed = 0) noexcept;

// The same hash over bytes that arrive in pieces: after Add(a) and Add(b),
// Value() is Hash64 of a and b joined.
class Hash64Builder {
 public:
  explicit Hash64Builder(std::uint64_t seed = 0) noexcept;
  void Add(const void* bytes, std::size_t count) noexcept;
  // Of the bytes added so far; more may follow.
  std::uint64_t Value() const noexcept;

 private:
  static constexpr std::size_t kStripeBytes = 32;

  std::uint64_t seed_;
  std::uint64_t lanes_[4];
  std::uint64_t length_ = 0;
  // The bytes after the last whole stripe.
  unsigned char tail_[kStripeBytes];
  std::size_t tailBytes_ = 0;
};

}  // namespace folio::index
