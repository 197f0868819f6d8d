#include "render/page_lines.h"

namespace folio::render {
namespace {

std::u16string_view WithoutLineEnd(std::u16string_view line) {
  if (line.ends_with(u'\n')) line.remove_suffix(1);
  if (line.ends_with(u'\r')) line.remove_suffix(1);
  return line;
}

}  // namespace

PageLineReader::PageLineReader(LineSource& lines, const settings::RenderSettings& settings,
                               const NotationState& state)
    : lines_(lines) {
  if (settings.notation != settings::Notation::Aozora) return;
  using Marks = text::AozoraNotationReader::RepetitionMarks;
  notation_.emplace(state.value_or(text::AozoraLineState{}),
                    settings.vertical ? Marks::Vertical : Marks::AsWritten);
}

bool PageLineReader::Next() {
  if (notation_) stateBeforeLine_ = notation_->State();
  if (!lines_.ReadLine(line_)) return false;
  if (notation_) notation_->Read(line_.visible(), notated_);
  return true;
}

void PageLineReader::AppendLineTo(PageText& page) const {
  if (!notation_) {
    page.AppendPlain(line_.visible());
    return;
  }
  // A line of notes alone is an instruction, not a blank line: it takes no
  // room.  A piece that ends a longer line keeps its line end, which ends
  // the paragraph.
  const bool notesAlone = WithoutLineEnd(notated_.text).empty() && !WithoutLineEnd(line_.visible()).empty();
  if (notesAlone && !stateBeforeLine_->lineContinues) return;
  page.AppendNotated(notated_);
}

}  // namespace folio::render
