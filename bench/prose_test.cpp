#include "bench/prose.h"

#include <gtest/gtest.h>

#include "base/unicode.h"
#include "bench/aozora_prose.h"
#include "text/aozora_notation.h"

namespace folio::bench {
namespace {

template <typename Writer>
std::uint64_t HashOfLines(Writer writer, int count) {
  std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
  for (int i = 0; i < count; ++i) {
    for (const unsigned char byte : writer.NextLine() + "\n") hash = (hash ^ byte) * 1099511628211ull;
  }
  return hash;
}

// Recorded figures compare runs on the same texts, on every compiler: a
// change to the prose must be deliberate, and the figures measured again.
TEST(BenchProse, WritesTheSameTextsEverywhere) {
  EXPECT_EQ(HashOfLines(ProseWriter(Language::English, kProseSeed), 5000), 0x68a6cdf43a7a1c85ull);
  EXPECT_EQ(HashOfLines(ProseWriter(Language::Japanese, kProseSeed), 5000), 0xc1b648b920ab4133ull);
  EXPECT_EQ(HashOfLines(AozoraProseWriter(kProseSeed), 5000), 0xc5fcbd3024e44c77ull);
}

// The e-text prose measures what its name says: its markup reads as
// readings, emphasis, indents, page ends and named characters, and leaves no
// bracket behind.
TEST(BenchProse, EtextProseIsWellFormedMarkup) {
  AozoraProseWriter writer(kProseSeed);
  text::AozoraNotationReader reader;
  text::AozoraLine line;
  int rubies = 0, emphasis = 0, indented = 0, pageEnds = 0, namedBeyondBmp = 0;
  for (int i = 0; i < 5000; ++i) {
    reader.Read(base::Utf8ToUtf16(writer.NextLine() + "\n"), line);
    if (reader.State().part != text::AozoraLineState::Part::Body) continue;
    EXPECT_EQ(line.text.find_first_of(u"《》｜［］"), std::u16string::npos) << i;
    rubies += static_cast<int>(line.rubies.size());
    emphasis += static_cast<int>(line.emphasis.size());
    indented += line.indent > 0;
    pageEnds += line.pageEndsAfter;
    namedBeyondBmp += line.text.find(u"𩸽") != std::u16string::npos;
  }
  EXPECT_GT(rubies, 1000);
  EXPECT_GT(emphasis, 10);
  EXPECT_GT(indented, 100);
  EXPECT_GT(pageEnds, 10);
  EXPECT_GT(namedBeyondBmp, 100);
}

}  // namespace
}  // namespace folio::bench
