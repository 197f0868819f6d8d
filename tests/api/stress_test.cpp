// Eight threads calling every export at once over more files than the cache
// holds, while another thread rewrites one of the files: every page handed
// out is a whole BMP file of the listed size, every code is one the interface
// knows, and nothing faults.  FOLIO_STRESS_SECONDS sets the duration.
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <random>
#include <set>
#include <thread>

#include "archive_fixture.h"

namespace folio::testing {
namespace {

constexpr int kThreads = 8;
constexpr int kFiles = 20;                            // more than the cache's sixteen slots
constexpr std::uint32_t kPageBytes = 54 + 600 * 150;  // 200 x 150 pixels, 24-bit rows

std::chrono::milliseconds StressDuration() {
  const char* seconds = std::getenv("FOLIO_STRESS_SECONDS");
  return std::chrono::milliseconds(seconds ? static_cast<int>(std::atof(seconds) * 1000) : 3000);
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

class ConcurrencyStressTest : public ArchiveTest {
 protected:
  void SetUp() override { UseSettings("BmpWidth=200\r\nBmpHeight=150\r\n"); }

  std::vector<WideText> WriteTexts() {
    std::vector<WideText> paths;
    for (int i = 0; i < kFiles; ++i) {
      paths.push_back(WidePathText(WriteText("text" + std::to_string(i) + ".txt", NumberedLines(5 + 2 * i))));
    }
    return paths;
  }

  // One call of a kind picked at random, its outcome checked.
  static void CallOnce(const WideText& path, std::mt19937& random, Tally& tally) {
    switch (random() % 4) {
      case 0: {
        SusieHandle block = nullptr;
        const int code = Plugin().GetArchiveInfoW(path.c_str(), 0, 0, &block);
        bool sound = IsInterfaceCode(code) && (code == SUSIE_SUCCESS) == (block != nullptr);
        if (block) {
          for (auto* entry = static_cast<const ArchiveEntryW*>(block); entry->method[0]; ++entry) {
            sound = sound && entry->fileSize == kPageBytes;
          }
          Plugin().FreeBlock(block);
        }
        tally.Count(sound);
        break;
      }
      case 1: {
        SusieHandle block = nullptr;
        const int code = Plugin().GetFileW(path.c_str(), random() % 5, reinterpret_cast<SusieWideChar*>(&block),
                                           SUSIE_OUTPUT_TO_MEMORY, nullptr, 0);
        tally.Count(IsInterfaceCode(code) && (code == SUSIE_SUCCESS ? IsWholePage(block) : block == nullptr));
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

TEST_F(ConcurrencyStressTest, EightThreadsCallEveryExportWhileAFileIsRewritten) {
  const std::vector<WideText> paths = WriteTexts();
  const auto rewritten = texts_ / "text0.txt";
  const auto until = std::chrono::steady_clock::now() + StressDuration();
  Tally tally;
  std::atomic<long> rewrites{0};

  std::vector<std::thread> threads;
  for (int thread = 0; thread < kThreads; ++thread) {
    threads.emplace_back([&, thread] {
      std::mt19937 random(thread);
      while (std::chrono::steady_clock::now() < until) CallOnce(paths[random() % kFiles], random, tally);
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
  std::printf("stress: %d threads, %ld calls, %ld rewrites, %ld faults\n", kThreads, tally.calls.load(),
              rewrites.load(), tally.faults.load());
}

}  // namespace
}  // namespace folio::testing
