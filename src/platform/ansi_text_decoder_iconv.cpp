// ANSI-coded text in the codeset of the environment's default locale, via
// iconv, without touching the process's current locale.
#include <langinfo.h>
#include <locale.h>

#include <array>
#include <string>
#include <type_traits>

#include "platform/ansi_text_decoder.h"
#include "platform/iconv_converter.h"

namespace folio::platform {
namespace {

using LocaleOwner = std::unique_ptr<std::remove_pointer_t<locale_t>, decltype(&freelocale)>;

// The C locale's codeset, as glibc names it.
constexpr char kAsciiCodeset[] = "ANSI_X3.4-1968";

// The codeset that LC_ALL, LC_CTYPE or LANG name; a setting naming no
// installed locale counts as the C locale.
std::string DefaultLocaleCodeset() {
  const LocaleOwner locale(newlocale(LC_CTYPE_MASK, "", locale_t{}), &freelocale);
  if (!locale) return kAsciiCodeset;
  return nl_langinfo_l(CODESET, locale.get());
}

// ANSI-coded text is plain ASCII, which CP932 decodes alike, or has bytes
// above 0x7E that did not score as UTF-8; so neither a UTF-8 nor an ASCII
// codeset can be its code page.  It was scored as CP932's layout.
//
// Read once, as a Windows process's ANSI code page is fixed for its life;
// this also keeps calls on many threads from loading and freeing locales,
// whose sharing inside the C library the thread checker can't see.
const std::string& AnsiTextCodeset() {
  static const std::string codeset = [] {
    std::string locale = DefaultLocaleCodeset();
    return locale == "UTF-8" || locale == kAsciiCodeset ? std::string("CP932") : locale;
  }();
  return codeset;
}

class IconvAnsiTextDecoder final : public AnsiTextDecoder {
 public:
  explicit IconvAnsiTextDecoder(const std::string& codeset) : converter_("UTF-16LE", codeset.c_str()) {
    if (converter_.valid()) ProbeSingleBytes();
  }

  bool valid() const noexcept { return converter_.valid(); }

  bool IsLeadByte(std::uint8_t byte) const override { return singleBytes_[byte].kind == Kind::Lead; }

  bool DecodeCharacter(const std::uint8_t* bytes, std::size_t count, char16_t& unit) const override {
    if (count == 1) {
      const SingleByte& single = singleBytes_[bytes[0]];
      if (single.kind != Kind::Character) return false;
      unit = single.unit;
      return true;
    }
    return Convert(bytes, count, unit) == IconvConverter::Status::Done;
  }

 private:
  enum class Kind : std::uint8_t { Refused, Character, Lead };
  struct SingleByte {
    Kind kind = Kind::Refused;
    char16_t unit = 0;
  };

  // A byte alone is a character, the start of a longer one (iconv finds the
  // input cut short), or refused.
  void ProbeSingleBytes() {
    for (unsigned value = 0; value < 256; ++value) {
      const auto byte = static_cast<std::uint8_t>(value);
      SingleByte& single = singleBytes_[byte];
      switch (Convert(&byte, 1, single.unit)) {
        case IconvConverter::Status::Done: single.kind = Kind::Character; break;
        case IconvConverter::Status::Incomplete: single.kind = Kind::Lead; break;
        case IconvConverter::Status::Invalid: single.kind = Kind::Refused; break;
      }
    }
  }

  // Done only when the bytes make exactly one UTF-16 unit.
  IconvConverter::Status Convert(const std::uint8_t* bytes, std::size_t count, char16_t& unit) const {
    const char* in = reinterpret_cast<const char*>(bytes);
    std::size_t inLeft = count;
    unsigned char utf16[2];
    char* out = reinterpret_cast<char*>(utf16);
    std::size_t outLeft = sizeof utf16;
    auto status = converter_.Convert(in, inLeft, out, outLeft);
    if (status != IconvConverter::Status::Done) {
      converter_.Reset();
    } else if (outLeft != 0) {
      status = IconvConverter::Status::Invalid;
    } else {
      unit = static_cast<char16_t>(utf16[0] | utf16[1] << 8);
    }
    return status;
  }

  IconvConverter converter_;
  std::array<SingleByte, 256> singleBytes_{};
};

}  // namespace

std::unique_ptr<AnsiTextDecoder> AnsiTextDecoder::ForDefaultCodePage() {
  auto decoder = std::make_unique<IconvAnsiTextDecoder>(AnsiTextCodeset());
  if (!decoder->valid()) return nullptr;
  return decoder;
}

}  // namespace folio::platform
