// What the benchmark's programs share: an error ends them with its message.
#pragma once

#include <exception>
#include <iostream>

namespace folio::bench {

template <typename Body>
int RunReportingErrors(const char* program, Body body) {
  try {
    return body();
  } catch (const std::exception& error) {
    std::cerr << program << ": " << error.what() << "\n";
    return 1;
  }
}

}  // namespace folio::bench
