// The JIS X 0213 table, generated from glibc's charmap, against glibc's own
// EUC-JISX0213 decoder, which is built from tables of its own: every cell of
// both planes.  Native only, where iconv is.
#if !defined(_WIN32)
#include <gtest/gtest.h>

#include <string>

#include "platform/iconv_converter.h"
#include "text/jisx0213.h"

namespace folio::text {
namespace {

constexpr int kCells = 94;

// Plane 1 row r cell c is the EUC bytes 0xA0 + r, 0xA0 + c; plane 2 has 0x8F first.
std::u32string DecodedByIconv(const platform::IconvConverter& decoder, int plane, int row, int cell) {
  std::string bytes = plane == 2 ? "\x8F" : "";
  bytes += static_cast<char>(0xA0 + row);
  bytes += static_cast<char>(0xA0 + cell);
  const char* in = bytes.data();
  std::size_t inLeft = bytes.size();
  char utf32[16];
  char* out = utf32;
  std::size_t outLeft = sizeof utf32;
  decoder.Reset();
  if (decoder.Convert(in, inLeft, out, outLeft) != platform::IconvConverter::Status::Done) return U"";
  std::u32string decoded;
  for (const char* at = utf32; at + 4 <= out; at += 4) {
    const auto* units = reinterpret_cast<const unsigned char*>(at);
    decoded += static_cast<char32_t>(units[0] | units[1] << 8 | units[2] << 16 | units[3] << 24);
  }
  return decoded;
}

TEST(JisX0213Test, EveryCellIsWhatGlibcsDecoderReads) {
  const platform::IconvConverter decoder("UTF-32LE", "EUC-JISX0213");
  ASSERT_TRUE(decoder.valid());
  int characters = 0, pairs = 0, beyondBmp = 0;
  for (int plane = 1; plane <= 2; ++plane) {
    for (int row = 1; row <= kCells; ++row) {
      for (int cell = 1; cell <= kCells; ++cell) {
        const JisX0213Character character = JisX0213CharacterAt(plane, row, cell);
        std::u32string ours;
        if (character.first) ours += character.first;
        if (character.second) ours += character.second;
        ASSERT_EQ(ours, DecodedByIconv(decoder, plane, row, cell)) << plane << "-" << row << "-" << cell;
        characters += !ours.empty();
        pairs += ours.size() == 2;
        beyondBmp += character.first > 0xFFFF;
      }
    }
  }
  // All of JIS X 0213:2004, so the comparison compared something.
  EXPECT_EQ(characters, 11233);
  EXPECT_EQ(pairs, 25);
  EXPECT_GT(beyondBmp, 300);
}

}  // namespace
}  // namespace folio::text
#endif
