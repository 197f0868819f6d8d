// The benchmark's Markdown table: one row a text.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "bench/peer.h"
#include "bench/process_stats.h"

namespace folio::bench {

// A time, or why there is none ("skipped (> 10 min)", "error -1").
struct Measured {
  std::optional<double> seconds;
  std::string note;

  static Measured Of(double seconds) { return {seconds, {}}; }
  static Measured Noted(std::string note) { return {std::nullopt, std::move(note)}; }
};

// One page turned in a process apart, round after round, by a viewer that
// keeps the plug-in loaded and by one that unloads it after every call.
struct PageTurnRounds {
  std::int64_t position = 0;
  std::vector<double> kept, unloaded;  // seconds, one of each a round
  std::string note;                    // why there are none
};

struct TextReport {
  std::string name;
  std::int64_t lines = 0;             // as the reader delivers them
  std::optional<std::int64_t> pages;  // of the unlimited listing
  std::int64_t estimatedPages = 0;    // from the reference's line heights
  Measured reference;
  Measured listAll;      // MaxPage=0
  Measured listDefault;  // the default page limit
  Measured firstPage, middlePage, lastPage, allPages;
  // A fresh process's first call, with the page index kept: listing, the first page, the last page.
  Measured freshList, freshFirstPage, freshLastPage;
  Measured bareDraw;  // the first page's text drawn by the text engine alone
  std::optional<PeerRun> peer;
  std::string peerNote;
  std::uint64_t peakBytes = 0;
  // With a notation: the unlimited listing of the same text without it.
  std::string notation;
  Measured listAllWithoutNotation;
  std::optional<std::int64_t> pagesWithoutNotation;
  // The unlimited listing in wall-clock time with 0 (the measuring pass
  // alone), 1 and 2 measuring workers, and with the plug-in's own choice.
  Measured listAlone, listOneWorker, listTwoWorkers, listDefaultWorkers;
  unsigned defaultWorkers = 0;
  PageTurnRounds pageTurns;  // the middle page
  // The same text on vertical pages: the unlimited listing, and its first and last page.
  Measured verticalListAll, verticalFirstPage, verticalLastPage;
  std::optional<std::int64_t> verticalPages;
};

// Three significant digits, without an exponent.
std::string Figure(double value);
// A table's row of `cells`, and its header: the titles and the separator line, each ending in a line feed.
std::string Row(const std::vector<std::string>& cells);
std::string Header(const std::vector<std::string>& titles);
// Prints `row` and appends it to the table file `path` (none: only printed),
// with `header` first in a new table.
void AddRow(const std::filesystem::path& path, const std::string& header, const std::string& row);

// The header and separator lines, each ending in a line feed; times are on `clock`.
std::string TableHeader(Clock clock);
// One row, ending in a line feed.
std::string TableRow(const TextReport& report);

// The same for the table of listings with a notation against those without.
std::string NotationTableHeader(Clock clock);
std::string NotationTableRow(const TextReport& report);

// The same for the table of vertical pages against horizontal ones.
std::string VerticalTableHeader(Clock clock);
std::string VerticalTableRow(const TextReport& report);

// The same for the table of listings with measuring workers.
std::string WorkersTableHeader(unsigned defaultWorkers);
std::string WorkersTableRow(const TextReport& report);

// The same for the table of page turns with the plug-in kept loaded and unloaded after every call.
std::string PageTurnTableHeader(Clock clock);
std::string PageTurnTableRow(const TextReport& report);

}  // namespace folio::bench
