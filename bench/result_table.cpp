#include "bench/result_table.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <stdexcept>

namespace folio::bench {

std::string Figure(double value) {
  const int decimals = value >= 100 ? 0 : value >= 10 ? 1 : value >= 1 ? 2 : 3;
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

std::string Row(const std::vector<std::string>& cells) {
  std::string row = "|";
  for (const std::string& cell : cells) row += " " + cell + " |";
  return row + "\n";
}

std::string Header(const std::vector<std::string>& titles) {
  return Row(titles) + Row(std::vector<std::string>(titles.size(), "---"));
}

void AddRow(const std::filesystem::path& path, const std::string& header, const std::string& row) {
  const bool newTable = !path.empty() && (!std::filesystem::exists(path) || std::filesystem::file_size(path) == 0);
  std::cout << (newTable ? header : "") << row << std::flush;
  if (path.empty()) return;
  std::ofstream table(path, std::ios::binary | std::ios::app);
  table << (newTable ? header : "") << row;
  if (!table) throw std::runtime_error("can't write " + path.string());
}

namespace {

std::string SecondsCell(const Measured& measured) {
  return measured.seconds ? Figure(*measured.seconds) : measured.note;
}

std::string MillisecondsCell(const Measured& measured) {
  return measured.seconds ? Figure(*measured.seconds * 1000) : measured.note;
}

std::string Ratio(std::optional<double> numerator, std::optional<double> denominator) {
  if (!numerator || !denominator || *denominator <= 0) return "–";
  return Figure(*numerator / *denominator);
}

// List plus extract all, per page.
std::optional<double> FolioSecondsPerPage(const TextReport& report) {
  if (!report.pages || *report.pages <= 0 || !report.listAll.seconds || !report.allPages.seconds) return {};
  return (*report.listAll.seconds + *report.allPages.seconds) / static_cast<double>(*report.pages);
}

std::optional<double> PeerSecondsPerPage(const TextReport& report) {
  if (!report.peer || report.peer->pages <= 0) return {};
  return report.peer->seconds / static_cast<double>(report.peer->pages);
}

// The listed count, or about how many there would be.
std::string PagesCell(const TextReport& report) {
  if (report.pages) return std::to_string(*report.pages);
  std::string cell = "~";
  cell += std::to_string(report.estimatedPages);
  return cell;
}

// The value that a `share` of `values` (0 to 1) lies below, the nearest of them.
double Quantile(std::vector<double> values, double share) {
  std::sort(values.begin(), values.end());
  return values[static_cast<std::size_t>(share * static_cast<double>(values.size() - 1) + 0.5)];
}

double Median(const std::vector<double>& values) {
  return Quantile(values, 0.5);
}

std::string SecondsUnit(Clock clock) {
  return clock == Clock::Cpu ? " (CPU s)" : " (s)";
}

std::string MillisecondsUnit(Clock clock) {
  return clock == Clock::Cpu ? " (CPU ms)" : " (ms)";
}

}  // namespace

std::string TableHeader(Clock clock) {
  const std::string s = SecondsUnit(clock);
  const std::string ms = MillisecondsUnit(clock);
  const std::vector<std::string> titles{"Text",
                                        "Lines",
                                        "Pages",
                                        "Reference" + s,
                                        "List, MaxPage=0" + s,
                                        "List ÷ reference",
                                        "List, default limit" + s,
                                        "First page" + ms,
                                        "Bare draw" + ms,
                                        "First ÷ bare draw",
                                        "Middle page" + ms,
                                        "Last page" + ms,
                                        "Last ÷ first",
                                        "All pages" + s,
                                        "Relist, fresh process" + ms,
                                        "First page, fresh process" + ms,
                                        "Last page, fresh process" + ms,
                                        "Fresh last ÷ first",
                                        "folio per page" + ms,
                                        "Peer per page" + ms,
                                        "Peer ÷ folio",
                                        "Peak memory (MiB)"};
  return Header(titles);
}

std::string TableRow(const TextReport& report) {
  const std::optional<double> folioPerPage = FolioSecondsPerPage(report);
  const std::optional<double> peerPerPage = PeerSecondsPerPage(report);
  return Row({
      report.name,
      std::to_string(report.lines),
      PagesCell(report),
      SecondsCell(report.reference),
      SecondsCell(report.listAll),
      Ratio(report.listAll.seconds, report.reference.seconds),
      SecondsCell(report.listDefault),
      MillisecondsCell(report.firstPage),
      MillisecondsCell(report.bareDraw),
      Ratio(report.firstPage.seconds, report.bareDraw.seconds),
      MillisecondsCell(report.middlePage),
      MillisecondsCell(report.lastPage),
      Ratio(report.lastPage.seconds, report.firstPage.seconds),
      SecondsCell(report.allPages),
      MillisecondsCell(report.freshList),
      MillisecondsCell(report.freshFirstPage),
      MillisecondsCell(report.freshLastPage),
      Ratio(report.freshLastPage.seconds, report.freshFirstPage.seconds),
      folioPerPage ? Figure(*folioPerPage * 1000) : "–",
      peerPerPage ? Figure(*peerPerPage * 1000) : report.peerNote,
      Ratio(peerPerPage, folioPerPage),
      Figure(static_cast<double>(report.peakBytes) / (1024.0 * 1024.0)),
  });
}

std::string NotationTableHeader(Clock clock) {
  const std::string s = SecondsUnit(clock);
  return Header({"Text", "Notation", "Lines", "Pages", "Pages without", "List, MaxPage=0" + s,
                 "List without notation" + s, "With ÷ without", "First page" + MillisecondsUnit(clock),
                 "Last page" + MillisecondsUnit(clock)});
}

std::string NotationTableRow(const TextReport& report) {
  return Row({
      report.name,
      report.notation,
      std::to_string(report.lines),
      PagesCell(report),
      report.pagesWithoutNotation ? std::to_string(*report.pagesWithoutNotation) : "–",
      SecondsCell(report.listAll),
      SecondsCell(report.listAllWithoutNotation),
      Ratio(report.listAll.seconds, report.listAllWithoutNotation.seconds),
      MillisecondsCell(report.firstPage),
      MillisecondsCell(report.lastPage),
  });
}

std::string VerticalTableHeader(Clock clock) {
  const std::string s = SecondsUnit(clock), ms = MillisecondsUnit(clock);
  return Header({"Text", "Notation", "Pages across", "Pages in columns", "List across" + s, "List in columns" + s,
                 "Columns ÷ across", "First page across" + ms, "First page in columns" + ms, "Columns ÷ across",
                 "Last page in columns" + ms, "Last ÷ first"});
}

std::string VerticalTableRow(const TextReport& report) {
  return Row({
      report.name,
      report.notation.empty() ? "none" : report.notation,
      PagesCell(report),
      report.verticalPages ? std::to_string(*report.verticalPages) : "–",
      SecondsCell(report.listAll),
      SecondsCell(report.verticalListAll),
      Ratio(report.verticalListAll.seconds, report.listAll.seconds),
      MillisecondsCell(report.firstPage),
      MillisecondsCell(report.verticalFirstPage),
      Ratio(report.verticalFirstPage.seconds, report.firstPage.seconds),
      MillisecondsCell(report.verticalLastPage),
      Ratio(report.verticalLastPage.seconds, report.verticalFirstPage.seconds),
  });
}

std::string WorkersTableHeader(unsigned defaultWorkers) {
  const std::string workers = std::to_string(defaultWorkers) + (defaultWorkers == 1 ? " worker" : " workers");
  return Header({"Text", "Lines", "Pages", "Pass alone (wall s)", "1 worker (wall s)", "2 workers (wall s)",
                 "Default, " + workers + " (wall s)", "1 ÷ alone", "2 ÷ alone", "Default ÷ alone"});
}

std::string WorkersTableRow(const TextReport& report) {
  return Row({
      report.name,
      std::to_string(report.lines),
      PagesCell(report),
      SecondsCell(report.listAlone),
      SecondsCell(report.listOneWorker),
      SecondsCell(report.listTwoWorkers),
      SecondsCell(report.listDefaultWorkers),
      Ratio(report.listOneWorker.seconds, report.listAlone.seconds),
      Ratio(report.listTwoWorkers.seconds, report.listAlone.seconds),
      Ratio(report.listDefaultWorkers.seconds, report.listAlone.seconds),
  });
}

std::string PageTurnTableHeader(Clock clock) {
  const std::string ms = MillisecondsUnit(clock);
  return Header({"Text", "Page", "Rounds", "Kept loaded" + ms, "Unloaded after every call" + ms, "Unloaded ÷ kept",
                 "Middle half of the rounds", "Lowest–highest round"});
}

std::string PageTurnTableRow(const TextReport& report) {
  const PageTurnRounds& turns = report.pageTurns;
  std::vector<double> ratios;
  for (std::size_t round = 0; round < turns.kept.size(); ++round) {
    if (turns.kept[round] > 0) ratios.push_back(turns.unloaded[round] / turns.kept[round]);
  }
  if (ratios.empty())
    return Row({report.name, "–", "0", turns.note.empty() ? "–" : turns.note, "–", "–", "–", "–"});
  const auto range = [&](double low, double high) {
    return Figure(Quantile(ratios, low)) + "–" + Figure(Quantile(ratios, high));
  };
  return Row({
      report.name,
      std::to_string(turns.position),
      std::to_string(turns.kept.size()),
      Figure(Median(turns.kept) * 1000),
      Figure(Median(turns.unloaded) * 1000),
      Figure(Median(ratios)),
      range(0.25, 0.75),
      range(0, 1),
  });
}

}  // namespace folio::bench
