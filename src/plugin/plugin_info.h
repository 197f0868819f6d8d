// The plug-in's information strings and its answer to "is this file yours?".
#pragma once

#include <optional>
#include <string>

namespace folio::plugin {

// Information string `index` (0 to 3); nullopt for any other index.
std::optional<std::u16string> PluginInfoText(int index);

}  // namespace folio::plugin
