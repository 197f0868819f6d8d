// Japanese prose for the benchmark in the style of e-texts from public-domain
// libraries: a header that explains the markup, chapters that begin on a new
// page under an indented heading, readings after kanji words (some bases
// marked with ｜), emphasis notes, indented blocks, and characters that
// Shift_JIS lacks written as ※ and a note naming them.  Seeded like the
// plain prose; every character of the file exists in Shift_JIS (CP932).
#pragma once

#include <cstdint>
#include <deque>
#include <string>

#include "bench/prose.h"

namespace folio::bench {

class AozoraProseWriter {
 public:
  explicit AozoraProseWriter(std::uint64_t seed);
  std::string NextLine();

 private:
  std::string BodyLine();
  std::string WithMarkup(std::string line);

  ProseWriter prose_;
  SeededRandom random_;
  // Apart, so that the text around the named characters is the one written
  // before there were any.
  SeededRandom namedCharacterRandom_;
  std::deque<std::string> queued_;  // lines already decided, in order
  int blockLinesLeft_ = 0;          // lines still to come in an indented block
};

}  // namespace folio::bench
