#include "commands.h"
#include "page_store.h"

namespace folio::cli {

// Windows has no libpng or libzip of its own; folio.exe writes BMP pages only.
std::unique_ptr<PageStore> OpenPngStore(const ExtractRequest&, PageFormat, int& status) {
  status = Fail("--png and --cbz are the Linux folio command's; folio.exe writes BMP pages only", kUsageError);
  return nullptr;
}

}  // namespace folio::cli
