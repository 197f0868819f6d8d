// A viewer keeps the plug-in loaded for a whole session: a thousand listings
// and extractions must leave the process holding what it held after the
// first few.  Natively LeakSanitizer (the sanitizer build) checks the memory
// at exit; on Windows the process's GDI objects and kernel handles are
// counted here.
#include "archive_fixture.h"

namespace folio::testing {
namespace {

using ResourceLeakTest = ArchiveTest;

TEST_F(ResourceLeakTest, AThousandCallsHoldNoMoreThanTheFirstTen) {
  UseSettings("BmpWidth=200\r\nBmpHeight=150\r\n");
  const auto text = WriteText("story.txt", NumberedLines(3));  // one page: many calls, each quick
  TempFolder output;
  int failures = 0;
  auto callPair = [&](int round) {
    failures += ListW(text).code != SUSIE_SUCCESS;
    if (round % 10 == 0) {  // now and then into a file, which is removed again
      failures += ExtractToFolderW(text, 0, output.path()) != SUSIE_SUCCESS;
      std::filesystem::remove_all(output.path());
      std::filesystem::create_directory(output.path());
    } else {
      failures += ExtractW(text, 0).code != SUSIE_SUCCESS;
    }
  };
  for (int round = 0; round < 5; ++round) callPair(round);
  const ProcessResources early = ProcessResources::Now();
  for (int round = 5; round < 500; ++round) callPair(round);
  const ProcessResources late = ProcessResources::Now();

  EXPECT_EQ(failures, 0);
  EXPECT_LE(late.gdiObjects, early.gdiObjects);
  EXPECT_LE(late.handles, early.handles);
}

}  // namespace
}  // namespace folio::testing
