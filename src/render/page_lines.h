// The lines of a text as its pages hold them: as the text has them, or with
// Notation=aozora as the notation reader reads them.  The measuring and
// drawing passes read lines through it alike.
#pragma once

#include <optional>

#include "render/line_source.h"
#include "render/page_text.h"
#include "settings/render_settings.h"
#include "text/aozora_notation.h"

namespace folio::render {

class PageLineReader {
 public:
  // Reads on from where `lines` stands, which is where `state` was noted
  // (with notation and no state: the text's start), with the notation of
  // `settings` and the marks that its pages' direction draws.
  PageLineReader(LineSource& lines, const settings::RenderSettings& settings, const NotationState& state);

  // Reads the next line; false at the end of the text.
  bool Next();
  // The notation reader before the line read last: what a page that begins
  // with that line resumes from.
  const NotationState& StateBeforeLine() const { return stateBeforeLine_; }
  // The notation reader before the line that Next reads.
  NotationState StateBeforeNextLine() const {
    return notation_ ? NotationState(notation_->State()) : NotationState();
  }
  // The line read last asked for the next line to begin a page.
  bool PageEndsAfterLine() const { return notated_.pageEndsAfter; }
  // Adds the line read last to the page.
  void AppendLineTo(PageText& page) const;

 private:
  LineSource& lines_;
  std::optional<text::AozoraNotationReader> notation_;
  NotationState stateBeforeLine_;
  text::TextLine line_;
  text::AozoraLine notated_;
};

}  // namespace folio::render
