// Writes the benchmark's texts: English and Japanese prose of the requested
// line counts, each with LF and CR LF line ends, in UTF-8, Shift_JIS (CP932)
// and UTF-16LE with a byte-order mark, and Japanese prose with e-text markup
// in Shift_JIS with CR LF, as such texts come.  Names say what a file holds:
// en-5000-crlf-sjis.txt, ja-aozora-5000-crlf-sjis.txt.  The same seed always
// gives the same bytes.
//
//   folio_bench_texts FOLDER [--lines 5000,50000] [--large] [--novels]
//
// --large adds en-100mb-lf-utf8.txt, English prose of at least 100 MB.
// --novels adds two long novels' worth: en-novel-2mb-lf-utf8.txt, English
// prose of at least 2 MB, and ja-novel-1mb-crlf-sjis.txt, Japanese prose with
// e-text markup of at least 1 MB in Shift_JIS, as such e-texts come.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/aozora_prose.h"
#include "bench/program.h"
#include "bench/prose.h"
#include "platform/iconv_converter.h"

namespace folio::bench {
namespace {

constexpr std::size_t kLargeTextBytes = 100'000'000;
constexpr std::size_t kEnglishNovelBytes = 2'000'000;
constexpr std::size_t kJapaneseNovelBytes = 1'000'000;

std::string Converted(const std::string& utf8, const char* codeset) {
  const platform::IconvConverter converter(codeset, "UTF-8");
  if (!converter.valid()) throw std::runtime_error(std::string("iconv has no ") + codeset);
  std::string out(utf8.size() * 2 + 16, '\0');
  const char* in = utf8.data();
  std::size_t inLeft = utf8.size();
  char* next = out.data();
  std::size_t outLeft = out.size();
  if (converter.Convert(in, inLeft, next, outLeft) != platform::IconvConverter::Status::Done || inLeft != 0) {
    throw std::runtime_error(std::string("the prose has a character that ") + codeset + " lacks, at byte " +
                             std::to_string(utf8.size() - inLeft));
  }
  out.resize(out.size() - outLeft);
  return out;
}

struct Encoding {
  const char* name;
  std::string (*encode)(const std::string& utf8);
};

const Encoding kEncodings[] = {
    {"utf8", [](const std::string& utf8) { return utf8; }},
    {"sjis", [](const std::string& utf8) { return Converted(utf8, "CP932"); }},
    {"utf16le", [](const std::string& utf8) { return std::string("\xFF\xFE", 2) + Converted(utf8, "UTF-16LE"); }},
};

void WriteText(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("can't write " + path.string());
  std::cout << path.filename().string() << ' ' << bytes.size() << " bytes\n";
}

std::string Joined(const std::vector<std::string>& lines, std::size_t count, std::string_view lineEnd) {
  std::string text;
  for (std::size_t i = 0; i < count; ++i) text.append(lines[i]).append(lineEnd);
  return text;
}

void WriteTexts(const std::filesystem::path& folder, const std::vector<std::size_t>& lineCounts) {
  const std::size_t longest = *std::max_element(lineCounts.begin(), lineCounts.end());
  for (const auto& [language, prefix] :
       {std::pair{Language::English, "en"}, std::pair{Language::Japanese, "ja"}}) {
    ProseWriter writer(language, kProseSeed);
    std::vector<std::string> lines(longest);
    for (std::string& line : lines) line = writer.NextLine();
    for (const std::size_t count : lineCounts) {
      for (const auto& [endName, lineEnd] : {std::pair{"lf", "\n"}, std::pair{"crlf", "\r\n"}}) {
        const std::string utf8 = Joined(lines, count, lineEnd);
        for (const Encoding& encoding : kEncodings) {
          const std::string name =
              std::string(prefix) + "-" + std::to_string(count) + "-" + endName + "-" + encoding.name + ".txt";
          WriteText(folder / name, encoding.encode(utf8));
        }
      }
    }
  }
}

void WriteAozoraTexts(const std::filesystem::path& folder, const std::vector<std::size_t>& lineCounts) {
  for (const std::size_t count : lineCounts) {
    AozoraProseWriter writer(kProseSeed);
    std::string utf8;
    for (std::size_t i = 0; i < count; ++i) utf8.append(writer.NextLine()).append("\r\n");
    WriteText(folder / ("ja-aozora-" + std::to_string(count) + "-crlf-sjis.txt"), Converted(utf8, "CP932"));
  }
}

// English prose, LF, UTF-8, of at least `bytes`.
void WriteEnglishText(const std::filesystem::path& path, std::size_t bytes) {
  ProseWriter writer(Language::English, kProseSeed);
  std::string text;
  text.reserve(bytes + 4096);
  while (text.size() < bytes) text.append(writer.NextLine()).append("\n");
  WriteText(path, text);
}

void WriteNovels(const std::filesystem::path& folder) {
  WriteEnglishText(folder / "en-novel-2mb-lf-utf8.txt", kEnglishNovelBytes);
  AozoraProseWriter writer(kProseSeed);
  std::string text;
  while (text.size() < kJapaneseNovelBytes) text.append(Converted(writer.NextLine() + "\r\n", "CP932"));
  WriteText(folder / "ja-novel-1mb-crlf-sjis.txt", text);
}

std::vector<std::size_t> ParseCounts(const std::string& list) {
  std::vector<std::size_t> counts;
  std::size_t start = 0;
  while (start <= list.size()) {
    const std::size_t comma = std::min(list.find(',', start), list.size());
    const unsigned long count = std::stoul(list.substr(start, comma - start));
    if (count == 0) throw std::runtime_error("a line count must be positive");
    counts.push_back(count);
    start = comma + 1;
  }
  return counts;
}

int Run(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: folio_bench_texts FOLDER [--lines 5000,50000] [--large] [--novels]\n";
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  std::vector<std::size_t> lineCounts{5000, 50000};
  bool large = false;
  bool novels = false;
  for (int i = 2; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--lines" && i + 1 < argc) {
      lineCounts = ParseCounts(argv[++i]);
    } else if (argument == "--large") {
      large = true;
    } else if (argument == "--novels") {
      novels = true;
    } else {
      std::cerr << "folio_bench_texts: unknown argument " << argument << "\n";
      return 2;
    }
  }
  std::filesystem::create_directories(folder);
  WriteTexts(folder, lineCounts);
  WriteAozoraTexts(folder, lineCounts);
  if (large) WriteEnglishText(folder / "en-100mb-lf-utf8.txt", kLargeTextBytes);
  if (novels) WriteNovels(folder);
  return 0;
}

}  // namespace
}  // namespace folio::bench

int main(int argc, char** argv) {
  return folio::bench::RunReportingErrors("folio_bench_texts", [&] { return folio::bench::Run(argc, argv); });
}
