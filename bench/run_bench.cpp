// Measures one text through the plug-in's exports, loaded as a viewer loads
// it, and prints one row of the benchmark table (the header too when it
// starts the table file):
//
//   folio_bench --plugin LIBRARY --font FAMILY [--table FILE]
//               [--peer-results FILE] [--timeout-minutes N] [--wall-clock]
//               [--notation NAME --notation-table FILE] [--workers-table FILE]
//               [--page-turn-table FILE] [--vertical-table FILE] TEXT
//
// In one run: the reference (folio's reader and text engine laying out every
// line once), listing with MaxPage=0 and with the default limit (each with
// an empty page index, which it fills), extracting the first, middle and
// last page and all pages (memory output, after the listing), the first
// page's text drawn by the text engine alone, the first call of a fresh
// process with the page index that the unlimited listing kept (listing, the
// first page, the last page), the peer's time per page, and the process's
// peak memory.  Times are CPU time unless --wall-clock is given.  A
// measurement that a cheaper one predicts to take longer than the timeout is
// skipped.  With --notation the plug-in reads the text with that notation,
// and the same run also lists it with none, for a row of the notation table.
// With --page-turn-table the middle page is turned, round after round, by a
// viewer that keeps the plug-in loaded and by one that loads it for the call
// and unloads it after, in a process apart (folio_page_turns, which loads
// none of the graphics libraries that this program links).
// With --vertical-table the same run also lists the text on vertical pages
// and draws their first and last page, for a row of that table.
//
// The fresh processes are this program again, started as
//
//   folio_bench --fresh-call list|POSITION --plugin LIBRARY --result FILE
//               [--wall-clock] TEXT
//
// which loads the library, makes that one call, and writes its time (or
// "error CODE") into FILE.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "bench/engine_reference.h"
#include "bench/peer.h"
#include "bench/process_stats.h"
#include "bench/program.h"
#include "bench/result_table.h"
#include "bench/viewer.h"
#include "render/page_measuring.h"
#include "support/child_process.h"

namespace folio::bench {
namespace {

// Shorter runs are repeated (three runs at most) and the fastest counts.
constexpr double kRepeatBelowSeconds = 1.0;
// The plug-in's count of measuring workers (a literal, so it ends in a null).
constexpr const char* kWorkersVariable = render::kMeasuringWorkersVariable.data();
constexpr int kMostRuns = 3;
// Lines of the text that the peer's trial run lays out.
constexpr std::size_t kPeerTrialLines = 1000;
// Page turns: each round a turn with the plug-in kept loaded and one with it
// unloaded after the call; so many rounds at least, and more for so long.
constexpr int kPageTurnRounds = 15;
constexpr double kPageTurnSeconds = 10;
// The page turns' font size: larger than the other measurements', so that
// drawing the page's glyphs (under Wine each a filled geometry) doesn't hide
// what the call costs besides.
constexpr int kPageTurnPixels = 12;

struct Options {
  std::string freshCall;  // set in a fresh process: "list" or a page position
  std::filesystem::path result;
  std::filesystem::path plugin;
  std::string font;
  std::filesystem::path text;
  std::filesystem::path table;
  std::filesystem::path peerResults;
  double timeoutMinutes = 10;
  Clock clock = Clock::Cpu;
  std::string notation;  // the INI's Notation value; empty: no key
  std::filesystem::path notationTable;
  std::filesystem::path workersTable;
  std::filesystem::path pageTurnTable;
  std::filesystem::path verticalTable;
};

// The first `count` lines of a text, or all of it.
std::string_view LeadingLines(std::string_view text, std::size_t count) {
  std::size_t end = 0;
  for (std::size_t line = 0; line < count; ++line) {
    const std::size_t lineFeed = text.find('\n', end);
    if (lineFeed == std::string_view::npos) return text;
    end = lineFeed + 1;
  }
  return text.substr(0, end);
}

// One run of `action`, which returns a result code: its time, or the code.
template <typename Action>
Measured Timed(Clock clock, Action action) {
  const double start = ProcessSeconds(clock);
  const int code = action();
  const double seconds = ProcessSeconds(clock) - start;
  return code == 0 ? Measured::Of(seconds) : Measured::Noted("error " + std::to_string(code));
}

// The fastest of up to three runs while they stay short; a failure ends it.
template <typename Run>
Measured FastestRun(Run run) {
  Measured fastest = run();
  for (int i = 1; i < kMostRuns && fastest.seconds && *fastest.seconds < kRepeatBelowSeconds; ++i) {
    const Measured next = run();
    if (!next.seconds) return next;
    fastest.seconds = std::min(*fastest.seconds, *next.seconds);
  }
  return fastest;
}

template <typename Action>
Measured Fastest(Clock clock, Action action) {
  return FastestRun([&] { return Timed(clock, action); });
}

// The page index of the runner and of the fresh processes it starts.
std::filesystem::path PageIndexFolder(const Viewer& viewer) {
  return viewer.folder() / "page-index";
}

class Bench {
 public:
  explicit Bench(const Options& options)
      : options_(options), viewer_(options.plugin), text_(Viewer::PathOf(options.text)) {
    report_.name = options.text.stem().string();
    testing::PutEnvironmentVariable("FOLIO_PAGE_INDEX_FOLDER", PageIndexFolder(viewer_).string().c_str());
    // CPU times compare with the single-threaded reference: the measuring
    // pass runs alone but in MeasureWorkers.
    testing::PutEnvironmentVariable(kWorkersVariable, "0");
    report_.notation = options.notation;
    viewer_.SetNotation(options.notation);
    viewer_.Configure(options.font, true);
    settings_ = viewer_.Settings();
  }

  TextReport Run() {
    WarmUp();
    MeasureReference();
    MeasureListing();
    MeasureExtraction();
    MeasureFreshProcesses();
    if (!options_.verticalTable.empty()) MeasureVertical();
    if (!options_.workersTable.empty()) MeasureWorkers();
    if (!options_.pageTurnTable.empty()) MeasurePageTurns();
    MeasurePeer();
    report_.peakBytes = PeakMemoryBytes();
    return report_;
  }

 private:
  template <typename Action>
  Measured Fastest(Action action) const {
    return bench::Fastest(options_.clock, action);
  }

  std::string SkipNote() const {
    char minutes[32];
    std::snprintf(minutes, sizeof minutes, "%g", options_.timeoutMinutes);
    return std::string("skipped (> ") + minutes + " min)";
  }
  bool TooSlow(double predictedSeconds) const { return predictedSeconds > options_.timeoutMinutes * 60; }

  void Progress(const std::string& what, const Measured& measured) const {
    std::cerr << report_.name << ": " << what << " "
              << (measured.seconds ? std::to_string(*measured.seconds) + " s" : measured.note) << std::endl;
  }

  // Fonts, engine and code pages load on first use; no measurement pays for that.
  void WarmUp() {
    const std::filesystem::path text = viewer_.folder() / "warm-up.txt";
    std::ofstream(text, std::ios::binary) << "Warm up \xE6\xBA\x96\xE5\x82\x99\n\xE3\x80\x80Line two.\n";
    Viewer::Listing listing;
    viewer_.List(Viewer::PathOf(text), listing);
    viewer_.Extract(Viewer::PathOf(text), 0);
    LayOutEveryLineOnce(text, settings_);
  }

  void MeasureReference() {
    ReferenceRun reference;
    report_.reference = Fastest([&] {
      reference = LayOutEveryLineOnce(options_.text, settings_);
      return 0;
    });
    if (!reference.measuredAll) report_.reference = Measured::Noted("no layout");
    report_.lines = reference.lines;
    Progress("reference", report_.reference);
  }

  // Listing the text without notation, first, so that the listings after it
  // leave the cache and the page starts as the extractions expect them.
  void MeasureListingWithoutNotation() {
    viewer_.SetNotation("");
    viewer_.Configure(options_.font, true);
    Viewer::Listing plain;
    report_.listAllWithoutNotation = Fastest([&] { return ListAfresh(plain); });
    if (report_.listAllWithoutNotation.seconds) report_.pagesWithoutNotation = plain.pages;
    Progress("listing without notation, MaxPage=0", report_.listAllWithoutNotation);
    viewer_.SetNotation(options_.notation);
  }

  void MeasureListing() {
    if (!options_.notation.empty()) MeasureListingWithoutNotation();
    viewer_.Configure(options_.font, false);
    Viewer::Listing limited;
    report_.listDefault = Fastest([&] { return ListAfresh(limited); });
    Progress("listing, default limit", report_.listDefault);
    firstPageLines_ = limited.firstPageLines;  // the first page is the same whatever the limit
    if (!report_.listDefault.seconds) {
      report_.listAll = Measured::Noted("–");
      return;
    }
    // Listing costs grow with the pages listed: the limited listing's pages
    // and lines tell how many pages the whole text has and what listing them
    // costs.  A listing that stopped short of the limit covered the whole text.
    const bool wholeText = limited.pages < viewer_.Settings().pageLimit || limited.linesCovered <= 0;
    const double share = wholeText ? 1 : static_cast<double>(limited.linesCovered) / report_.lines;
    report_.estimatedPages = static_cast<std::int64_t>(static_cast<double>(limited.pages) / share + 0.5);
    if (TooSlow(*report_.listDefault.seconds / share)) {
      report_.listAll = Measured::Noted(SkipNote());
    } else {
      viewer_.Configure(options_.font, true);
      Viewer::Listing all;
      report_.listAll = Fastest([&] { return ListAfresh(all); });
      if (report_.listAll.seconds) report_.pages = all.pages;
    }
    Progress("listing, MaxPage=0", report_.listAll);
  }

  // The unlimited listing in wall-clock time, as a viewer's user waits for
  // it, with each number of measuring workers; the last with the plug-in's
  // own choice.
  void MeasureWorkers() {
    viewer_.Configure(options_.font, true);
    Viewer::Listing all;
    const auto listWith = [&](const char* workers) {
      testing::PutEnvironmentVariable(kWorkersVariable, workers);
      const Measured measured = bench::Fastest(Clock::Wall, [&] { return ListAfresh(all); });
      Progress(std::string("listing, MaxPage=0, workers: ") + (workers ? workers : "the default"), measured);
      return measured;
    };
    report_.listAlone = listWith("0");
    report_.listOneWorker = listWith("1");
    report_.listTwoWorkers = listWith("2");
    report_.listDefaultWorkers = listWith(nullptr);  // unset: the plug-in decides
    report_.defaultWorkers = render::DefaultMeasuringWorkers();
    testing::PutEnvironmentVariable(kWorkersVariable, "0");
  }

  // The unlimited listing on vertical pages, and their first and last page,
  // as the horizontal ones are measured.
  void MeasureVertical() {
    viewer_.SetVertical(true);
    viewer_.Configure(options_.font, true);
    Viewer::Listing all;
    report_.verticalListAll = Fastest([&] { return ListAfresh(all); });
    Progress("vertical listing, MaxPage=0", report_.verticalListAll);
    if (report_.verticalListAll.seconds && all.pages > 0) {
      report_.verticalPages = all.pages;
      report_.verticalFirstPage = Fastest([&] { return viewer_.Extract(text_, 0); });
      report_.verticalLastPage = Fastest([&] { return viewer_.Extract(text_, all.pages - 1); });
      Progress("vertical last page", report_.verticalLastPage);
    } else {
      report_.verticalFirstPage = report_.verticalLastPage = Measured::Noted("–");
    }
    viewer_.SetVertical(false);
  }

  // A listing that finds no page index, as the text's first listing does.
  int ListAfresh(Viewer::Listing& listing) const {
    std::filesystem::remove_all(PageIndexFolder(viewer_));
    return viewer_.List(text_, listing);
  }

  // Pages come from the listing just made, as a viewer asks for them.
  void MeasureExtraction() {
    auto extract = [&](std::int64_t position) {
      return Fastest([&] { return viewer_.Extract(text_, position); });
    };
    report_.firstPage = extract(0);
    Progress("first page", report_.firstPage);
    const BareDrawing bare(options_.text, settings_, firstPageLines_);
    report_.bareDraw = Fastest([&] { return bare.Draw() ? 0 : 5; });
    Progress("bare draw", report_.bareDraw);
    if (!report_.pages) {
      const Measured missing = Measured::Noted(report_.listAll.seconds ? "–" : report_.listAll.note);
      report_.middlePage = report_.lastPage = report_.allPages = missing;
      return;
    }
    const std::int64_t pages = *report_.pages;
    report_.middlePage = extract(pages / 2);
    report_.lastPage = extract(pages - 1);
    Progress("last page", report_.lastPage);
    if (!report_.firstPage.seconds || !report_.middlePage.seconds || !report_.lastPage.seconds) {
      report_.allPages = Measured::Noted("–");
      return;
    }
    const double predicted =
        (*report_.firstPage.seconds + *report_.middlePage.seconds + *report_.lastPage.seconds) / 3 * pages;
    if (TooSlow(predicted)) {
      report_.allPages = Measured::Noted(SkipNote());
    } else {
      report_.allPages = Timed(options_.clock, [&] {
        int code = 0;
        for (std::int64_t position = 0; position < pages && code == 0; ++position) {
          code = viewer_.Extract(text_, position);
        }
        return code;
      });
    }
    Progress("all pages", report_.allPages);
  }

  // What a viewer opening the text again after a restart waits for: the
  // first call of a fresh process, with the page index that the unlimited
  // listing kept (the settings are still those of that listing).
  void MeasureFreshProcesses() {
    if (!report_.pages || *report_.pages <= 0) {
      const Measured missing = Measured::Noted("–");
      report_.freshList = report_.freshFirstPage = report_.freshLastPage = missing;
      return;
    }
    report_.freshList = FastestRun([&] { return FreshCall("list"); });
    report_.freshFirstPage = FastestRun([&] { return FreshCall("0"); });
    report_.freshLastPage = FastestRun([&] { return FreshCall(std::to_string(*report_.pages - 1)); });
    Progress("fresh process, last page", report_.freshLastPage);
  }

  Measured FreshCall(const std::string& call) const {
    const std::filesystem::path result = viewer_.folder() / "fresh-call.txt";
    std::filesystem::remove(result);
    std::vector<std::string> arguments{"--fresh-call", call,           "--plugin", viewer_.libraryPath().string(),
                                       "--result",     result.string()};
    if (options_.clock == Clock::Wall) arguments.push_back("--wall-clock");
    arguments.push_back(options_.text.string());
    const testing::ChildOutcome outcome = testing::RunChild(
        testing::ThisProgram(), arguments, std::chrono::seconds(static_cast<int>(options_.timeoutMinutes * 60)));
    if (outcome.exitStatus != 0) return Measured::Noted("the process failed");
    std::ifstream in(result);
    std::string word;
    in >> word;
    if (word == "error") {
      in >> word;
      return Measured::Noted("error " + word);
    }
    return Measured::Of(std::stod(word));
  }

  void MeasurePageTurns() {
    viewer_.Configure(options_.font, true, kPageTurnPixels);
    TurnMiddlePage(report_.pageTurns);
    viewer_.Configure(options_.font, true);
  }

  // The middle page, with the page index that an unlimited listing keeps.
  void TurnMiddlePage(PageTurnRounds& turns) const {
    Viewer::Listing listing;
    const int listed = ListAfresh(listing);
    if (listed != 0 || listing.pages <= 0) {
      turns.note = listed != 0 ? "error " + std::to_string(listed) : "no pages";
      return;
    }
    turns.position = listing.pages / 2;
    const std::filesystem::path result = viewer_.folder() / "page-turns.txt";
    std::filesystem::remove(result);
    const std::filesystem::path program =
        testing::ThisProgram().parent_path() / ("folio_page_turns" + testing::ThisProgram().extension().string());
    std::vector<std::string> arguments{viewer_.libraryPath().string(),   options_.text.string(),
                                       std::to_string(turns.position),   std::to_string(kPageTurnRounds),
                                       std::to_string(kPageTurnSeconds), result.string()};
    if (options_.clock == Clock::Wall) arguments.push_back("--wall-clock");
    const testing::ChildOutcome outcome = testing::RunChild(
        program, arguments, std::chrono::seconds(static_cast<int>(options_.timeoutMinutes * 60)));
    std::ifstream in(result);
    std::string first, second;
    while (in >> first >> second) {
      if (first == "error") {
        turns.note = "error " + second;
        break;
      }
      turns.kept.push_back(std::stod(first));
      turns.unloaded.push_back(std::stod(second));
    }
    if (outcome.exitStatus != 0 && turns.note.empty()) turns.note = "the process failed";
    if (!turns.note.empty()) turns.kept.clear();
    std::cerr << report_.name << ": page turns, " << turns.kept.size() << " rounds " << turns.note << std::endl;
  }

  void MeasurePeer() {
    if (options_.peerResults.empty()) {
      report_.peerNote = "–";
      return;
    }
    const std::string text = TextAsRead(options_.text);
    const std::string key = PeerKey(text, settings_, options_.clock);
    const PeerResults results(options_.peerResults);
    report_.peer = results.Find(key);
    if (report_.peer) return;
    if (!PeerInstalled()) {
      report_.peerNote = "not installed";
      return;
    }
    // A trial on the first lines predicts the whole run.
    const std::string_view trialText = LeadingLines(text, kPeerTrialLines);
    if (trialText.size() < text.size()) {
      const std::optional<PeerRun> trial = RunPeerOn(trialText);
      if (!trial) {
        report_.peerNote = "failed";
        return;
      }
      const double share = static_cast<double>(trialText.size()) / static_cast<double>(text.size());
      if (TooSlow(trial->seconds / share)) {
        report_.peerNote = SkipNote();
        return;
      }
    }
    report_.peer = RunPeerOn(text);
    if (!report_.peer) {
      report_.peerNote = "failed";
      return;
    }
    results.Record(key, *report_.peer);
    std::cerr << report_.name << ": peer " << report_.peer->seconds << " s, " << report_.peer->pages << " pages"
              << std::endl;
  }

  std::optional<PeerRun> RunPeerOn(std::string_view text) const {
    const std::filesystem::path textFile = viewer_.folder() / "peer.txt";
    std::ofstream(textFile, std::ios::binary | std::ios::trunc) << text;
    return RunPeer(textFile, settings_, viewer_.folder() / "peer-pages", options_.clock);
  }

  const Options& options_;
  Viewer viewer_;
  const Viewer::Path text_;
  settings::RenderSettings settings_;
  std::int64_t firstPageLines_ = 0;
  TextReport report_;
};

Options ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) throw std::runtime_error(argument + " needs a value");
      return argv[++i];
    };
    if (argument == "--fresh-call") {
      options.freshCall = value();
    } else if (argument == "--result") {
      options.result = value();
    } else if (argument == "--plugin") {
      options.plugin = value();
    } else if (argument == "--font") {
      options.font = value();
    } else if (argument == "--table") {
      options.table = value();
    } else if (argument == "--peer-results") {
      options.peerResults = value();
    } else if (argument == "--timeout-minutes") {
      options.timeoutMinutes = std::stod(value());
    } else if (argument == "--wall-clock") {
      options.clock = Clock::Wall;
    } else if (argument == "--notation") {
      options.notation = value();
    } else if (argument == "--notation-table") {
      options.notationTable = value();
    } else if (argument == "--workers-table") {
      options.workersTable = value();
    } else if (argument == "--page-turn-table") {
      options.pageTurnTable = value();
    } else if (argument == "--vertical-table") {
      options.verticalTable = value();
    } else if (!argument.starts_with("--") && options.text.empty()) {
      options.text = argument;
    } else {
      throw std::runtime_error("unexpected argument " + argument);
    }
  }
  if (!options.freshCall.empty()) {
    if (options.plugin.empty() || options.result.empty() || options.text.empty())
      throw std::runtime_error(
          "usage: folio_bench --fresh-call list|POSITION --plugin LIBRARY --result FILE TEXT");
    return options;
  }
  if (options.plugin.empty() || options.font.empty() || options.text.empty()) {
    throw std::runtime_error(
        "usage: folio_bench --plugin LIBRARY --font FAMILY [--table FILE] [--peer-results FILE] "
        "[--timeout-minutes N] [--wall-clock] [--notation NAME --notation-table FILE] [--workers-table FILE] "
        "[--page-turn-table FILE] [--vertical-table FILE] TEXT");
  }
  return options;
}

// One call as a fresh process's first, timed; its time or "error CODE" goes
// into the result file.
int RunFreshCall(const Options& options) {
  const testing::PluginModule plugin(options.plugin);
  const Viewer::Path text = Viewer::PathOf(options.text);
  Viewer::Listing listing;
  const double start = ProcessSeconds(options.clock);
  const int code = options.freshCall == "list" ? Viewer::ListThrough(plugin, text, listing)
                                               : ExtractPage(plugin, text, std::stoll(options.freshCall));
  const double seconds = ProcessSeconds(options.clock) - start;
  std::ofstream out(options.result, std::ios::binary | std::ios::trunc);
  out.precision(9);
  if (code == 0) {
    out << seconds << "\n";
  } else {
    out << "error " << code << "\n";
  }
  if (!out) throw std::runtime_error("can't write " + options.result.string());
  return 0;
}

int Run(int argc, char** argv) {
  const Options options = ParseOptions(argc, argv);
  if (!options.freshCall.empty()) return RunFreshCall(options);
  const TextReport report = Bench(options).Run();
  AddRow(options.table, TableHeader(options.clock), TableRow(report));
  if (!options.workersTable.empty()) {
    AddRow(options.workersTable, WorkersTableHeader(report.defaultWorkers), WorkersTableRow(report));
  }
  if (!options.pageTurnTable.empty()) {
    AddRow(options.pageTurnTable, PageTurnTableHeader(options.clock), PageTurnTableRow(report));
  }
  if (!options.notation.empty()) {
    AddRow(options.notationTable, NotationTableHeader(options.clock), NotationTableRow(report));
  }
  if (!options.verticalTable.empty()) {
    AddRow(options.verticalTable, VerticalTableHeader(options.clock), VerticalTableRow(report));
  }
  return 0;
}

}  // namespace
}  // namespace folio::bench

int main(int argc, char** argv) {
  return folio::bench::RunReportingErrors("folio_bench", [&] { return folio::bench::Run(argc, argv); });
}
