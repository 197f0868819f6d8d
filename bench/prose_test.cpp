#include "bench/prose.h"

#include <gtest/gtest.h>

namespace folio::bench {
namespace {

std::uint64_t HashOfLines(Language language, int count) {
  ProseWriter writer(language, kProseSeed);
  std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
  for (int i = 0; i < count; ++i) {
    for (const unsigned char byte : writer.NextLine() + "\n") hash = (hash ^ byte) * 1099511628211ull;
  }
  return hash;
}

// Recorded figures compare runs on the same texts, on every compiler: a
// change to the prose must be deliberate, and the figures measured again.
TEST(BenchProse, WritesTheSameTextsEverywhere) {
  EXPECT_EQ(HashOfLines(Language::English, 5000), 0x68a6cdf43a7a1c85ull);
  EXPECT_EQ(HashOfLines(Language::Japanese, 5000), 0xc1b648b920ab4133ull);
}

}  // namespace
}  // namespace folio::bench
