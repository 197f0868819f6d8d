// The library's own location and the host's window.
#pragma once

#include <optional>
#include <string>

namespace folio::platform {

// Full path of the module that holds this code (the plug-in library, or the
// program when the code is linked into one).  Windows: GetModuleFileNameW
// with the handle stored at load; elsewhere: dladdr.
std::u16string ModulePath();

struct ClientSize {
  int width;
  int height;
};
// Client area of the process's active window, when there is one.
std::optional<ClientSize> ActiveWindowClientSize();

}  // namespace folio::platform
