#include "bench/peer.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "base/unicode.h"
#include "bench/process_stats.h"

namespace folio::bench {
namespace {

std::uint64_t Fnv1a(std::string_view bytes, std::uint64_t hash = 14695981039346656037ull) {
  for (const unsigned char byte : bytes) hash = (hash ^ byte) * 1099511628211ull;
  return hash;
}

#if !defined(_WIN32)

// paps knows paper sizes only: A4 in landscape, in points (1 pixel at 72 dpi).
constexpr std::int32_t kPaperWidth = 841;
constexpr std::int32_t kPaperHeight = 595;

std::string Quoted(std::string_view text) {
  std::string quoted = "'";
  for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

#endif

}  // namespace

std::optional<PeerRun> PeerResults::Find(std::string_view key) const {
  std::ifstream in(file_);
  std::optional<PeerRun> found;
  std::string lineKey;
  PeerRun run;
  while (in >> lineKey >> run.seconds >> run.pages) {
    if (lineKey == key) found = run;  // the latest record wins
  }
  return found;
}

void PeerResults::Record(std::string_view key, const PeerRun& run) const {
  std::ofstream out(file_, std::ios::app);
  out << key << ' ' << run.seconds << ' ' << run.pages << '\n';
}

std::string PeerKey(std::string_view text, const settings::RenderSettings& settings, Clock clock) {
  std::ostringstream shape;
  shape << (clock == Clock::Cpu ? "cpu/" : "wall/") << base::Utf16ToUtf8(settings.fontFamily) << '/'
        << settings.fontSize << '/' << settings.width << 'x' << settings.height << '/' << settings.margin;
  std::ostringstream key;
  key << std::hex << Fnv1a(shape.str(), Fnv1a(text));
  return key.str();
}

#if defined(_WIN32)

// paps and gs are Linux programs: a Windows build reads the native run's results.
bool PeerInstalled() {
  return false;
}

std::optional<PeerRun> RunPeer(const std::filesystem::path&, const settings::RenderSettings&,
                               const std::filesystem::path&, Clock) {
  return std::nullopt;
}

#else

bool PeerInstalled() {
  return std::system("command -v paps >/dev/null 2>&1 && command -v gs >/dev/null 2>&1") == 0;
}

std::optional<PeerRun> RunPeer(const std::filesystem::path& textFile, const settings::RenderSettings& settings,
                               const std::filesystem::path& pageFolder, Clock clock) {
  const std::int32_t m = settings.margin;
  // The text box of the plug-in's page (width - 2m by height - 2m at m, m) in
  // the top left corner of the paper; Ghostscript keeps a page-sized corner.
  const std::int32_t rightMargin = kPaperWidth - settings.width + m;
  const std::int32_t bottomMargin = kPaperHeight - settings.height + m;
  if (m < 0 || rightMargin < 0 || bottomMargin < 0) return std::nullopt;

  std::filesystem::create_directories(pageFolder);
  std::ostringstream command;
  command << "paps --landscape --font="
          << Quoted(base::Utf16ToUtf8(settings.fontFamily) + " " + std::to_string(settings.fontSize))
          << " --left-margin=" << m << " --top-margin=" << m << " --right-margin=" << rightMargin
          << " --bottom-margin=" << bottomMargin << ' ' << Quoted(textFile.string())
          << " | gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=bmp16m -r72 -dTextAlphaBits=4 -dGraphicsAlphaBits=4"
          << " -dDEVICEWIDTHPOINTS=" << settings.height << " -dDEVICEHEIGHTPOINTS=" << settings.width
          << " -dFIXEDMEDIA " << Quoted("-sOutputFile=" + (pageFolder / "page%06d.bmp").string()) << " -";

  const double start = ChildrenSeconds(clock);
  const int status = std::system(command.str().c_str());
  PeerRun run;
  run.seconds = ChildrenSeconds(clock) - start;
  for (const auto& page : std::filesystem::directory_iterator(pageFolder)) {
    if (page.path().extension() == ".bmp") ++run.pages;
  }
  std::filesystem::remove_all(pageFolder);
  if (status != 0 || run.pages == 0) return std::nullopt;
  return run;
}

#endif

}  // namespace folio::bench
