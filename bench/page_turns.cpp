// The same page turned by two kinds of viewer, round after round in one
// process: one that keeps the plug-in loaded, and one that loads it for the
// call and unloads it after (load, GetFileW with memory output, unload).
// The program links nothing that the plug-in uses (no text engine, no
// graphics libraries), so that an unload lets go of what only the plug-in
// loaded, as in a viewer:
//
//   folio_page_turns LIBRARY TEXT POSITION ROUNDS SECONDS RESULT [--wall-clock]
//
// It runs ROUNDS rounds at least, and more until SECONDS have passed, so that
// quick turns are counted often enough to hold still on a busy machine.
// Each round times one turn of each kind, the two in alternating order; the
// kept plug-in is loaded for its round and has drawn the page once before
// its turn is timed, and is unloaded before the other kind's turn.  RESULT
// gets a line a round: the kept turn's seconds and the unloaded turn's, or
// "error CODE" at the first failure.
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "bench/page_request.h"
#include "bench/process_stats.h"
#include "bench/program.h"

namespace folio::bench {
namespace {

struct Options {
  std::filesystem::path plugin;
  std::filesystem::path text;
  std::int64_t position;
  int rounds;
  double seconds;
  std::filesystem::path result;
  Clock clock;
};

Options ParseOptions(int argc, char** argv) {
  const bool wallClock = argc == 8 && std::string(argv[7]) == "--wall-clock";
  if (argc != 7 && !wallClock) {
    throw std::runtime_error("usage: folio_page_turns LIBRARY TEXT POSITION ROUNDS SECONDS RESULT [--wall-clock]");
  }
  return Options{argv[1],
                 argv[2],
                 std::stoll(argv[3]),
                 std::stoi(argv[4]),
                 std::stod(argv[5]),
                 argv[6],
                 wallClock ? Clock::Wall : Clock::Cpu};
}

class PageTurns {
 public:
  explicit PageTurns(const Options& options) : options_(options) {
    const std::u16string text = std::filesystem::absolute(options.text).make_preferred().u16string();
    text_.assign(text.begin(), text.end());
  }

  // The seconds of a turn by a viewer that keeps the plug-in loaded; the code of a failed call.
  int Kept(double& seconds) const {
    const testing::PluginModule plugin(options_.plugin, testing::PluginModule::Unloading::Unload);
    if (const int code = Turn(plugin); code != 0) return code;
    const double start = ProcessSeconds(options_.clock);
    const int code = Turn(plugin);
    seconds = ProcessSeconds(options_.clock) - start;
    return code;
  }

  // The same by a viewer that loads the plug-in for the call and unloads it after.
  int Unloaded(double& seconds) const {
    const double start = ProcessSeconds(options_.clock);
    int code = 0;
    {
      const testing::PluginModule plugin(options_.plugin, testing::PluginModule::Unloading::Unload);
      code = Turn(plugin);
    }
    seconds = ProcessSeconds(options_.clock) - start;
    return code;
  }

 private:
  int Turn(const testing::PluginModule& plugin) const { return ExtractPage(plugin, text_, options_.position); }

  const Options& options_;
  WidePath text_;
};

int Run(int argc, char** argv) {
  const Options options = ParseOptions(argc, argv);
  const PageTurns turns(options);
  std::ofstream out(options.result, std::ios::binary | std::ios::trunc);
  out.precision(9);
  const double start = ProcessSeconds(Clock::Wall);
  for (int round = 0; round < options.rounds || ProcessSeconds(Clock::Wall) - start < options.seconds; ++round) {
    double kept = 0, unloaded = 0;
    const bool keptFirst = round % 2 == 0;
    int code = keptFirst ? turns.Kept(kept) : turns.Unloaded(unloaded);
    if (code == 0) code = keptFirst ? turns.Unloaded(unloaded) : turns.Kept(kept);
    if (code != 0) {
      out << "error " << code << "\n";
      break;
    }
    out << kept << " " << unloaded << "\n";
  }
  if (!out) throw std::runtime_error("can't write " + options.result.string());
  return 0;
}

}  // namespace
}  // namespace folio::bench

int main(int argc, char** argv) {
  return folio::bench::RunReportingErrors("folio_page_turns", [&] { return folio::bench::Run(argc, argv); });
}
