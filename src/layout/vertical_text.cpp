#include "layout/vertical_text.h"

#include <algorithm>
#include <limits>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/unicode.h"
#include "layout/paragraphs.h"

namespace folio::layout {
namespace {

// An ideographic em box runs from 0.12 em below the baseline to 0.88 em
// above it (OpenType's default), and its centre lies 0.38 em above.  A
// cell's glyph stands on the baseline of its em box; a turned run's em box
// is centred on the column's axis.
constexpr float kEmBoxAscent = 0.88f;
constexpr float kEmBoxCentre = kEmBoxAscent - 0.5f;

// Readings are set at half the font size, in one column however long.
constexpr float kReadingScale = 0.5f;
constexpr float kUnbrokenColumn = std::numeric_limits<float>::max();

class PenAdvances final : public RunAdvances {
 public:
  PenAdvances(platform::GlyphPen& pen, float pixelSize) : pen_(pen), pixelSize_(pixelSize) {}
  std::optional<float> Advance(std::u16string_view run) override { return pen_.Advance(run, pixelSize_); }

 private:
  platform::GlyphPen& pen_;
  float pixelSize_;
};

// Collects the upright glyphs of a page at one size, to draw them in one call.
class UprightBatch {
 public:
  explicit UprightBatch(float pixelSize) : pixelSize_(pixelSize) {}
  void Add(std::u16string_view cluster, float axis, float baseline) {
    clusters_.push_back({units_.size(), cluster.size(), axis, baseline});
    units_.append(cluster);
  }
  void Draw(platform::GlyphPen& pen) const {
    if (!clusters_.empty()) pen.DrawUpright(units_, clusters_, pixelSize_);
  }

 private:
  float pixelSize_;
  std::u16string units_;
  std::vector<platform::UprightCluster> clusters_;
};

// How a character of a vertical form stands, decided once a character.
enum class FormChoice { FontsOwn, PresentationForm, Turned, AsItIs };

// Places the pieces of columns and draws them: upright glyphs in batches,
// runs one by one.
class ColumnPainter {
 public:
  ColumnPainter(platform::GlyphPen& pen, float cellSize)
      : pen_(pen), cellSize_(cellSize), full_(cellSize), half_(cellSize * kReadingScale) {}

  // Draws the pieces of one column set by `setter` whose axis is `axis`,
  // from `top` down, at `pixelSize` (the font's, or a reading's).
  void DrawPieces(const ColumnSetter& setter, std::u16string_view units, std::size_t first, std::size_t end,
                  float axis, float top, float pixelSize) {
    UprightBatch& batch = pixelSize == cellSize_ ? full_ : half_;
    for (std::size_t index = first; index < end; ++index) {
      const ColumnPiece& piece = setter.Pieces()[index];
      const std::u16string_view run = units.substr(piece.start, piece.length);
      const float cellTop = top + piece.offset;
      switch (piece.kind) {
        case PieceKind::Upright: DrawCell(batch, run, piece.orientation, axis, cellTop, pixelSize); break;
        case PieceKind::Across: DrawAcross(run, axis, cellTop, pixelSize); break;
        case PieceKind::Turned:
          if (!piece.space) pen_.DrawRun(run, pixelSize, axis - kEmBoxCentre * pixelSize, cellTop, true);
          break;
        case PieceKind::Blank: break;
      }
    }
  }

  void Finish() {
    full_.Draw(pen_);
    half_.Draw(pen_);
  }

 private:
  void DrawCell(UprightBatch& batch, std::u16string_view cluster, VerticalOrientation orientation, float axis,
                float cellTop, float pixelSize) {
    const float baseline = cellTop + kEmBoxAscent * pixelSize;
    if (orientation == VerticalOrientation::Upright) {
      batch.Add(cluster, axis, baseline);
      return;
    }
    const char32_t codePoint = base::DecodeUtf16Character(cluster, 0).codePoint;
    switch (ChoiceFor(cluster, codePoint, orientation)) {
      case FormChoice::FontsOwn:
      case FormChoice::AsItIs: batch.Add(cluster, axis, baseline); break;
      case FormChoice::PresentationForm: {
        char16_t form[2];
        std::u16string units(form, base::EncodeUtf16(*VerticalPresentationForm(codePoint), form));
        units.append(cluster.substr(base::DecodeUtf16Character(cluster, 0).length));
        batch.Add(units, axis, baseline);
        break;
      }
      case FormChoice::Turned: {
        // Its advance centred in the cell, along the column.
        const float advance = ColumnSetter::Quantized(pen_.Advance(cluster, pixelSize).value_or(pixelSize));
        pen_.DrawRun(cluster, pixelSize, axis - kEmBoxCentre * pixelSize, cellTop + (pixelSize - advance) / 2,
                     true);
        break;
      }
    }
  }

  // The font's vertical form, else Unicode's presentation form where the
  // font has it, else turned (Tr) or upright as it is (Tu).
  FormChoice ChoiceFor(std::u16string_view cluster, char32_t codePoint, VerticalOrientation orientation) {
    if (const auto known = choices_.find(codePoint); known != choices_.end()) return known->second;
    FormChoice choice = orientation == VerticalOrientation::VerticalForm ? FormChoice::Turned : FormChoice::AsItIs;
    if (pen_.HasVerticalForm(cluster)) {
      choice = FormChoice::FontsOwn;
    } else if (const std::optional<char32_t> form = VerticalPresentationForm(codePoint)) {
      char16_t units[2];
      if (pen_.HasGlyphs(std::u16string_view(units, base::EncodeUtf16(*form, units))))
        choice = FormChoice::PresentationForm;
    }
    choices_.emplace(codePoint, choice);
    return choice;
  }

  // One or two digits side by side, smaller where they are wider than a cell.
  void DrawAcross(std::u16string_view digits, float axis, float cellTop, float pixelSize) {
    const float advance = ColumnSetter::Quantized(pen_.Advance(digits, pixelSize).value_or(pixelSize));
    const float size = advance > pixelSize ? pixelSize * pixelSize / advance : pixelSize;
    const float width = advance * size / pixelSize;
    pen_.DrawRun(digits, size, axis - width / 2, cellTop + pixelSize / 2 + kEmBoxCentre * size, false);
  }

  platform::GlyphPen& pen_;
  float cellSize_;
  UprightBatch full_;
  UprightBatch half_;
  std::unordered_map<char32_t, FormChoice> choices_;
};

// Where the columns of one paragraph stand on the page.
struct ColumnPlace {
  float right;    // of the paragraph's first column
  float pitch;    // from one column's right edge to the next one's
  float room;     // for readings, at the right of every column
  float natural;  // the line of text, left of the room
  float top;      // of the text box
  float length;   // of a column
  float RightOf(std::size_t column) const { return right - static_cast<float>(column) * pitch; }
  float AxisOf(std::size_t column) const { return RightOf(column) - room - natural / 2; }
};

// The readings whose base begins in `paragraph`, each right of its base's
// first column, centred along the part of its base there and kept within
// the column's length.
void DrawReadings(ColumnPainter& painter, ColumnSetter& readingSetter, const ColumnSetter& setter,
                  const AnnotatedText& text, const Paragraph& paragraph, const ColumnPlace& place,
                  float pixelSize) {
  const std::size_t first = text.origin + paragraph.start;
  const std::size_t end = first + paragraph.units.size();
  auto reading = std::lower_bound(text.readings.begin(), text.readings.end(), first,
                                  [](const Reading& r, std::size_t at) { return r.base.start < at; });
  for (; reading != text.readings.end() && reading->base.start < end; ++reading) {
    if (reading->base.length == 0 || reading->letters.start >= text.letters.size()) continue;
    const std::size_t baseStart = reading->base.start - first;
    const std::size_t baseEnd = std::min(baseStart + reading->base.length, paragraph.units.size());
    const std::optional<std::size_t> firstPiece = setter.PieceAt(baseStart);
    if (!firstPiece) continue;
    const std::size_t column = setter.ColumnOf(*firstPiece);
    if (place.RightOf(column) <= 0) continue;
    const std::vector<ColumnPiece>& pieces = setter.Pieces();
    std::size_t lastPiece = *firstPiece;
    while (lastPiece + 1 < setter.Columns()[column].endPiece && pieces[lastPiece + 1].start < baseEnd) ++lastPiece;
    const float baseTop = pieces[*firstPiece].offset;
    const float baseBottom = pieces[lastPiece].offset + pieces[lastPiece].advance;

    const std::u16string_view letters = text.letters.substr(reading->letters.start, reading->letters.length);
    if (!readingSetter.Set(letters, 0)) continue;
    const ColumnPiece& lastLetter = readingSetter.Pieces().empty() ? ColumnPiece{} : readingSetter.Pieces().back();
    const float length = lastLetter.offset + lastLetter.advance;
    // A reading longer than its base reaches along its neighbours, never out of the column.
    const float centred = place.top + (baseTop + baseBottom) / 2 - length / 2;
    const float top = std::max(std::min(centred, place.top + place.length - length), place.top);
    painter.DrawPieces(readingSetter, letters, 0, readingSetter.Pieces().size(),
                       place.RightOf(column) - place.room / 2, top, pixelSize);
  }
}

// The height of an empty paragraph: the line advance of horizontal text.
std::optional<float> EmptyLine(platform::ParagraphLayouter& paragraphs, bool roomForReadings) {
  if (!paragraphs.LayOut(u"", 0, roomForReadings)) return std::nullopt;
  return ColumnSetter::Quantized(paragraphs.Height());
}

}  // namespace

std::optional<float> ColumnPitch(TextMeasurer& measurer, bool roomForReadings) {
  AnnotatedText empty(u"");  // units that are somewhere: DirectWrite refuses a null text
  empty.roomForReadings = roomForReadings;
  float height = 0;
  if (!measurer.MeasureHeight(empty, height)) return std::nullopt;
  return ColumnSetter::Quantized(height);
}

ColumnCounter::ColumnCounter(TextMeasurer& measurer, float cellSize, float columnLength)
    : advances_(measurer), setter_(advances_, cellSize, columnLength) {}

std::optional<std::size_t> ColumnCounter::Count(const AnnotatedText& text, std::size_t start, std::size_t end) {
  std::u16string_view units = text.text.substr(start, end - start);
  // A carriage return before the line feed that ends the paragraph belongs
  // to the line end, as ForEachParagraph reads it.
  if (end < text.text.size() && units.ends_with(u'\r')) units.remove_suffix(1);
  if (!setter_.Set(units, text.IndentAt(start))) return std::nullopt;
  return setter_.Columns().size();
}

void DrawColumns(platform::TextCanvas& canvas, const AnnotatedText& text, const platform::PixelRect& box,
                 float cellSize) {
  platform::ParagraphLayouter* paragraphs = canvas.Paragraphs();
  platform::GlyphPen* pen = canvas.Glyphs();
  if (!paragraphs || !pen) return;
  const std::optional<float> natural = EmptyLine(*paragraphs, false);
  const std::optional<float> pitch = text.roomForReadings ? EmptyLine(*paragraphs, true) : natural;
  if (!natural || !pitch) return;

  PenAdvances advances(*pen, cellSize);
  PenAdvances readingAdvances(*pen, cellSize * kReadingScale);
  const float columnLength = static_cast<float>(std::int64_t{box.bottom} - box.top);
  ColumnSetter setter(advances, cellSize, columnLength);
  ColumnSetter readingSetter(readingAdvances, cellSize * kReadingScale, kUnbrokenColumn);
  ColumnPainter painter(*pen, cellSize);
  ColumnPlace place{static_cast<float>(box.right), *pitch,      *pitch - *natural, *natural,
                    static_cast<float>(box.top),   columnLength};
  ForEachParagraph(text.text, [&](const Paragraph& paragraph) {
    // Columns wholly left of the page show nothing.
    if (place.right <= 0 || !setter.Set(paragraph.units, text.IndentAt(paragraph.start))) return false;
    const std::vector<ColumnSpan>& columns = setter.Columns();
    for (std::size_t column = 0; column < columns.size() && place.RightOf(column) > 0; ++column) {
      painter.DrawPieces(setter, paragraph.units, columns[column].firstPiece, columns[column].endPiece,
                         place.AxisOf(column), place.top, cellSize);
    }
    DrawReadings(painter, readingSetter, setter, text, paragraph, place, cellSize * kReadingScale);
    place.right = place.RightOf(columns.size());
    return true;
  });
  painter.Finish();
}

}  // namespace folio::layout
