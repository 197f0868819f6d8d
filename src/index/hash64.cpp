#include "index/hash64.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace folio::index {
namespace {

constexpr std::uint64_t kPrime1 = 0x9E3779B185EBCA87;
constexpr std::uint64_t kPrime2 = 0xC2B2AE3D27D4EB4F;
constexpr std::uint64_t kPrime3 = 0x165667B19E3779F9;
constexpr std::uint64_t kPrime4 = 0x85EBCA77C2B2AE63;
constexpr std::uint64_t kPrime5 = 0x27D4EB2F165667C5;

// Little-endian reads at any alignment; a plain load on little-endian hosts.
std::uint64_t Read64(const unsigned char* bytes) noexcept {
  std::uint64_t value;
  std::memcpy(&value, bytes, sizeof value);
  if constexpr (std::endian::native == std::endian::big) value = __builtin_bswap64(value);
  return value;
}

std::uint64_t Read32(const unsigned char* bytes) noexcept {
  std::uint32_t value;
  std::memcpy(&value, bytes, sizeof value);
  if constexpr (std::endian::native == std::endian::big) value = __builtin_bswap32(value);
  return value;
}

std::uint64_t Round(std::uint64_t accumulator, std::uint64_t input) noexcept {
  accumulator += input * kPrime2;
  return std::rotl(accumulator, 31) * kPrime1;
}

std::uint64_t MergeRound(std::uint64_t hash, std::uint64_t accumulator) noexcept {
  hash ^= Round(0, accumulator);
  return hash * kPrime1 + kPrime4;
}

// Every whole stripe of `count` bytes into the lanes; returns the bytes taken.
// The lanes stay in registers: they are the hash's whole cost on long input.
std::size_t AddStripes(std::uint64_t (&lanes)[4], const unsigned char* bytes, std::size_t count) noexcept {
  std::uint64_t a = lanes[0], b = lanes[1], c = lanes[2], d = lanes[3];
  const unsigned char* const end = bytes + count - count % 32;
  for (const unsigned char* stripe = bytes; stripe < end; stripe += 32) {
    a = Round(a, Read64(stripe));
    b = Round(b, Read64(stripe + 8));
    c = Round(c, Read64(stripe + 16));
    d = Round(d, Read64(stripe + 24));
  }
  lanes[0] = a;
  lanes[1] = b;
  lanes[2] = c;
  lanes[3] = d;
  return static_cast<std::size_t>(end - bytes);
}

}  // namespace

Hash64Builder::Hash64Builder(std::uint64_t seed) noexcept
    : seed_(seed), lanes_{seed + kPrime1 + kPrime2, seed + kPrime2, seed, seed - kPrime1} {}

void Hash64Builder::Add(const void* data, std::size_t count) noexcept {
  const auto* bytes = static_cast<const unsigned char*>(data);
  length_ += count;
  if (tailBytes_ > 0) {
    const std::size_t taken = std::min(count, kStripeBytes - tailBytes_);
    std::memcpy(tail_ + tailBytes_, bytes, taken);
    tailBytes_ += taken;
    bytes += taken;
    count -= taken;
    if (tailBytes_ < kStripeBytes) return;
    AddStripes(lanes_, tail_, kStripeBytes);
    tailBytes_ = 0;
  }
  const std::size_t striped = AddStripes(lanes_, bytes, count);
  tailBytes_ = count - striped;
  if (tailBytes_ > 0) std::memcpy(tail_, bytes + striped, tailBytes_);
}

std::uint64_t Hash64Builder::Value() const noexcept {
  std::uint64_t hash;
  if (length_ >= kStripeBytes) {
    hash = std::rotl(lanes_[0], 1) + std::rotl(lanes_[1], 7) + std::rotl(lanes_[2], 12) + std::rotl(lanes_[3], 18);
    for (const std::uint64_t lane : lanes_) hash = MergeRound(hash, lane);
  } else {
    hash = seed_ + kPrime5;
  }
  hash += length_;
  const unsigned char* bytes = tail_;
  const unsigned char* const end = tail_ + tailBytes_;
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

std::uint64_t Hash64(std::string_view bytes, std::uint64_t seed) noexcept {
  Hash64Builder builder(seed);
  builder.Add(bytes.data(), bytes.size());
  return builder.Value();
}

}  // namespace folio::index
