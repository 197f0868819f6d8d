// A bar on standard error that counts pages written, redrawn in place; shown
// only on a terminal and only when there is more than one page.
#pragma once

#include <cstddef>

namespace folio::cli {

class ProgressBar {
 public:
  explicit ProgressBar(std::size_t total);
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;
  // Ends the bar's line, so later messages start on a line of their own.
  ~ProgressBar();

  void Advance();

 private:
  void Draw() const;

  std::size_t total_;
  std::size_t done_ = 0;
  bool visible_;
};

}  // namespace folio::cli
