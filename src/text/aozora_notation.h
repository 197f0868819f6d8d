// The inline markup of Japanese e-texts in the Aozora style, read one line at
// a time: ruby readings in 《》 after their base (whose start `｜` may mark),
// and editorial notes in ［＃…］.  A line comes out as the text to lay out and
// draw, with the rubies, emphasis dots, indent and page end that its markup
// asks for.  A ※ right before a note that names a character by its code
// (aozora_character_note.h) is drawn as that character; other notes are
// left out.
//
// Markup that isn't well formed on its line stays in the text as it is, so
// every character of a broken line is still drawn.  The text's header (the
// block between its first two lines of hyphens, which explains the markup)
// and its closing bibliographic block (from a line beginning with 底本：
// to the end) are never interpreted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace folio::text {

// What one line's reading hands on to the next.  A page start keeps it, so
// that reading can resume at any line as if it had read every line before.
struct AozoraLineState {
  enum class Part : std::uint8_t {
    Opening,  // the title lines; a line of hyphens here opens the header
    Header,   // between the two lines of hyphens: plain text
    Body,     // markup is read
    Closing,  // from 底本： to the end: plain text
  };
  Part part = Part::Opening;
  // Lines read in the current part.  The header opens only at a line of ten
  // or more hyphens among the first 20 lines and closes at the next such
  // line or after 200 lines, so that a stray line of hyphens can't silence
  // a whole text.
  std::uint16_t linesInPart = 0;
  bool inIndentBlock = false;
  std::uint16_t blockIndent = 0;  // full-width characters, while inIndentBlock
  // The line reader delivers a long line in pieces of 1,023 units; a piece
  // that doesn't end in a line feed continues on the next, which keeps the
  // line's own indent and is never a line of hyphens or a 底本： line.
  // Markup cut by the split is drawn as text on both sides.
  bool lineContinues = false;
  bool continuedLineHasOwnIndent = false;
  std::uint16_t continuedLineIndent = 0;

  friend bool operator==(const AozoraLineState&, const AozoraLineState&) = default;
};

// A state as bytes that outlive the process, and back; none for bytes that
// no state gave.
std::string EncodeAozoraLineState(const AozoraLineState& state);
std::optional<AozoraLineState> DecodeAozoraLineState(std::string_view bytes);

// A range of AozoraLine::text in UTF-16 units.
struct AozoraTextRange {
  std::size_t start = 0;
  std::size_t length = 0;
  friend bool operator==(const AozoraTextRange&, const AozoraTextRange&) = default;
};

struct AozoraRuby {
  AozoraTextRange base;     // in AozoraLine::text, never empty
  AozoraTextRange reading;  // in AozoraLine::readings, never empty
};

// One line as it is laid out and drawn.  Reused from line to line, so that
// its buffers keep their capacity.
struct AozoraLine {
  std::u16string text;  // the line without markup; its line end kept as it came
  std::vector<AozoraRuby> rubies;
  std::u16string readings;  // every ruby's reading, one after another
  // Each character (a surrogate pair counts as one) in these ranges gets an
  // emphasis dot ﹅ above it.
  std::vector<AozoraTextRange> emphasis;
  // Full-width characters before the line's text.  A block (［＃ここからＮ字下げ］
  // to ［＃ここで字下げ終わり］) indents its lines; a note ahead of all of a
  // line's text acts on that line, one after text from the next line on.  A
  // line's own ［＃Ｎ字下げ］, wherever on the line, counts from the same edge
  // and so replaces the block's indent for that line.
  std::uint16_t indent = 0;
  bool pageEndsAfter = false;  // the next line starts a new page

  std::u16string_view Reading(const AozoraRuby& ruby) const {
    return std::u16string_view(readings).substr(ruby.reading.start, ruby.reading.length);
  }
};

// The largest indent a note can ask for; larger numbers are cut to it.
inline constexpr std::uint16_t kMaxAozoraIndent = 100;

// Reads the lines of one text in order.  Start it with the default state at
// the text's first line, or with a state that State() gave at a line start.
class AozoraNotationReader {
 public:
  // How the two-character repetition mark stands, which e-texts write as
  // ／＼ (and, voiced, ／″＼).
  enum class RepetitionMarks : std::uint8_t {
    AsWritten,  // across a page, where the mark can't stand
    Vertical,   // in columns: 〳〵 and 〴〵, the mark's upper and lower halves
  };

  AozoraNotationReader() = default;
  explicit AozoraNotationReader(const AozoraLineState& state, RepetitionMarks marks = RepetitionMarks::AsWritten)
      : state_(state), marks_(marks) {}

  // The state before the line that Read takes next.
  const AozoraLineState& State() const { return state_; }

  // Reads the next line (as the line reader delivers it: at most 1,023 units,
  // its line feed included) into `line`, replacing what it held.  Linear in
  // the line's length, but for a 傍点 note's search of the text before it; a
  // line without markup costs one scan and one copy.
  // Allocates only while `line` and the reader's working space still grow.
  void Read(std::u16string_view source, AozoraLine& line);

 private:
  AozoraLineState state_;
  RepetitionMarks marks_ = RepetitionMarks::AsWritten;
  // Working space for one line, kept between lines only for its capacity.
  struct Scratch {
    std::vector<std::size_t> noteEnds;   // where the note opening at each position closes
    std::vector<std::size_t> openNotes;  // notes not yet closed, while matching
    std::u16string emphasisTarget;
  };
  Scratch scratch_;
};

// True for the characters a ruby's base may run over without `｜`: CJK
// ideographs (U+3400-4DBF, U+4E00-9FFF, U+F900-FAFF, U+20000-3FFFF) and the
// marks that stand in for them: 々 〆 〇 ヶ.
bool IsAozoraKanji(char32_t codePoint) noexcept;

}  // namespace folio::text
