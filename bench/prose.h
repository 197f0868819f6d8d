// Reproducible prose for the benchmark: sentences built from fixed word and
// phrase lists by a seeded generator, so that every machine measures the same
// text.  Output is UTF-8 without line ends; every character also exists in
// Shift_JIS (CP932).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace folio::bench {

// SplitMix64: small, and the same sequence on every compiler (the standard
// library's distributions are not).
class SeededRandom {
 public:
  explicit SeededRandom(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next();
  // 0 <= result < count (count > 0).
  std::size_t Below(std::size_t count) { return static_cast<std::size_t>(Next() % count); }
  std::size_t Between(std::size_t low, std::size_t high) { return low + Below(high - low + 1); }
  bool Percent(unsigned chance) { return Below(100) < chance; }
  std::string_view Pick(std::span<const std::string_view> words) { return words[Below(words.size())]; }

 private:
  std::uint64_t state_;
};

enum class Language { English, Japanese };

// The seed of the benchmark's texts.
inline constexpr std::uint64_t kProseSeed = 20240601;

// One line of a novel-like text at a time: paragraphs short and long (the
// longest wrap over many rows and exceed a line buffer of 1023 units), lines
// of dialogue, chapter headings and blank lines.
class ProseWriter {
 public:
  ProseWriter(Language language, std::uint64_t seed) : language_(language), random_(seed) {}
  std::string NextLine();

 private:
  std::string EnglishLine();
  std::string JapaneseLine();
  std::string EnglishSentence();
  std::string JapaneseSentence();

  Language language_;
  SeededRandom random_;
  int chapter_ = 0;
};

}  // namespace folio::bench
