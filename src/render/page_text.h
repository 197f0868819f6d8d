// The text of one page as the text engine lays it out: its lines one after
// another and, with notation, their readings, emphasis dots and indents,
// with room above every line for readings.  The measuring and drawing passes
// build a page's text alike, so the engine lays out what was measured.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "layout/annotated_text.h"
#include "settings/render_settings.h"
#include "text/aozora_notation.h"

namespace folio::render {

class PageText {
 public:
  explicit PageText(const settings::RenderSettings& settings);

  void Clear();
  // A line as the text has it.
  void AppendPlain(std::u16string_view line);
  // A line as the notation reader read it.
  void AppendNotated(const text::AozoraLine& line);

  layout::AnnotatedText View() const;
  bool empty() const { return text_.empty(); }
  std::size_t size() const { return text_.size(); }

 private:
  void AppendIndent(std::uint16_t fullWidthCharacters);
  void AppendEmphasisDots(const text::AozoraTextRange& range);

  bool roomForReadings_;
  float fullWidth_;     // one full-width character: the font size
  float widestIndent_;  // leaves a line room for one full-width character
  std::u16string text_;
  std::u16string letters_;  // the emphasis dot, then the readings of the lines
  std::vector<layout::Reading> readings_;
  std::vector<layout::ParagraphIndent> indents_;
};

}  // namespace folio::render
