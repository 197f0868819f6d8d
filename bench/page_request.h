// One page as a viewer asks for it: GetFileW with memory output and no
// progress callback, the block freed again.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "support/plugin_module.h"

namespace folio::bench {

// A path in the form the W functions take.
using WidePath = std::basic_string<SusieWideChar>;

// What is done with a page before it is freed: it gets the whole BMP file.
using PageUse = std::function<void(const unsigned char* bmp)>;

// A result code.
int ExtractPage(const testing::PluginModule& plugin, const WidePath& text, std::int64_t position,
                const PageUse& use = {});

}  // namespace folio::bench
