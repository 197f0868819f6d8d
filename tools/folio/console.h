// Where the host's words go: standard output and standard error, in UTF-8
// (a Windows console gets them as UTF-16, so any language shows).
#pragma once

#include <string_view>

namespace folio::cli {

void PrintOut(std::string_view utf8);
void PrintError(std::string_view utf8);
// Whether standard error is a terminal that a progress bar can redraw.
bool ErrorIsTerminal();

}  // namespace folio::cli
