// One page as a viewer asks for it: GetFileW with memory output and no
// progress callback, the block freed again.
#pragma once

#include <cstdint>
#include <string>

#include "support/plugin_module.h"

namespace folio::bench {

// A path in the form the W functions take.
using WidePath = std::basic_string<SusieWideChar>;

// A result code.
int ExtractPage(const testing::PluginModule& plugin, const WidePath& text, std::int64_t position);

}  // namespace folio::bench
