// ANSI-coded text in the system's ANSI code page.
#include <windows.h>

#include "platform/ansi_text_decoder.h"

namespace folio::platform {
namespace {

class WindowsAnsiTextDecoder final : public AnsiTextDecoder {
 public:
  bool IsLeadByte(std::uint8_t byte) const override { return IsDBCSLeadByteEx(CP_ACP, byte) != FALSE; }

  bool DecodeCharacter(const std::uint8_t* bytes, std::size_t count, char16_t& unit) const override {
    // Without MB_ERR_INVALID_CHARS an undecodable sequence would come back
    // as a default character instead of being refused.
    wchar_t wide = 0;
    const int length = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, reinterpret_cast<const char*>(bytes),
                                           static_cast<int>(count), &wide, 1);
    if (length != 1) return false;
    unit = static_cast<char16_t>(wide);
    return true;
  }
};

}  // namespace

std::unique_ptr<AnsiTextDecoder> AnsiTextDecoder::ForDefaultCodePage() {
  return std::make_unique<WindowsAnsiTextDecoder>();
}

}  // namespace folio::platform
