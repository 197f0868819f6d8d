// Eight threads calling every export at once over more files than the cache
// holds, and two viewers in processes of their own listing and drawing the
// same files, all through the page index, while another thread rewrites one
// of the files: every page handed out is a whole BMP file of the listed
// size, every code is one the interface knows, the files that stay as they
// are list and draw exactly as measuring them does, and nothing faults.
// FOLIO_STRESS_SECONDS sets the duration.
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <random>
#include <set>
#include <thread>

#include "archive_fixture.h"
#include "support/child_process.h"
#include "support/expected_pages.h"

namespace folio::testing {
namespace {

constexpr int kThreads = 8;
constexpr int kFiles = 20;                            // more than the cache's sixteen slots
constexpr std::uint32_t kPageBytes = 54 + 600 * 150;  // 200 x 150 pixels, 24-bit rows

double StressSeconds() {
  const char* seconds = std::getenv("FOLIO_STRESS_SECONDS");
  return seconds ? std::atof(seconds) : 3;
}

bool IsInterfaceCode(int code) {
  static const std::set<int> kCodes{SUSIE_SUCCESS,         SUSIE_NOT_SUPPORTED, SUSIE_UNKNOWN_FORMAT,
                                    SUSIE_OUT_OF_MEMORY,   SUSIE_MEMORY_ERROR,  SUSIE_FILE_READ_ERROR,
                                    SUSIE_FILE_WRITE_ERROR};
  return kCodes.contains(code);
}

// A page block: a BMP file whose header, block size and listed size agree.
bool IsWholePage(SusieHandle block) {
  std::uint32_t declared;
  std::memcpy(&declared, static_cast<const char*>(block) + 2, sizeof declared);
#if defined(_WIN32)
  if (LocalSize(block) != declared) return false;
#endif
  return declared == kPageBytes &&
         ReadBitmapShape(std::string(static_cast<const char*>(block), declared)).has_value();
}

struct Tally {
  std::atomic<long> calls{0};
  std::atomic<long> faults{0};
  void Count(bool sound) {
    ++calls;
    if (!sound) ++faults;
  }
};

// The pages a file must list and draw as measuring gives them; none for the
// file that is rewritten meanwhile.
struct StressText {
  WideText path;
  std::optional<SeenText> measured;
};

// Every text lists whole (no page limit), so that every listing is kept.
constexpr std::string_view kStressSettings = "BmpWidth=200\r\nBmpHeight=150\r\nMaxPage=0\r\n";

class ConcurrencyStressTest : public ArchiveTest {
 protected:
  void SetUp() override { UseSettings(kStressSettings); }

  // The texts, the first of them to be rewritten, as measuring gives them.
  std::vector<StressText> WriteTexts() {
    UseSettings(std::string(kStressSettings) + "PageIndex=0\r\n");
    std::vector<StressText> texts;
    for (int i = 0; i < kFiles; ++i) {
      // The last is long enough for measuring workers to start.
      const int lines = i == kFiles - 1 ? 1200 : 5 + 2 * i;
      const auto path = WriteText("text" + std::to_string(i) + ".txt", NumberedLines(lines));
      texts.push_back({WidePathText(path), i == 0 ? std::nullopt : SeeText(Plugin(), path, {0, 1, 2, 3, 4})});
    }
    UseSettings(kStressSettings);
    return texts;
  }

  static bool ListedAsMeasured(SusieHandle block, const StressText& text) {
    std::size_t position = 0;
    for (auto* entry = static_cast<const ArchiveEntryW*>(block); entry->method[0]; ++entry, ++position) {
      if (entry->fileSize != kPageBytes) return false;
      if (text.measured && (position >= text.measured->names.size() ||
                            FieldText(entry->fileName) != text.measured->names[position])) {
        return false;
      }
    }
    return !text.measured || position == text.measured->names.size();
  }

  static bool DrawnAsMeasured(int code, SusieHandle block, std::size_t position, const StressText& text) {
    if (!text.measured) return code == SUSIE_SUCCESS ? IsWholePage(block) : block == nullptr;
    if (position >= text.measured->names.size()) return code != SUSIE_SUCCESS && block == nullptr;
    return code == SUSIE_SUCCESS && IsWholePage(block) &&
           Fingerprint(ReadBlock(block)) == text.measured->fingerprints[position];
  }

  // One call of a kind picked at random, its outcome checked.
  static void CallOnce(const StressText& text, std::mt19937& random, Tally& tally) {
    const WideText& path = text.path;
    switch (random() % 4) {
      case 0: {
        SusieHandle block = nullptr;
        const int code = Plugin().GetArchiveInfoW(path.c_str(), 0, 0, &block);
        bool sound = IsInterfaceCode(code) && (code == SUSIE_SUCCESS) == (block != nullptr);
        if (text.measured) sound = sound && code == SUSIE_SUCCESS;
        if (block) {
          sound = sound && ListedAsMeasured(block, text);
          Plugin().FreeBlock(block);
        }
        tally.Count(sound);
        break;
      }
      case 1: {
        SusieHandle block = nullptr;
        const std::size_t position = random() % 5;
        const int code =
            Plugin().GetFileW(path.c_str(), static_cast<intptr_t>(position),
                              reinterpret_cast<SusieWideChar*>(&block), SUSIE_OUTPUT_TO_MEMORY, nullptr, 0);
        tally.Count(IsInterfaceCode(code) && DrawnAsMeasured(code, block, position, text));
        if (block) Plugin().FreeBlock(block);
        break;
      }
      case 2: {
        // The first page's name, if the first page ends where this guesses.
        ArchiveEntryW entry{};
        const std::size_t slash = path.find_last_of(Wide(u"/\\"));
        WideText member = path.substr(slash + 1, path.size() - slash - 5) + Wide(u"000-011.bmp");
        const int code = Plugin().GetFileInfoW(path.c_str(), 0, member.c_str(), 0, &entry);
        tally.Count(IsInterfaceCode(code) && (code != SUSIE_SUCCESS || entry.fileSize == kPageBytes));
        break;
      }
      default: {
        SusieWideChar buffer[64];
        const int length = Plugin().GetPluginInfoW(static_cast<int>(random() % 5), buffer, 64);
        tally.Count(length >= 0 && length < 64);
      }
    }
  }
};

TEST_F(ConcurrencyStressTest, EightThreadsAndTwoProcessesCallEveryExportWhileAFileIsRewritten) {
  const std::vector<StressText> texts = WriteTexts();
  const auto rewritten = texts_ / "text0.txt";
  std::vector<SeenText> expected;
  for (std::size_t i = 0; i < texts.size(); ++i)
    expected.push_back(
        texts[i].measured.value_or(SeenText{texts_ / ("text" + std::to_string(i) + ".txt"), true, {}, {}}));
  WriteSeenTexts(texts_ / "expected.txt", expected);
  const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(StressSeconds());
  Tally tally;
  std::atomic<long> rewrites{0};
  std::atomic<int> viewerFailures{0};

  std::vector<std::thread> threads;
  for (int thread = 0; thread < kThreads; ++thread) {
    threads.emplace_back([&, thread] {
      std::mt19937 random(thread);
      while (std::chrono::steady_clock::now() < until) CallOnce(texts[random() % kFiles], random, tally);
    });
  }
  for (int viewer = 0; viewer < 2; ++viewer) {
    threads.emplace_back([&] {
      const ChildOutcome outcome = RunChild(ViewerHost(),
                                            {"check-pages", Plugin().libraryPath().string(),
                                             (texts_ / "expected.txt").string(), std::to_string(StressSeconds())},
                                            std::chrono::seconds(static_cast<int>(StressSeconds()) + 300));
      if (outcome.exitStatus != 0) ++viewerFailures;
    });
  }
  threads.emplace_back([&] {
    // The plug-in may hold the file open; a rewrite that can't open it waits.
    for (int round = 0; std::chrono::steady_clock::now() < until; ++round) {
      try {
        WriteFile(rewritten, Utf8(NumberedLines(round % 2 ? 5 : 45)));
        ++rewrites;
      } catch (...) {
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  });
  for (auto& thread : threads) thread.join();

  EXPECT_EQ(tally.faults.load(), 0) << "of " << tally.calls.load() << " calls";
  EXPECT_GT(tally.calls.load(), kThreads);
  EXPECT_EQ(viewerFailures, 0);
  std::printf("stress: %d threads and 2 processes, %ld calls, %ld rewrites, %ld faults\n", kThreads,
              tally.calls.load(), rewrites.load(), tally.faults.load());
}

}  // namespace
}  // namespace folio::testing
