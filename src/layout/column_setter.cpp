#include "layout/column_setter.h"

#include <algorithm>
#include <cmath>

#include "base/unicode.h"

namespace folio::layout {
namespace {

// Runs measured once are kept for the words that come back; a text of many
// words keeps at most this many.
constexpr std::size_t kMostMeasuredRuns = 4096;

// Control characters and the line and paragraph separators: each engine
// reads them its own way (a tab stop, a new line), so a column shows a
// blank cell for them.
bool IsControl(char32_t codePoint) {
  return codePoint < 0x20 || (codePoint >= 0x7F && codePoint < 0xA0) || codePoint == 0x2028 || codePoint == 0x2029;
}

bool IsAsciiDigit(char32_t codePoint) {
  return codePoint >= U'0' && codePoint <= U'9';
}

// 、 and 。 may stand one cell below a column's end instead of beginning the next.
bool Hangs(char32_t codePoint) {
  return codePoint == U'\u3001' || codePoint == U'\u3002';
}

// Closing brackets, punctuation, small kana, the prolonged sound mark,
// iteration marks, and what must stay with the character before it.
bool BeginsNoColumn(BreakClass breakClass) {
  switch (breakClass) {
    case BreakClass::ClosePunctuation:
    case BreakClass::CloseParenthesis:
    case BreakClass::Exclamation:
    case BreakClass::InfixSeparator:
    case BreakClass::Nonstarter:
    case BreakClass::ConditionalJapanese:
    case BreakClass::CombiningMark:
    case BreakClass::ZeroWidthJoiner:
    case BreakClass::Glue:
    case BreakClass::WordJoiner: return true;
    default: return false;
  }
}

bool EndsNoColumn(BreakClass breakClass) {
  return breakClass == BreakClass::OpenPunctuation || breakClass == BreakClass::Glue ||
         breakClass == BreakClass::WordJoiner;
}

// ……, ‥‥, —— and ―― are one mark each.
bool Inseparable(BreakClass before, BreakClass after) {
  return before == after && (before == BreakClass::Inseparable || before == BreakClass::BreakBoth);
}

}  // namespace

float ColumnSetter::Quantized(float advance) noexcept {
  if (!(advance > 0)) return 0;  // NaN too
  return std::round(std::min(advance, 1.0e7f) * 64.0f) / 64.0f;
}

void ColumnSetter::FindClusters(std::u16string_view paragraph) {
  clusters_.clear();
  bool joins = false;  // the character before was a zero-width joiner
  for (std::size_t at = 0; at < paragraph.size();) {
    const base::Utf16Character character = base::DecodeUtf16Character(paragraph, at);
    const VerticalProperties properties = VerticalPropertiesOf(character.codePoint);
    const auto start = static_cast<std::uint32_t>(at);
    const auto length = static_cast<std::uint32_t>(character.length);
    at += character.length;
    if (!clusters_.empty() && (properties.extendsCluster || joins) && !IsControl(character.codePoint)) {
      Cluster& cluster = clusters_.back();
      cluster.length += length;
      if (!properties.extendsCluster) cluster.last = properties.breakClass;
    } else {
      clusters_.push_back({start, length, properties, properties.breakClass, character.codePoint});
    }
    joins = properties.breakClass == BreakClass::ZeroWidthJoiner;
  }
}

std::optional<float> ColumnSetter::AdvanceOf(std::u16string_view run) {
  if (const auto measured = measuredRuns_.find(std::u16string(run)); measured != measuredRuns_.end())
    return measured->second;
  const std::optional<float> advance = advances_.Advance(run);
  if (!advance) return std::nullopt;
  if (measuredRuns_.size() >= kMostMeasuredRuns) measuredRuns_.clear();
  return measuredRuns_.emplace(run, Quantized(*advance)).first->second;
}

void ColumnSetter::AddPiece(const Cluster& first, const Cluster& last, PieceKind kind, float advance) {
  pieces_.push_back({first.start, last.start + last.length - first.start, kind, first.properties.orientation,
                     first.properties.breakClass, last.last, first.properties.breakClass == BreakClass::Space,
                     kind == PieceKind::Upright && Hangs(first.codePoint), false, advance, 0});
}

// A word that fits in a column is one piece; a longer one is cut where its
// characters' advances fill a column, each part at least one character.
bool ColumnSetter::AddWord(std::u16string_view paragraph, std::size_t first, std::size_t end, float room) {
  const Cluster& front = clusters_[first];
  const Cluster& back = clusters_[end - 1];
  const std::optional<float> whole =
      AdvanceOf(paragraph.substr(front.start, back.start + back.length - front.start));
  if (!whole) return false;
  if (*whole <= room || end - first == 1) {
    AddPiece(front, back, PieceKind::Turned, *whole);
    return true;
  }
  bool continues = false;
  for (std::size_t part = first; part < end;) {
    float advance = 0;
    std::size_t partEnd = part;
    while (partEnd < end) {
      const Cluster& cluster = clusters_[partEnd];
      const std::optional<float> one = AdvanceOf(paragraph.substr(cluster.start, cluster.length));
      if (!one) return false;
      if (partEnd > part && advance + *one > room) break;
      advance += *one;
      ++partEnd;
    }
    AddPiece(clusters_[part], clusters_[partEnd - 1], PieceKind::Turned, advance);
    pieces_.back().continuesWord = continues;
    continues = true;
    part = partEnd;
  }
  return true;
}

// Clusters [first, end) stand sideways: one or two digits alone stand in a
// cell side by side; anything else is turned, word by word.
bool ColumnSetter::AddSidewaysRun(std::u16string_view paragraph, std::size_t first, std::size_t end, float room) {
  const bool digitsAlone =
      end - first <= 2 &&
      std::all_of(clusters_.begin() + first, clusters_.begin() + end,
                  [](const Cluster& cluster) { return cluster.length == 1 && IsAsciiDigit(cluster.codePoint); });
  if (digitsAlone) {
    AddPiece(clusters_[first], clusters_[end - 1], PieceKind::Across, cellSize_);
    return true;
  }
  for (std::size_t word = first; word < end;) {
    const bool spaces = clusters_[word].properties.breakClass == BreakClass::Space;
    std::size_t wordEnd = word + 1;
    while (wordEnd < end && (clusters_[wordEnd].properties.breakClass == BreakClass::Space) == spaces) ++wordEnd;
    if (!AddWord(paragraph, word, wordEnd, spaces ? columnLength_ : room)) return false;
    word = wordEnd;
  }
  return true;
}

bool ColumnSetter::Set(std::u16string_view paragraph, float indent) {
  FindClusters(paragraph);
  pieces_.clear();
  const float room = std::max(columnLength_ - indent, 0.0f);
  for (std::size_t cluster = 0; cluster < clusters_.size();) {
    const Cluster& current = clusters_[cluster];
    if (IsControl(current.codePoint)) {
      AddPiece(current, current, PieceKind::Blank, cellSize_);
      ++cluster;
    } else if (current.properties.orientation != VerticalOrientation::Sideways ||
               current.properties.extendsCluster) {
      // A mark with nothing before it to belong to stands in a cell: each
      // engine draws it its own way.
      AddPiece(current, current, PieceKind::Upright, cellSize_);
      ++cluster;
    } else {
      std::size_t end = cluster + 1;
      while (end < clusters_.size() && clusters_[end].properties.orientation == VerticalOrientation::Sideways &&
             !IsControl(clusters_[end].codePoint) && !clusters_[end].properties.extendsCluster) {
        ++end;
      }
      if (!AddSidewaysRun(paragraph, cluster, end, room)) return false;
      cluster = end;
    }
  }
  BreakIntoColumns(indent);
  return true;
}

bool ColumnSetter::MayBreakBefore(std::size_t piece) const {
  const ColumnPiece& before = pieces_[piece - 1];
  const ColumnPiece& after = pieces_[piece];
  if (after.space) return false;
  if (after.continuesWord) return true;
  return !BeginsNoColumn(after.first) && !EndsNoColumn(before.last) && !Inseparable(before.last, after.first);
}

// Where the column that begins with piece `start` ends: after the last piece
// that fits, moved back to a place where the column may break; past a space
// or a hanging 、。 that would not fit; and after a piece too long for any
// column, which stands alone.  Where no place may break, the column breaks
// where it is full all the same.
std::size_t ColumnSetter::ColumnEnd(std::size_t start, float room) const {
  float used = 0;
  for (std::size_t piece = start; piece < pieces_.size(); ++piece) {
    const ColumnPiece& current = pieces_[piece];
    if (used + current.advance <= room) {
      used += current.advance;
      continue;
    }
    if (piece == start) return piece + 1;
    if (current.space) {
      while (piece < pieces_.size() && pieces_[piece].space) ++piece;
      return piece;
    }
    if (current.hangs && (piece + 1 == pieces_.size() || MayBreakBefore(piece + 1))) return piece + 1;
    for (std::size_t breakBefore = piece; breakBefore > start; --breakBefore) {
      if (MayBreakBefore(breakBefore)) return breakBefore;
    }
    return piece;
  }
  return pieces_.size();
}

void ColumnSetter::BreakIntoColumns(float indent) {
  columns_.clear();
  const float room = std::max(columnLength_ - indent, 0.0f);
  std::size_t start = 0;
  do {
    const std::size_t end = ColumnEnd(start, room);
    float offset = indent;
    for (std::size_t piece = start; piece < end; ++piece) {
      pieces_[piece].offset = offset;
      offset += pieces_[piece].advance;
    }
    columns_.push_back({static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(end)});
    start = end;
  } while (start < pieces_.size());
}

std::optional<std::size_t> ColumnSetter::PieceAt(std::size_t at) const {
  const auto after =
      std::upper_bound(pieces_.begin(), pieces_.end(), at,
                       [](std::size_t unit, const ColumnPiece& piece) { return unit < piece.start; });
  if (after == pieces_.begin()) return std::nullopt;
  const std::size_t piece = static_cast<std::size_t>(after - pieces_.begin()) - 1;
  if (at >= pieces_[piece].start + pieces_[piece].length) return std::nullopt;
  return piece;
}

std::size_t ColumnSetter::ColumnOf(std::size_t piece) const {
  const auto after =
      std::upper_bound(columns_.begin(), columns_.end(), piece,
                       [](std::size_t index, const ColumnSpan& column) { return index < column.firstPiece; });
  return static_cast<std::size_t>(after - columns_.begin()) - 1;
}

}  // namespace folio::layout
