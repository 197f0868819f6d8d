// A peer doing folio's job with other tools: paps lays the text out into
// PostScript pages and Ghostscript's bmp16m device writes each page as a
// 24-bit BMP file.  Both run as black boxes; only their time is taken.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "bench/process_stats.h"
#include "settings/render_settings.h"

namespace folio::bench {

struct PeerRun {
  double seconds = 0;  // of paps and gs together, on the clock they were run with
  std::int64_t pages = 0;
};

// Peer runs kept in a file, one line each, so that a run where the peer can't
// start (under Wine) reports what the native run measured on the same text.
class PeerResults {
 public:
  explicit PeerResults(std::filesystem::path file) : file_(std::move(file)) {}
  std::optional<PeerRun> Find(std::string_view key) const;
  void Record(std::string_view key, const PeerRun& run) const;

 private:
  std::filesystem::path file_;
};

// Names the text (UTF-8, as read), the settings that shape the peer's pages,
// and the clock.
std::string PeerKey(std::string_view text, const settings::RenderSettings& settings, Clock clock);

// True where paps and gs can be started.
bool PeerInstalled();

// Runs the peer over the UTF-8 text in `textFile`: pages of the settings'
// size (turned on their side, as paps lays out landscape pages), the same
// font, margin and text box.  The pages go into `pageFolder`, which is
// emptied after they are counted.  Nothing when the peer fails or can't make
// pages of this size.
std::optional<PeerRun> RunPeer(const std::filesystem::path& textFile, const settings::RenderSettings& settings,
                               const std::filesystem::path& pageFolder, Clock clock);

}  // namespace folio::bench
