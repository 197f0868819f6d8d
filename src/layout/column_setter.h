// Setting a paragraph in vertical columns, the same way on every text
// engine.  Its characters are cut into pieces that each keep one place in a
// column (an upright character in a cell of the font size, one or two
// digits side by side in a cell, a turned word or the spaces after it), and
// the pieces are broken into columns by the rules of Japanese typesetting:
// no column begins with a closing bracket, a mark of punctuation, a small
// kana or a prolonged sound mark, none ends with an opening bracket, a
// doubled leader or dash stays whole, 、 and 。 may hang one cell below the
// column's end, and a turned word is broken only when it alone is longer
// than a column.  The engine is asked only for the advances of turned runs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "layout/vertical_properties.h"

namespace folio::layout {

enum class PieceKind : std::uint8_t {
  Upright,  // a character with what belongs to it, in a cell
  Across,   // one or two digits standing alone, side by side in a cell
  Turned,   // a word, or the spaces after one, turned 90 degrees clockwise
  Blank,    // a control character: an empty cell
};

struct ColumnPiece {
  std::uint32_t start;  // units of the paragraph
  std::uint32_t length;
  PieceKind kind;
  VerticalOrientation orientation;  // of its first character
  BreakClass first;                 // of its first character
  BreakClass last;                  // of its last character
  bool space;                       // turned spaces: they never begin a column, and hang past its end
  bool hangs;                       // 、 or 。, which may hang one cell below the column's end
  bool continuesWord;               // a part after the first of a word longer than a column
  float advance;                    // along the column, in pixels
  float offset;                     // from the column's top, the paragraph's indent included
};

// Pieces [firstPiece, endPiece) of the paragraph.
struct ColumnSpan {
  std::uint32_t firstPiece;
  std::uint32_t endPiece;
};

// The advance of a horizontal run, in the font and at the size of the text.
class RunAdvances {
 public:
  virtual ~RunAdvances() = default;
  virtual std::optional<float> Advance(std::u16string_view run) = 0;
};

class ColumnSetter {
 public:
  // Cells of `cellSize` pixels (the font size) in columns `columnLength` pixels long.
  ColumnSetter(RunAdvances& advances, float cellSize, float columnLength) noexcept
      : advances_(advances), cellSize_(cellSize), columnLength_(columnLength) {}

  // Sets `paragraph` (no line feeds) in columns that begin `indent` pixels
  // below the column's top; an empty one takes one empty column.  False
  // when an advance can't be measured.
  bool Set(std::u16string_view paragraph, float indent);

  const std::vector<ColumnPiece>& Pieces() const { return pieces_; }
  const std::vector<ColumnSpan>& Columns() const { return columns_; }
  // The piece that holds unit `at` of the paragraph set last, if any.
  std::optional<std::size_t> PieceAt(std::size_t at) const;
  // The column that holds piece `piece`.
  std::size_t ColumnOf(std::size_t piece) const;

  // Advances are kept to 1/64 pixel, as both engines' glyph positions are,
  // so that engines that differ below that still break alike.
  static float Quantized(float advance) noexcept;

 private:
  struct Cluster {
    std::uint32_t start;
    std::uint32_t length;
    VerticalProperties properties;  // of its first character
    BreakClass last;                // of its last character that isn't a mark
    char32_t codePoint;             // its first character
  };

  void FindClusters(std::u16string_view paragraph);
  bool AddSidewaysRun(std::u16string_view paragraph, std::size_t first, std::size_t end, float room);
  bool AddWord(std::u16string_view paragraph, std::size_t first, std::size_t end, float room);
  void AddPiece(const Cluster& first, const Cluster& last, PieceKind kind, float advance);
  std::optional<float> AdvanceOf(std::u16string_view run);
  void BreakIntoColumns(float indent);
  std::size_t ColumnEnd(std::size_t start, float room) const;
  bool MayBreakBefore(std::size_t piece) const;

  RunAdvances& advances_;
  float cellSize_;
  float columnLength_;
  std::vector<Cluster> clusters_;
  std::vector<ColumnPiece> pieces_;
  std::vector<ColumnSpan> columns_;
  std::unordered_map<std::u16string, float> measuredRuns_;  // bounded: cleared when full
};

}  // namespace folio::layout
