// Letter case through the Windows string functions.
#include <windows.h>

#include "platform/letter_case.h"

namespace folio::platform {
namespace {

// The string functions want terminated text.
std::wstring Terminated(std::u16string_view text) {
  return std::wstring(text.begin(), text.end());
}

}  // namespace

std::u16string LowerCase(std::u16string_view text) {
  std::wstring lowered = Terminated(text);
  if (!lowered.empty()) CharLowerBuffW(lowered.data(), static_cast<DWORD>(lowered.size()));
  return std::u16string(lowered.begin(), lowered.end());
}

bool EqualIgnoringCase(std::u16string_view a, std::u16string_view b) {
  // lstrcmpiW stops at a zero unit; texts that differ after one are not equal.
  if (a.find(u'\0') != std::u16string_view::npos || b.find(u'\0') != std::u16string_view::npos) return a == b;
  return lstrcmpiW(Terminated(a).c_str(), Terminated(b).c_str()) == 0;
}

bool SamePath(std::u16string_view a, std::u16string_view b) {
  return EqualIgnoringCase(a, b);
}

}  // namespace folio::platform
