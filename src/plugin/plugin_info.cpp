#include "plugin/plugin_info.h"

#include <algorithm>

#include "settings/render_settings.h"

namespace folio::plugin {

std::optional<std::u16string> PluginInfoText(int index) {
  switch (index) {
    case 0: return u"00AM";  // interface version 00, archive plug-in
    case 1: return u"folio by.Ilo";
    case 2: {
      std::u16string patterns = settings::ReadExtensionList(settings::SettingsFilePath());
      std::replace(patterns.begin(), patterns.end(), u',', u';');
      return patterns;
    }
    case 3: return u"テキストファイル";
    default: return std::nullopt;
  }
}

}  // namespace folio::plugin
