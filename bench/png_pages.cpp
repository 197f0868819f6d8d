// Measures what the folio command's PNG pages cost against the plug-in's BMP
// pages, and prints one row of the PNG table (the header too when it starts
// the table file):
//
//   folio_bench_png --plugin LIBRARY --font FAMILY [--table FILE] TEXT
//
// In one run, after one listing with MaxPage=0: every page extracted with
// memory output (GetFileW) as the BMP file that the plug-in hands over, then
// every page extracted again and encoded as PNG by the command's own encoder;
// the bytes of both, and the CPU time of both, each the fastest of up to
// three runs while they stay under a second.
#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/process_stats.h"
#include "bench/program.h"
#include "bench/result_table.h"
#include "bench/viewer.h"
#include "png_page.h"
#include "support/child_process.h"

namespace folio::bench {
namespace {

constexpr double kRepeatBelowSeconds = 1.0;
constexpr int kMostRuns = 3;

struct Options {
  std::filesystem::path plugin;
  std::string font;
  std::filesystem::path table;
  std::filesystem::path text;
};

Options ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    const bool hasValue = i + 1 < argc;
    if (argument == "--plugin" && hasValue) {
      options.plugin = argv[++i];
    } else if (argument == "--font" && hasValue) {
      options.font = argv[++i];
    } else if (argument == "--table" && hasValue) {
      options.table = argv[++i];
    } else if (!argument.starts_with("--") && options.text.empty()) {
      options.text = argument;
    } else {
      throw std::runtime_error("unexpected argument " + argument);
    }
  }
  if (options.plugin.empty() || options.font.empty() || options.text.empty())
    throw std::runtime_error("usage: folio_bench_png --plugin LIBRARY --font FAMILY [--table FILE] TEXT");
  return options;
}

std::size_t BmpFileSize(const unsigned char* bmp) {
  return bmp[2] | bmp[3] << 8 | bmp[4] << 16 | std::size_t{bmp[5]} << 24;
}

struct Pass {
  double seconds = 0;
  std::uint64_t bytes = 0;
};

// Every page once, each handed to `use`, which gives the bytes it stands for.
template <typename Use>
Pass AllPages(const Viewer& viewer, const Viewer::Path& text, std::int64_t pages, Use use) {
  Pass pass;
  const double start = ProcessSeconds(Clock::Cpu);
  for (std::int64_t position = 0; position < pages; ++position) {
    const int code = viewer.Extract(text, position, [&](const unsigned char* bmp) { pass.bytes += use(bmp); });
    if (code != 0)
      throw std::runtime_error("page " + std::to_string(position) + ": error " + std::to_string(code));
  }
  pass.seconds = ProcessSeconds(Clock::Cpu) - start;
  return pass;
}

template <typename Use>
Pass Fastest(const Viewer& viewer, const Viewer::Path& text, std::int64_t pages, Use use) {
  Pass fastest = AllPages(viewer, text, pages, use);
  for (int run = 1; run < kMostRuns && fastest.seconds < kRepeatBelowSeconds; ++run) {
    fastest.seconds = std::min(fastest.seconds, AllPages(viewer, text, pages, use).seconds);
  }
  return fastest;
}

int Run(int argc, char** argv) {
  const Options options = ParseOptions(argc, argv);
  const Viewer viewer(options.plugin);
  testing::PutEnvironmentVariable("FOLIO_PAGE_INDEX_FOLDER", (viewer.folder() / "page-index").string().c_str());
  viewer.Configure(options.font, true);
  const Viewer::Path text = Viewer::PathOf(options.text);
  Viewer::Listing listing;
  if (const int code = viewer.List(text, listing); code != 0)
    throw std::runtime_error("listing: error " + std::to_string(code));

  const Pass bmp = Fastest(viewer, text, listing.pages, BmpFileSize);
  std::vector<unsigned char> png;
  std::string error;
  const Pass encoded = Fastest(viewer, text, listing.pages, [&](const unsigned char* page) {
    if (error.empty()) error = cli::PngFromBmp({page, BmpFileSize(page)}, png);
    return png.size();
  });
  if (!error.empty()) throw std::runtime_error(error);

  constexpr double kMiB = 1024.0 * 1024.0;
  AddRow(options.table,
         Header({"Text", "Pages", "BMP pages (MiB)", "PNG pages (MiB)", "PNG ÷ BMP size",
                 "All pages as BMP (CPU s)", "All pages as PNG (CPU s)", "PNG ÷ BMP time"}),
         Row({options.text.stem().string(), std::to_string(listing.pages), Figure(bmp.bytes / kMiB),
              Figure(encoded.bytes / kMiB), Figure(double(encoded.bytes) / double(bmp.bytes)), Figure(bmp.seconds),
              Figure(encoded.seconds), Figure(encoded.seconds / bmp.seconds)}));
  return 0;
}

}  // namespace
}  // namespace folio::bench

int main(int argc, char** argv) {
  return folio::bench::RunReportingErrors("folio_bench_png", [&] { return folio::bench::Run(argc, argv); });
}
