// The host's ANSI strings in the codeset of the current C locale, via iconv.
#include <langinfo.h>

#include <cerrno>
#include <cstring>

#include "base/unicode.h"
#include "platform/code_pages.h"
#include "platform/iconv_converter.h"

namespace folio::platform {

IconvConverter::Status IconvConverter::Convert(const char*& in, std::size_t& inLeft, char*& out,
                                               std::size_t& outLeft) const noexcept {
  if (iconv(handle_, const_cast<char**>(&in), &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1)) {
    return Status::Done;
  }
  return errno == EINVAL ? Status::Incomplete : Status::Invalid;
}

std::string CurrentLocaleCodeset() {
  return nl_langinfo(CODESET);
}

std::u16string AnsiToWide(std::string_view bytes) {
  IconvConverter converter("UTF-16LE", CurrentLocaleCodeset().c_str());
  std::u16string result;
  if (!converter.valid()) return base::Utf8ToUtf16(bytes);
  const char* in = bytes.data();
  std::size_t inLeft = bytes.size();
  while (inLeft > 0) {
    char16_t units[64];
    char* out = reinterpret_cast<char*>(units);
    std::size_t outLeft = sizeof units;
    const auto status = converter.Convert(in, inLeft, out, outLeft);
    result.append(units, (sizeof units - outLeft) / sizeof(char16_t));
    if (status != IconvConverter::Status::Done && outLeft == sizeof units) {
      // A byte the codeset can't decode (or a sequence cut short): replace it.
      result.push_back(base::kReplacementCharacter);
      ++in, --inLeft;
      converter.Reset();
    }
  }
  return result;
}

std::string WideToAnsi(std::u16string_view text) {
  IconvConverter converter((CurrentLocaleCodeset() + "//TRANSLIT").c_str(), "UTF-16LE");
  if (!converter.valid()) return base::Utf16ToUtf8(text);
  std::string result;
  const char* in = reinterpret_cast<const char*>(text.data());
  std::size_t inLeft = text.size() * sizeof(char16_t);
  while (inLeft > 0) {
    char bytes[256];
    char* out = bytes;
    std::size_t outLeft = sizeof bytes;
    const auto status = converter.Convert(in, inLeft, out, outLeft);
    result.append(bytes, sizeof bytes - outLeft);
    if (status != IconvConverter::Status::Done && outLeft == sizeof bytes) {
      result.push_back('?');
      in += sizeof(char16_t), inLeft -= sizeof(char16_t);
      converter.Reset();
    }
  }
  return result;
}

}  // namespace folio::platform
