// What each result code of the plug-in means, in words for the user.
#pragma once

#include <string>

namespace folio::cli {

std::string ResultMessage(int code);

}  // namespace folio::cli
