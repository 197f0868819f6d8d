#include "index/hash64.h"

#include <bit>
#include <cstddef>

namespace folio::index {
namespace {

constexpr std::uint64_t kPrime1 = 0x9E3779B185EBCA87;
constexpr std::uint64_t kPrime2 = 0xC2B2AE3D27D4EB4F;
constexpr std::uint64_t kPrime3 = 0x165667B19E3779F9;
constexpr std::uint64_t kPrime4 = 0x85EBCA77C2B2AE63;
constexpr std::uint64_t kPrime5 = 0x27D4EB2F165667C5;

// Little-endian reads byte by byte: any alignment, any host byte order.
std::uint64_t Read64(const unsigned char* bytes) noexcept {
  std::uint64_t value = 0;
  for (int i = 7; i >= 0; --i) value = (value << 8) | bytes[i];
  return value;
}

std::uint64_t Read32(const unsigned char* bytes) noexcept {
  return static_cast<std::uint64_t>(bytes[0]) | static_cast<std::uint64_t>(bytes[1]) << 8 |
         static_cast<std::uint64_t>(bytes[2]) << 16 | static_cast<std::uint64_t>(bytes[3]) << 24;
}

std::uint64_t Round(std::uint64_t accumulator, std::uint64_t input) noexcept {
  accumulator += input * kPrime2;
  return std::rotl(accumulator, 31) * kPrime1;
}

std::uint64_t MergeRound(std::uint64_t hash, std::uint64_t accumulator) noexcept {
  hash ^= Round(0, accumulator);
  return hash * kPrime1 + kPrime4;
}

}  // namespace

std::uint64_t Hash64(std::string_view text, std::uint64_t seed) noexcept {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t length = text.size();
  const unsigned char* const end = bytes + length;
  std::uint64_t hash;
  if (length >= 32) {
    std::uint64_t lanes[4] = {seed + kPrime1 + kPrime2, seed + kPrime2, seed, seed - kPrime1};
    for (; end - bytes >= 32; bytes += 32) {
      for (int lane = 0; lane < 4; ++lane) lanes[lane] = Round(lanes[lane], Read64(bytes + 8 * lane));
    }
    hash = std::rotl(lanes[0], 1) + std::rotl(lanes[1], 7) + std::rotl(lanes[2], 12) + std::rotl(lanes[3], 18);
    for (const std::uint64_t lane : lanes) hash = MergeRound(hash, lane);
  } else {
    hash = seed + kPrime5;
  }
  hash += length;
  for (; end - bytes >= 8; bytes += 8) hash = std::rotl(hash ^ Round(0, Read64(bytes)), 27) * kPrime1 + kPrime4;
  if (end - bytes >= 4) {
    hash = std::rotl(hash ^ (Read32(bytes) * kPrime1), 23) * kPrime2 + kPrime3;
    bytes += 4;
  }
  for (; bytes < end; ++bytes) hash = std::rotl(hash ^ (*bytes * kPrime5), 11) * kPrime1;
  hash ^= hash >> 33;
  hash *= kPrime2;
  hash ^= hash >> 29;
  hash *= kPrime3;
  hash ^= hash >> 32;
  return hash;
}

}  // namespace folio::index
