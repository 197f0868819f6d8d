// Several threads listing and extracting several files at once: every call
// must succeed and hand out exactly the entries and pages a lone call gives.
#include <atomic>
#include <thread>

#include "archive_fixture.h"

namespace folio::testing {
namespace {

struct Reference {
  std::filesystem::path text;
  std::vector<ArchiveEntryW> entries;
  std::vector<std::string> pages;
};

class StressTest : public ArchiveTest {
 protected:
  Reference Prepare(const std::filesystem::path& name, int lines) {
    Reference reference{WriteText(name, NumberedLines(lines)), {}, {}};
    const Listing listing = ListW(reference.text);
    EXPECT_EQ(listing.code, SUSIE_SUCCESS);
    reference.entries = listing.entries;
    for (std::size_t i = 0; i < listing.entries.size(); ++i) {
      reference.pages.push_back(ExtractW(reference.text, static_cast<intptr_t>(i)).bytes);
    }
    return reference;
  }
};

bool SameEntries(const std::vector<ArchiveEntryW>& a, const std::vector<ArchiveEntryW>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(ArchiveEntryW)) == 0;
}

TEST_F(StressTest, ThreadsListAndExtractSeveralFilesAtOnce) {
  // Small pages and short texts, so that every round is quick.
  UseSettings("BmpWidth=240\r\nBmpHeight=120\r\n");
  const std::vector<Reference> references{Prepare("first.txt", 5), Prepare("second.txt", 10),
                                          Prepare("third.txt", 20)};
  constexpr int kThreads = 4;
  constexpr int kRounds = 10;
  std::atomic<int> calls{0}, faults{0};
  auto work = [&](int thread) {
    TempFolder folder;
    for (int round = 0; round < kRounds; ++round) {
      for (std::size_t k = 0; k < references.size(); ++k) {
        const Reference& reference = references[(k + thread) % references.size()];
        // Half the threads list first, which empties the cache under the others.
        if (thread % 2 == 0) {
          ++calls;
          if (!SameEntries(ListW(reference.text).entries, reference.entries)) ++faults;
        }
        for (std::size_t page = 0; page < reference.pages.size(); ++page) {
          ++calls;
          const Page extracted = ExtractW(reference.text, static_cast<intptr_t>(page));
          if (extracted.code != SUSIE_SUCCESS || extracted.bytes != reference.pages[page]) ++faults;
        }
        const std::filesystem::path target = folder / std::to_string(round);
        std::filesystem::create_directory(target);
        ++calls;
        if (ExtractToFolderW(reference.text, 0, target) != SUSIE_SUCCESS ||
            ReadFile(target / std::filesystem::path(FieldText(reference.entries[0].fileName))) !=
                reference.pages[0]) {
          ++faults;
        }
      }
    }
  };
  std::vector<std::thread> threads;
  for (int thread = 0; thread < kThreads; ++thread) threads.emplace_back(work, thread);
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(faults.load(), 0) << "of " << calls.load() << " calls";
}

}  // namespace
}  // namespace folio::testing
