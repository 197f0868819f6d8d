#include "text/aozora_notation.h"

#include <algorithm>

#include "text/aozora_character_note.h"

namespace folio::text {
namespace {

constexpr char16_t kRubyOpen = u'《';
constexpr char16_t kRubyClose = u'》';
constexpr char16_t kBaseMark = u'｜';
constexpr char16_t kNoteOpen = u'［';
constexpr char16_t kNoteMark = u'＃';
constexpr char16_t kNoteClose = u'］';
constexpr char16_t kNamedCharacterMark = u'※';
constexpr char16_t kLineFeed = u'\n';
constexpr std::size_t kNone = std::u16string_view::npos;

// A title block is a few lines; a header explains a few symbols.
constexpr std::uint16_t kHeaderSearchLines = 20;
constexpr std::uint16_t kHeaderMaxLines = 200;
constexpr std::size_t kRuleMinHyphens = 10;

bool IsHighSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

// A line of hyphens, as the header begins and ends with.
bool IsRule(std::u16string_view line) {
  const std::size_t hyphens = std::min(line.find_first_not_of(u'-'), line.size());
  if (hyphens < kRuleMinHyphens) return false;
  return line.find_first_not_of(u" \t\r\n", hyphens) == kNone;
}

bool StartsClosingBlock(std::u16string_view line) {
  return line.starts_with(u"底本：");
}

// A number in full-width or ASCII digits at the front of `text`; its length
// is 0 when there is none.
struct LeadingNumber {
  std::size_t length = 0;
  std::uint16_t value = 0;
};
LeadingNumber ReadLeadingNumber(std::u16string_view text) {
  LeadingNumber number;
  for (char16_t unit : text) {
    int digit;
    if (unit >= u'0' && unit <= u'9') {
      digit = unit - u'0';
    } else if (unit >= u'０' && unit <= u'９') {
      digit = unit - u'０';
    } else {
      break;
    }
    number.value = static_cast<std::uint16_t>(std::min<int>(number.value * 10 + digit, kMaxAozoraIndent));
    ++number.length;
  }
  return number;
}

// The N of "N字下げ" followed by `allowedAfter` or nothing.
bool ReadIndentNote(std::u16string_view text, std::u16string_view allowedAfter, std::uint16_t& indent) {
  const LeadingNumber number = ReadLeadingNumber(text);
  if (number.length == 0) return false;
  text.remove_prefix(number.length);
  if (!text.starts_with(u"字下げ")) return false;
  text.remove_prefix(3);
  if (!text.empty() && (allowedAfter.empty() || !text.starts_with(allowedAfter))) return false;
  indent = number.value;
  return true;
}

// The first `unit` at or after a position, remembered so that searches
// moving forward through a line scan it once.
class NextUnitFinder {
 public:
  explicit NextUnitFinder(char16_t unit) : unit_(unit) {}
  std::size_t Find(std::u16string_view text, std::size_t from) {
    if (from >= searchedFrom_ && (found_ == kNone || from <= found_)) return found_;
    searchedFrom_ = from;
    found_ = text.find(unit_, from);
    return found_;
  }

 private:
  char16_t unit_;
  std::size_t searchedFrom_ = kNone;
  std::size_t found_ = kNone;
};

// One line of the body, read into `line`.
class LineParser {
 public:
  LineParser(std::u16string_view source, AozoraLine& line, AozoraLineState& state,
             AozoraNotationReader::RepetitionMarks marks, std::vector<std::size_t>& noteEnds,
             std::vector<std::size_t>& openNotes, std::u16string& target)
      : source_(source),
        line_(line),
        state_(state),
        marks_(marks),
        noteEnds_(noteEnds),
        openNotes_(openNotes),
        target_(target) {}

  void Run() {
    const std::size_t size = source_.size();
    std::size_t runStart = 0;  // plain text from here on is not yet appended
    std::size_t at = 0;
    while (at < size) {
      const char16_t unit = source_[at];
      if (unit != kNoteOpen && unit != kRubyOpen && unit != kBaseMark) {
        ++at;
        continue;
      }
      if (unit == kNoteOpen) {
        const std::size_t end = NoteEndAt(at);
        if (end == kNone) {
          ++at;
          continue;
        }
        const NamedCharacter named = CharacterReplacingMark(runStart, at, end);
        AppendPlain(source_.substr(runStart, at - runStart - (named.size ? 1 : 0)));
        if (named.size) {
          AppendPlain(named.View());
        } else {
          ApplyNote(at + 2, end);
        }
        runStart = at = end + 1;
      } else if (unit == kBaseMark) {
        if (!BaseMarkHasReading(at)) {
          ++at;
          continue;
        }
        AppendPlain(source_.substr(runStart, at - runStart));
        baseMarked_ = true;
        markedBaseStart_ = line_.text.size();
        runStart = at = at + 1;
      } else {
        const std::size_t close = ReadingEndAt(at);
        if (close == kNone) {
          ++at;
          continue;
        }
        AppendPlain(source_.substr(runStart, at - runStart));
        runStart = at;
        const std::size_t baseStart = baseMarked_ ? markedBaseStart_ : KanjiRunStart();
        const std::size_t baseEnd = line_.text.size();
        if (baseStart == baseEnd) {
          // No base: the mark (nothing was drawn since it) and the reading stay text.
          if (baseMarked_) AppendPlain(u"｜");
          baseMarked_ = false;
          ++at;
          continue;
        }
        baseMarked_ = false;
        const std::size_t readingStart = line_.readings.size();
        AppendWithoutNotes(at + 1, close, line_.readings);
        // A reading made of notes alone leaves its base without a ruby.
        if (line_.readings.size() > readingStart) {
          line_.rubies.push_back(
              {{baseStart, baseEnd - baseStart}, {readingStart, line_.readings.size() - readingStart}});
        }
        kanjiRunFloor_ = line_.text.size();
        runStart = at = close + 1;
      }
    }
    AppendPlain(source_.substr(runStart));
  }

  // The block indent in effect where the line's text begins: a note ahead
  // of all text acts on its own line, a note after text from the next line.
  std::uint16_t BlockIndent() const {
    if (textStarted_) return blockIndentAtText_;
    return state_.inIndentBlock ? state_.blockIndent : 0;
  }
  bool HasOwnIndent() const { return hasOwnIndent_; }
  std::uint16_t OwnIndent() const { return ownIndent_; }
  void SetOwnIndent(bool has, std::uint16_t indent) {
    hasOwnIndent_ = has;
    ownIndent_ = indent;
  }

 private:
  void AppendPlain(std::u16string_view text) {
    if (text.empty()) return;
    if (!textStarted_) {
      textStarted_ = true;
      blockIndentAtText_ = state_.inIndentBlock ? state_.blockIndent : 0;
    }
    AppendAsDrawn(text, line_.text);
  }

  // Appends `text` to `out` with the repetition marks as they stand.
  void AppendAsDrawn(std::u16string_view text, std::u16string& out) const {
    if (marks_ == AozoraNotationReader::RepetitionMarks::AsWritten) {
      out.append(text);
      return;
    }
    for (std::size_t mark; (mark = text.find(u'／')) != kNone;) {
      out.append(text.substr(0, mark));
      text.remove_prefix(mark);
      if (text.starts_with(u"／＼")) {
        out.append(u"〳〵");
        text.remove_prefix(2);
      } else if (text.starts_with(u"／″＼")) {
        out.append(u"〴〵");
        text.remove_prefix(3);
      } else {
        out.push_back(text.front());
        text.remove_prefix(1);
      }
    }
    out.append(text);
  }

  // The position of the ］ that closes a note opening at `at`, or kNone.
  // Notes nest (a note may name a character that a note describes), so all
  // the line's notes are matched in one pass when the first is met.
  std::size_t NoteEndAt(std::size_t at) {
    if (at + 1 >= source_.size() || source_[at + 1] != kNoteMark) return kNone;
    if (!notesMatched_) MatchNotes();
    return noteEnds_[at];
  }

  void MatchNotes() {
    notesMatched_ = true;
    noteEnds_.assign(source_.size(), kNone);
    openNotes_.clear();
    for (std::size_t at = 0; at < source_.size(); ++at) {
      if (source_[at] == kNoteOpen && at + 1 < source_.size() && source_[at + 1] == kNoteMark) {
        openNotes_.push_back(at++);
      } else if (source_[at] == kNoteClose && !openNotes_.empty()) {
        noteEnds_[openNotes_.back()] = at;
        openNotes_.pop_back();
      }
    }
  }

  // The position of the 》 that closes a non-empty reading opening at `at`,
  // or kNone.
  std::size_t ReadingEndAt(std::size_t at) {
    const std::size_t close = closeFinder_.Find(source_, at + 1);
    if (close == kNone || close == at + 1) return kNone;
    const std::size_t nextOpen = openFinder_.Find(source_, at + 1);
    if (nextOpen < close) return kNone;
    return close;
  }

  // Whether the ｜ at `at` begins a base: the next ｜ or 《 outside notes
  // is a 《 that opens a reading.  The stretch scanned ends where the next
  // such search begins, so the line is scanned once.
  bool BaseMarkHasReading(std::size_t at) {
    for (std::size_t next = at + 1; next < source_.size();) {
      const char16_t unit = source_[next];
      if (unit == kBaseMark) return false;
      if (unit == kRubyOpen) return ReadingEndAt(next) != kNone;
      if (unit == kNoteOpen) {
        const std::size_t end = NoteEndAt(next);
        if (end != kNone) {
          next = end + 1;
          continue;
        }
      }
      ++next;
    }
    return false;
  }

  // Where the run of kanji that ends the text begins; it stops at the end of
  // the last ruby's base, so that two rubies in a row keep their own bases.
  std::size_t KanjiRunStart() const {
    const std::u16string& text = line_.text;
    std::size_t start = text.size();
    while (start > kanjiRunFloor_) {
      const char16_t unit = text[start - 1];
      if (IsLowSurrogate(unit) && start >= kanjiRunFloor_ + 2 && IsHighSurrogate(text[start - 2])) {
        const char32_t codePoint = 0x10000 + ((text[start - 2] - 0xD800) << 10) + (unit - 0xDC00);
        if (!IsAozoraKanji(codePoint)) break;
        start -= 2;
      } else {
        if (!IsAozoraKanji(unit)) break;
        --start;
      }
    }
    return start;
  }

  // The character that the note from source_[at] to the ］ at `end` names,
  // when it follows a ※ at or after `runStart` (not yet appended): the
  // character is drawn in the place of both.  Empty for any other note.
  NamedCharacter CharacterReplacingMark(std::size_t runStart, std::size_t at, std::size_t end) const {
    if (at == runStart || source_[at - 1] != kNamedCharacterMark) return {};
    return CharacterNamedByNote(source_.substr(at + 2, end - at - 2));
  }

  // Appends source_[from, to) to `out` as it is drawn: leaving out the notes
  // that lie whole inside it, but for the characters they name.
  void AppendWithoutNotes(std::size_t from, std::size_t to, std::u16string& out) {
    std::size_t runStart = from;
    for (std::size_t at = from; at < to; ++at) {
      if (source_[at] != kNoteOpen) continue;
      const std::size_t end = NoteEndAt(at);
      if (end == kNone || end >= to) continue;
      const NamedCharacter named = CharacterReplacingMark(runStart, at, end);
      AppendAsDrawn(source_.substr(runStart, at - runStart - (named.size ? 1 : 0)), out);
      out.append(named.View());
      runStart = end + 1;
      at = end;
    }
    AppendAsDrawn(source_.substr(runStart, to - runStart), out);
  }

  // The note between source_[from] and the ］ at `end`.
  void ApplyNote(std::size_t from, std::size_t end) {
    const std::u16string_view note = source_.substr(from, end - from);
    std::uint16_t indent = 0;
    if (note == u"改ページ" || note == u"改丁" || note == u"改見開き") {
      line_.pageEndsAfter = true;
    } else if (note == u"ここで字下げ終わり") {
      state_.inIndentBlock = false;
      state_.blockIndent = 0;
    } else if (note.starts_with(u"ここから")) {
      std::u16string_view rest = note.substr(4);
      rest.remove_prefix(std::min(rest.find_first_not_of(u" \u3000"), rest.size()));
      // "、折り返して…" sets how wrapped lines hang, which pages can't show.
      if (ReadIndentNote(rest, u"、", indent)) {
        state_.inIndentBlock = true;
        state_.blockIndent = indent;
      }
    } else if (ReadIndentNote(note, u"", indent)) {
      SetOwnIndent(true, indent);
    } else if (note.starts_with(u"「") && note.ends_with(u"」に傍点") && note.size() > 5) {
      // The target is named as drawn: notes inside it are left out too.
      target_.clear();
      AppendWithoutNotes(from + 1, end - 4, target_);
      const std::size_t found = target_.empty() ? kNone : line_.text.rfind(target_);
      if (found != kNone) line_.emphasis.push_back({found, target_.size()});
    }
  }

  std::u16string_view source_;
  AozoraLine& line_;
  AozoraLineState& state_;
  AozoraNotationReader::RepetitionMarks marks_;
  std::vector<std::size_t>& noteEnds_;
  std::vector<std::size_t>& openNotes_;
  bool notesMatched_ = false;
  NextUnitFinder closeFinder_{kRubyClose};
  NextUnitFinder openFinder_{kRubyOpen};
  bool baseMarked_ = false;  // a ｜ whose reading is still ahead
  std::size_t markedBaseStart_ = 0;
  std::size_t kanjiRunFloor_ = 0;
  bool textStarted_ = false;
  std::uint16_t blockIndentAtText_ = 0;
  bool hasOwnIndent_ = false;
  std::uint16_t ownIndent_ = 0;
  std::u16string& target_;
};

// The encoded state: part, in-block flag, continuation flag, own-indent flag
// (one byte each), then lines in part, block indent and continued indent
// (two bytes each, little-endian).
constexpr std::size_t kEncodedStateSize = 10;

void AppendU16(std::string& bytes, std::uint16_t value) {
  bytes.push_back(static_cast<char>(value & 0xFF));
  bytes.push_back(static_cast<char>(value >> 8));
}

std::uint16_t U16At(std::string_view bytes, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                    static_cast<unsigned char>(bytes[at + 1]) << 8);
}

std::optional<bool> FlagOf(char byte) {
  if (byte != 0 && byte != 1) return std::nullopt;
  return byte == 1;
}

}  // namespace

bool IsAozoraKanji(char32_t codePoint) noexcept {
  return (codePoint >= 0x4E00 && codePoint <= 0x9FFF) || (codePoint >= 0x3400 && codePoint <= 0x4DBF) ||
         (codePoint >= 0xF900 && codePoint <= 0xFAFF) || (codePoint >= 0x20000 && codePoint <= 0x3FFFF) ||
         codePoint == U'々' || codePoint == U'〆' || codePoint == U'〇' || codePoint == U'ヶ';
}

void AozoraNotationReader::Read(std::u16string_view source, AozoraLine& line) {
  line.text.clear();
  line.rubies.clear();
  line.readings.clear();
  line.emphasis.clear();
  line.indent = 0;
  line.pageEndsAfter = false;

  const bool startsLine = !state_.lineContinues;
  state_.lineContinues = !source.empty() && source.back() != kLineFeed;
  bool interpret = false;
  auto enterPart = [this](AozoraLineState::Part part) {
    state_.part = part;
    state_.linesInPart = 0;
  };
  switch (state_.part) {
    case AozoraLineState::Part::Opening:
      if (startsLine && IsRule(source)) {
        enterPart(AozoraLineState::Part::Header);
      } else if (startsLine && StartsClosingBlock(source)) {
        enterPart(AozoraLineState::Part::Closing);
      } else {
        interpret = true;
        if (startsLine && ++state_.linesInPart >= kHeaderSearchLines) enterPart(AozoraLineState::Part::Body);
      }
      break;
    case AozoraLineState::Part::Header:
      if (startsLine && (IsRule(source) || ++state_.linesInPart >= kHeaderMaxLines)) {
        enterPart(AozoraLineState::Part::Body);
      }
      break;
    case AozoraLineState::Part::Body:
      if (startsLine && StartsClosingBlock(source)) {
        enterPart(AozoraLineState::Part::Closing);
      } else {
        interpret = true;
      }
      break;
    case AozoraLineState::Part::Closing: break;
  }
  if (!interpret) {
    line.text.assign(source);
    state_.continuedLineHasOwnIndent = false;
    state_.continuedLineIndent = 0;
    return;
  }

  LineParser parser(source, line, state_, marks_, scratch_.noteEnds, scratch_.openNotes, scratch_.emphasisTarget);
  if (!startsLine) parser.SetOwnIndent(state_.continuedLineHasOwnIndent, state_.continuedLineIndent);
  parser.Run();
  // A line's own indent counts from the text area's edge, as a block's does,
  // so inside a block it replaces the block's indent for that line.
  line.indent = parser.HasOwnIndent() ? parser.OwnIndent() : parser.BlockIndent();
  const bool carry = state_.lineContinues && parser.HasOwnIndent();
  state_.continuedLineHasOwnIndent = carry;
  state_.continuedLineIndent = carry ? parser.OwnIndent() : 0;
}

std::string EncodeAozoraLineState(const AozoraLineState& state) {
  std::string bytes;
  bytes.reserve(kEncodedStateSize);
  bytes.push_back(static_cast<char>(state.part));
  bytes.push_back(static_cast<char>(state.inIndentBlock));
  bytes.push_back(static_cast<char>(state.lineContinues));
  bytes.push_back(static_cast<char>(state.continuedLineHasOwnIndent));
  AppendU16(bytes, state.linesInPart);
  AppendU16(bytes, state.blockIndent);
  AppendU16(bytes, state.continuedLineIndent);
  return bytes;
}

std::optional<AozoraLineState> DecodeAozoraLineState(std::string_view bytes) {
  if (bytes.size() != kEncodedStateSize) return std::nullopt;
  if (static_cast<unsigned char>(bytes[0]) > static_cast<unsigned char>(AozoraLineState::Part::Closing))
    return std::nullopt;
  const std::optional<bool> inIndentBlock = FlagOf(bytes[1]);
  const std::optional<bool> lineContinues = FlagOf(bytes[2]);
  const std::optional<bool> hasOwnIndent = FlagOf(bytes[3]);
  if (!inIndentBlock || !lineContinues || !hasOwnIndent) return std::nullopt;
  AozoraLineState state;
  state.part = static_cast<AozoraLineState::Part>(bytes[0]);
  state.inIndentBlock = *inIndentBlock;
  state.lineContinues = *lineContinues;
  state.continuedLineHasOwnIndent = *hasOwnIndent;
  state.linesInPart = U16At(bytes, 4);
  state.blockIndent = U16At(bytes, 6);
  state.continuedLineIndent = U16At(bytes, 8);
  if (state.blockIndent > kMaxAozoraIndent || state.continuedLineIndent > kMaxAozoraIndent) return std::nullopt;
  return state;
}

}  // namespace folio::text
