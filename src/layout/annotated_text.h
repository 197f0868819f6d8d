// A text as the text engine lays it out, with what goes around it: readings
// drawn small over runs of it (ruby, emphasis dots), paragraphs indented
// from the left edge, and room above every line for the readings.  A text
// with none of these is laid out exactly as its units alone.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

namespace folio::layout {

// Units of a text, counted in the text's own positions (see AnnotatedText::origin).
struct TextRun {
  std::size_t start = 0;
  std::size_t length = 0;
  friend bool operator==(const TextRun&, const TextRun&) = default;
};

// Letters drawn at half the font size, centred over the first line's part of a run.
struct Reading {
  TextRun base;     // in AnnotatedText::text
  TextRun letters;  // in AnnotatedText::letters
  friend bool operator==(const Reading&, const Reading&) = default;
};

// From `start` on, until the next indent, paragraphs begin `pixels` in from
// the left edge, and all their lines stay there.
struct ParagraphIndent {
  std::size_t start = 0;
  float pixels = 0;
  friend bool operator==(const ParagraphIndent&, const ParagraphIndent&) = default;
};

struct AnnotatedText {
  AnnotatedText() = default;
  // A plain text.
  explicit AnnotatedText(std::u16string_view plain) : text(plain) {}

  std::u16string_view text;
  // Where text[0] stands in the positions that readings and indents count
  // in, so that part of a text keeps its whole's annotations without copies.
  std::size_t origin = 0;
  std::u16string_view letters;               // every reading's letters
  std::span<const Reading> readings;         // ascending base.start
  std::span<const ParagraphIndent> indents;  // ascending start
  // Every line gets room above it for a line of readings: half the height
  // of a line of text.
  bool roomForReadings = false;

  bool Plain() const noexcept { return !roomForReadings && readings.empty() && indents.empty(); }
  // Units [offset, offset + length) of the text, with the same annotations.
  AnnotatedText Part(std::size_t offset, std::size_t length) const noexcept;
  // The indent of a paragraph that begins at `offset` in the text.
  float IndentAt(std::size_t offset) const noexcept;
};

}  // namespace folio::layout
