#include "bench/page_request.h"

namespace folio::bench {

int ExtractPage(const testing::PluginModule& plugin, const WidePath& text, std::int64_t position,
                const PageUse& use) {
  SusieHandle page = nullptr;
  const int code = plugin.GetFileW(text.c_str(), static_cast<intptr_t>(position),
                                   reinterpret_cast<SusieWideChar*>(&page), SUSIE_OUTPUT_TO_MEMORY, nullptr, 0);
  if (code == 0 && page && use) use(static_cast<const unsigned char*>(page));
  if (page) plugin.FreeBlock(page);
  return code;
}

}  // namespace folio::bench
