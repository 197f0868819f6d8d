// The driver with the settings' defaults (no INI file beside the test program).
#include <gtest/gtest.h>

#include <string>

#if defined(_WIN32)
#include <windows.h>
#endif

#include "render/member_name.h"
#include "render/render_driver.h"
#include "support/temp_folder.h"
#include "support/test_files.h"

namespace folio::render {
namespace {

using testing::WidePath;

constexpr std::size_t kDefaultPageBytes = 921654;

class RenderDriverTest : public ::testing::Test {
 protected:
  std::u16string TextFile(std::string_view name, std::string_view bytes) {
    testing::WriteFile(folder_ / name, bytes);
    return WidePath(folder_ / name);
  }

  static ArchiveEntryW EntryNamed(std::u16string_view name) {
    ArchiveEntryW entry{};
    std::copy(name.begin(), name.end(), entry.fileName);
    return entry;
  }

  static bool IsBlankWhitePage(const platform::HostBlock& block) {
    if (block.size() != kDefaultPageBytes) return false;
    const auto* pixels = reinterpret_cast<const std::uint8_t*>(block.bytes()) + 54;
    return std::all_of(pixels, pixels + (kDefaultPageBytes - 54), [](std::uint8_t byte) { return byte == 0xFF; });
  }

  testing::TempFolder folder_;
};

TEST_F(RenderDriverTest, AnUnreadableTextLeavesEverythingAlone) {
  platform::HostBlock image = platform::HostBlock::Allocate(3, true);
  void* const before = image.get();
  PageBreakList breaks{4, 5};
  const RenderOutcome outcome =
      RenderTextFile(WidePath(folder_ / "absent.txt"), &image, nullptr, RenderMode::Measure, &breaks);
  EXPECT_EQ(outcome.code, 6);
  EXPECT_EQ(image.get(), before);
  EXPECT_EQ(breaks, (PageBreakList{4, 5}));
  EXPECT_EQ(RenderPage(WidePath(folder_ / "absent.txt"), image, EntryNamed(u"absent000-001.bmp")), 6);
  EXPECT_EQ(image.get(), before);
}

TEST_F(RenderDriverTest, MeasuringListsThePagesAndStoresABlankPage) {
  const std::u16string path = TextFile("notes.txt", "one\ntwo\nthree\n");
  platform::HostBlock image;
  PageBreakList breaks;
  const RenderOutcome outcome = RenderTextFile(path, &image, nullptr, RenderMode::Measure, &breaks);
  EXPECT_EQ(outcome.code, 0);
  EXPECT_EQ(outcome.pageCount, 1u);
  EXPECT_EQ(breaks, (PageBreakList{0, 3}));
  EXPECT_TRUE(IsBlankWhitePage(image));

  PageBreakList withoutImage;
  const RenderOutcome measuredOnly = RenderTextFile(path, nullptr, nullptr, RenderMode::Measure, &withoutImage);
  EXPECT_EQ(measuredOnly.code, 0);
  EXPECT_EQ(measuredOnly.pageCount, 1u);
  EXPECT_EQ(withoutImage, breaks);
}

TEST_F(RenderDriverTest, BigEndianTextIsMeasuredAsItsLittleEndianTwin) {
  std::string little = "\xFF\xFE";
  std::string big = "\xFE\xFF";
  // Long enough to wrap: byte-swapped units would be wide ideographs and wrap differently.
  const std::string words(160, 'w');
  for (int line = 0; line < 300; ++line) {
    for (char c : "Line " + std::to_string(line) + " " + words + "\n") {
      little += {c, '\0'};
      big += {'\0', c};
    }
  }
  PageBreakList littleBreaks, bigBreaks;
  const RenderOutcome fromLittle =
      RenderTextFile(TextFile("little.txt", little), nullptr, nullptr, RenderMode::Measure, &littleBreaks);
  const RenderOutcome fromBig =
      RenderTextFile(TextFile("big.txt", big), nullptr, nullptr, RenderMode::Measure, &bigBreaks);
  EXPECT_EQ(fromBig.pageCount, fromLittle.pageCount);
  EXPECT_EQ(bigBreaks, littleBreaks);
}

TEST_F(RenderDriverTest, NamesThatNameNoPageAreRefusedNotDrawnBlank) {
  const std::u16string path = TextFile("notes.txt", "one\ntwo\nthree\n");
  for (std::u16string_view name : {u"notes000-", u"note000-002.bmp", u""}) {
    platform::HostBlock image;
    EXPECT_EQ(RenderPage(path, image, EntryNamed(name)), SUSIE_UNKNOWN_FORMAT);
    EXPECT_FALSE(image);
  }
  // The name field is read to its last unit and no further.
  ArchiveEntryW unterminated;
  std::fill(std::begin(unterminated.fileName), std::end(unterminated.fileName), SusieWideChar('x'));
  platform::HostBlock image;
  EXPECT_EQ(RenderPage(path, image, unterminated), SUSIE_UNKNOWN_FORMAT);
  EXPECT_EQ(RenderTextFile(path, &image, nullptr, RenderMode::Draw, nullptr).code, SUSIE_UNKNOWN_FORMAT);
  EXPECT_FALSE(image);
}

TEST_F(RenderDriverTest, AnEmptyPageDrawsNothing) {
  const std::u16string path = TextFile("notes.txt", "one\ntwo\nthree\n");
  platform::HostBlock image;
  EXPECT_EQ(RenderPage(path, image, EntryNamed(FormatMemberName(MemberStem(path), 0, -1))), 0);
  EXPECT_TRUE(IsBlankWhitePage(image));
}

#if defined(_WIN32)
TEST_F(RenderDriverTest, ManyCallsLeaveTheGdiObjectCountAlone) {
  const std::u16string path = TextFile("notes.txt", "one\ntwo\nthree\n");
  auto gdiObjects = [] { return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); };
  platform::HostBlock warmUp;
  RenderPage(path, warmUp, EntryNamed(u"notes000-002.bmp"));
  const DWORD before = gdiObjects();
  for (int call = 0; call < 5; ++call) {
    platform::HostBlock image;
    PageBreakList breaks;
    EXPECT_EQ(RenderTextFile(path, &image, nullptr, RenderMode::Measure, &breaks).code, 0);
    EXPECT_EQ(RenderPage(path, image, EntryNamed(u"notes000-002.bmp")), 0);
  }
  EXPECT_EQ(gdiObjects(), before);
}
#endif

}  // namespace
}  // namespace folio::render
