// GetPluginInfo(W) and IsSupported(W): what the plug-in is and which files it takes.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "folio/susie.h"
#include "platform/files.h"
#include "plugin/boundary.h"
#include "plugin/plugin_info.h"
#include "settings/render_settings.h"

namespace folio::plugin {
namespace {

// What a buffer of `bufferLength` characters keeps of the text, as lstrcpynW keeps it.
std::optional<std::u16string> FittedInfoText(int infoIndex, int bufferLength) {
  auto text = PluginInfoText(infoIndex);
  if (text && text->size() > static_cast<std::size_t>(bufferLength) - 1) text->resize(bufferLength - 1);
  return text;
}

// Bits 16 and up all clear: the value can only be a handle, never a pointer.
bool IsFileHandle(const void* data) {
  return reinterpret_cast<std::uintptr_t>(data) <= 0xFFFF;
}

int IsSupportedCore(const std::optional<std::u16string>& fileName, void* data) {
  if (!fileName) return 0;
  if (IsFileHandle(data)) {
    unsigned char header[8];
    if (!platform::ReadFromHostHandle(reinterpret_cast<std::uintptr_t>(data), header, sizeof header)) return 0;
  }
  return settings::IsHandledFileName(*fileName) ? 1 : 0;
}

}  // namespace
}  // namespace folio::plugin

using namespace folio::plugin;

extern "C" {

SUSIE_EXPORT int SUSIE_API GetPluginInfoW(int infoIndex, SusieWideChar* buffer, int bufferLength) {
  return Guarded(0, [&] {
    if (!buffer || bufferLength <= 0) return 0;
    const auto text = FittedInfoText(infoIndex, bufferLength);
    if (!text) return 0;
    std::memcpy(buffer, text->c_str(), (text->size() + 1) * sizeof(SusieWideChar));
    return static_cast<int>(text->size());
  });
}

SUSIE_EXPORT int SUSIE_API GetPluginInfo(int infoIndex, char* buffer, int bufferLength) {
  return Guarded(0, [&] {
    if (!buffer || bufferLength <= 0) return 0;
    const auto text = FittedInfoText(infoIndex, bufferLength);
    if (!text) return 0;
    // Always terminated inside the caller's buffer.
    const std::string ansi = AnsiPrefixWithin(*text, static_cast<std::size_t>(bufferLength) - 1);
    std::memcpy(buffer, ansi.c_str(), ansi.size() + 1);
    return static_cast<int>(text->size());
  });
}

SUSIE_EXPORT int SUSIE_API IsSupportedW(const SusieWideChar* fileName, void* data) {
  return Guarded(0, [&] { return IsSupportedCore(WideArgument(fileName), data); });
}

SUSIE_EXPORT int SUSIE_API IsSupported(const char* fileName, void* data) {
  return Guarded(0, [&] { return IsSupportedCore(AnsiArgument(fileName), data); });
}

}  // extern "C"
