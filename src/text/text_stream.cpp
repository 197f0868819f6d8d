#include "text/text_stream.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <type_traits>
#include <utility>

#include "base/unicode.h"
#include "platform/ansi_text_decoder.h"
#include "platform/files.h"
#include "text/ansi_characters.h"
#include "text/byte_window.h"

namespace folio::text {
namespace {

constexpr char16_t kLineFeed = 0x000A;
constexpr char16_t kCarriageReturn = 0x000D;
constexpr char16_t kEndOfText = 0x001A;

// The units of one character and the bytes it took; no bytes taken means the
// data has ended.  Small enough to come back in a register.
struct DecodedCharacter {
  std::uint8_t bytes = 0;
  std::uint8_t unitCount = 0;
  char16_t units[2] = {};
};

DecodedCharacter OneUnit(std::size_t bytes, char16_t unit) {
  return {static_cast<std::uint8_t>(bytes), 1, {unit, 0}};
}

char16_t LittleEndianUnit(const std::uint8_t* bytes) {
  return static_cast<char16_t>(bytes[0] | bytes[1] << 8);
}

// Each decoder reads one character from the window's front.  It is given at
// least kLookahead bytes unless the data ends sooner.

// Code 1: CR LF arrives as LF, a unit 0x001A ends the data, and a last odd
// byte is dropped.
struct Utf16TextDecoder {
  static constexpr std::size_t kLookahead = 4;
  DecodedCharacter Next(const std::uint8_t* bytes, std::size_t count) const {
    if (count < 2) return {};
    const char16_t unit = LittleEndianUnit(bytes);
    if (unit == kEndOfText) return {};
    if (unit == kCarriageReturn && count >= 4 && LittleEndianUnit(bytes + 2) == kLineFeed) {
      return OneUnit(4, kLineFeed);
    }
    return OneUnit(2, unit);
  }
};

// Code 2: units big-endian, untranslated (no CR LF folding, no end at
// 0x001A); a last odd byte is dropped.
struct BigEndianDecoder {
  static constexpr std::size_t kLookahead = 2;
  DecodedCharacter Next(const std::uint8_t* bytes, std::size_t count) const {
    if (count < 2) return {};
    return OneUnit(2, static_cast<char16_t>(bytes[0] << 8 | bytes[1]));
  }
};

// Code 3, over text-mode bytes: malformed sequences become U+FFFD.
struct Utf8Decoder {
  static constexpr std::size_t kLookahead = 4;
  DecodedCharacter Next(const std::uint8_t* bytes, std::size_t count) const {
    if (count == 0) return {};
    if (bytes[0] < 0x80) return OneUnit(1, bytes[0]);
    const base::Utf8Character character = base::DecodeUtf8Character(bytes, std::min(count, kLookahead));
    if (character.codePoint < 0x10000) {
      return OneUnit(character.length, static_cast<char16_t>(character.codePoint));
    }
    DecodedCharacter decoded{static_cast<std::uint8_t>(character.length), 2};
    base::EncodeUtf16(character.codePoint, decoded.units);
    return decoded;
  }
};

// Code 4, over text-mode bytes.  A sequence the code page refuses becomes
// U+FFFD and only its first byte is taken, so a refused pair never swallows
// the line feed after a stray lead byte.
class AnsiDecoder {
 public:
  static constexpr std::size_t kLookahead = 2;
  explicit AnsiDecoder(AnsiCharacters characters) : characters_(std::move(characters)) {}
  const std::array<bool, 256>& leadBytes() const noexcept { return characters_.leadBytes(); }
  DecodedCharacter Next(const std::uint8_t* bytes, std::size_t count) {
    if (count == 0) return {};
    const std::uint8_t lead = bytes[0];
    if (!characters_.IsLeadByte(lead)) return OneUnit(1, characters_.DecodeSingleByte(lead));
    const std::optional<char16_t> pair = count >= 2 ? characters_.DecodePair(lead, bytes[1]) : std::nullopt;
    return pair ? OneUnit(2, *pair) : OneUnit(1, base::kReplacementCharacter);
  }

 private:
  AnsiCharacters characters_;
};

template <typename Decoder>
class DecodingStream final : public TextStream {
 public:
  DecodingStream(ByteWindow window, Decoder decoder, TextEncoding encoding, char16_t carriedUnit)
      : window_(std::move(window)), decoder_(std::move(decoder)), encoding_(encoding), carriedUnit_(carriedUnit) {}

 private:
  // Between lines nothing but the window's offset and a carried unit is
  // left over from reading: decoders start afresh at every character.
  LineStart NextLineStart() const override { return {window_.offset(), carriedUnit_}; }

  LineSplitting Splitting() const override {
    LineSplitting splitting{encoding_};
    if constexpr (std::is_same_v<Decoder, AnsiDecoder>) splitting.ansiLeadBytes = decoder_.leadBytes();
    return splitting;
  }

  bool ReadLine(TextLine& whole) override {
    TextLine::Storage& line = whole.storage();
    std::size_t stored = 0;
    if (carriedUnit_) line[stored++] = std::exchange(carriedUnit_, 0);
    bool lineEnded = false;
    bool dataEnded = false;
    while (!lineEnded && !dataEnded && stored < kMaxLineUnits) {
      if (window_.size() < Decoder::kLookahead) window_.Fill(Decoder::kLookahead);
      // Decode from a local cursor up to where a character might need bytes
      // beyond the window; then refill.
      const std::uint8_t* const begin = window_.data();
      const std::uint8_t* const end = begin + window_.size();
      const std::uint8_t* const refillAt =
          window_.ended() ? end : end - std::min(window_.size(), Decoder::kLookahead - 1);
      const std::uint8_t* cursor = begin;
      while (!lineEnded && stored < kMaxLineUnits && cursor < refillAt) {
        const DecodedCharacter character = decoder_.Next(cursor, static_cast<std::size_t>(end - cursor));
        if (character.bytes == 0) {
          dataEnded = true;
          break;
        }
        cursor += character.bytes;
        line[stored++] = character.units[0];
        lineEnded = character.units[0] == kLineFeed;
        if (character.unitCount == 2) {
          // A surrogate pair that doesn't fit the line ends it; its second
          // half opens the next line, as units read one at a time would.
          if (stored < kMaxLineUnits) {
            line[stored++] = character.units[1];
          } else {
            carriedUnit_ = character.units[1];
          }
        }
      }
      window_.Consume(static_cast<std::size_t>(cursor - begin));
      if (window_.ended() && cursor == end) dataEnded = true;
    }
    if (stored == 0) return false;
    whole.SetLength(stored);
    return true;
  }

  ByteWindow window_;
  Decoder decoder_;
  TextEncoding encoding_;
  char16_t carriedUnit_;  // never a zero unit when set: a low surrogate
};

template <typename Decoder>
std::unique_ptr<TextStream> MakeStream(ByteWindow window, Decoder decoder, TextEncoding encoding,
                                       char16_t carriedUnit) {
  return std::make_unique<DecodingStream<Decoder>>(std::move(window), std::move(decoder), encoding, carriedUnit);
}

bool IsUtf16(TextEncoding encoding) {
  return encoding == TextEncoding::Utf16LE || encoding == TextEncoding::Utf16BE;
}

// The stream in `encoding` over `window`, which stands at a line start;
// `ansi` is needed for ANSI-coded text only.
std::unique_ptr<TextStream> StreamOver(ByteWindow window, TextEncoding encoding,
                                       std::optional<AnsiCharacters> ansi, char16_t carriedUnit) {
  switch (encoding) {
    case TextEncoding::Utf16LE: return MakeStream(std::move(window), Utf16TextDecoder{}, encoding, carriedUnit);
    case TextEncoding::Utf16BE: return MakeStream(std::move(window), BigEndianDecoder{}, encoding, carriedUnit);
    case TextEncoding::Utf8: return MakeStream(std::move(window), Utf8Decoder{}, encoding, carriedUnit);
    case TextEncoding::Ansi:
      return MakeStream(std::move(window), AnsiDecoder(std::move(*ansi)), encoding, carriedUnit);
  }
  return nullptr;
}

TextEncoding DetectInWindow(ByteWindow& window) {
  EncodingDetector detector;
  for (;;) {
    window.Fill(EncodingDetector::kLookahead);
    const bool final = window.ended();
    window.Consume(detector.Scan(window.data(), window.size(), final));
    if (final || detector.decided()) return detector.result();
    // Scan leaves fewer than kLookahead bytes, so the next Fill reads on.
  }
}

void SkipPrefix(ByteWindow& window, std::string_view prefix) {
  window.Fill(prefix.size());
  if (window.size() >= prefix.size() && std::memcmp(window.data(), prefix.data(), prefix.size()) == 0) {
    window.Consume(prefix.size());
  }
}

// Detection reads the text as a text-mode read delivers it (CR LF folded, cut
// at 0x1A), once, a chunk at a time; then the same source is read again from
// its start, so the file is opened only once.  The ANSI decoder is made only
// for ANSI-coded text.
template <typename MakeAnsiDecoder>
OpenedText OpenOver(std::unique_ptr<ByteSource> source, MakeAnsiDecoder makeAnsiDecoder) {
  ByteWindow window(std::move(source), true);
  OpenedText opened;
  if (!window.MoveTo(0, true)) return opened;
  opened.encoding = DetectInWindow(window);
  if (!window.MoveTo(0, !IsUtf16(opened.encoding))) return opened;
  // A big-endian mark stays, as U+FEFF at the start of the first line.
  if (opened.encoding == TextEncoding::Utf16LE) SkipPrefix(window, "\xFF\xFE");
  if (opened.encoding == TextEncoding::Utf8) SkipPrefix(window, "\xEF\xBB\xBF");
  std::optional<AnsiCharacters> ansi;
  if (opened.encoding == TextEncoding::Ansi) ansi.emplace(makeAnsiDecoder());
  opened.stream = StreamOver(std::move(window), opened.encoding, std::move(ansi), 0);
  return opened;
}

}  // namespace

OpenedText OpenTextStream(platform::InputFile& file) {
  return OpenTextStream(FileBytes(file));
}

OpenedText OpenTextStream(std::unique_ptr<ByteSource> source) {
  return OpenOver(std::move(source), &platform::AnsiTextDecoder::ForDefaultCodePage);
}

OpenedText ResumeTextStream(platform::InputFile& file, const LineSplitting& splitting, const LineStart& start) {
  // Only ANSI-coded text needs the code page, and asking for it takes time.
  return ResumeTextStreamOver(
      FileBytes(file),
      splitting.encoding == TextEncoding::Ansi ? platform::AnsiTextDecoder::ForDefaultCodePage() : nullptr,
      splitting, start);
}

OpenedText ResumeTextStreamOver(std::unique_ptr<ByteSource> source,
                                std::unique_ptr<platform::AnsiTextDecoder> ansiDecoder,
                                const LineSplitting& splitting, const LineStart& start) {
  std::optional<AnsiCharacters> ansi;
  if (splitting.encoding == TextEncoding::Ansi) {
    ansi.emplace(std::move(ansiDecoder));
    if (ansi->leadBytes() != splitting.ansiLeadBytes) return {};
  }
  ByteWindow window(std::move(source), !IsUtf16(splitting.encoding));
  if (!window.MoveTo(start.byteOffset, !IsUtf16(splitting.encoding))) return {};
  return {StreamOver(std::move(window), splitting.encoding, std::move(ansi), start.carriedUnit),
          splitting.encoding};
}

OpenedText OpenTextStreamOverBytes(std::string bytes) {
  return OpenTextStream(MemoryBytes(std::move(bytes)));
}

OpenedText OpenTextStreamOver(std::unique_ptr<ByteSource> source,
                              std::unique_ptr<platform::AnsiTextDecoder> ansiDecoder) {
  return OpenOver(std::move(source), [&ansiDecoder] { return std::move(ansiDecoder); });
}

bool ReadTextLine(TextStream& stream, TextLine& line) {
  return stream.ReadLine(line);
}

LineStart NextLineStart(const TextStream& stream) {
  return stream.NextLineStart();
}

LineSplitting SplittingOf(const TextStream& stream) {
  return stream.Splitting();
}

}  // namespace folio::text
