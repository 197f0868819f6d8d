#include "progress_bar.h"

#include <string>

#include "console.h"

namespace folio::cli {
namespace {
constexpr std::size_t kBarWidth = 30;
}

ProgressBar::ProgressBar(std::size_t total) : total_(total), visible_(total > 1 && ErrorIsTerminal()) {
  Draw();
}

ProgressBar::~ProgressBar() {
  if (visible_) PrintError("\n");
}

void ProgressBar::Advance() {
  ++done_;
  Draw();
}

void ProgressBar::Draw() const {
  if (!visible_) return;
  const std::size_t filled = total_ ? done_ * kBarWidth / total_ : kBarWidth;
  std::string line = "\r[" + std::string(filled, '#') + std::string(kBarWidth - filled, '.') + "] ";
  line += std::to_string(done_) + "/" + std::to_string(total_) + " pages";
  PrintError(line);
}

}  // namespace folio::cli
