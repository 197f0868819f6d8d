// What the cache of listed files shows through the exports: extractions after
// a listing are served from it, listings rebuild, old files drop out.
#include "archive_fixture.h"

namespace folio::testing {
namespace {

class CacheTest : public ArchiveTest {
 protected:
  // A text of one page, and the same file grown to several pages afterwards:
  // asking for its third page tells a cached listing (2) from a fresh one (0).
  std::filesystem::path WriteShortText(const std::filesystem::path& name) const {
    return WriteText(name, NumberedLines(5));
  }
  void GrowText(const std::filesystem::path& text) const { WriteText(text.filename(), NumberedLines(400)); }
};

TEST_F(CacheTest, AMissingMemberIsMinusOneWhenBuiltAndTwoWhenCached) {
  const auto text = WriteText("story.txt", NumberedLines(120));
  EXPECT_EQ(ExtractW(text, 99).code, SUSIE_NOT_SUPPORTED);   // built by this call
  EXPECT_EQ(ExtractW(text, 99).code, SUSIE_UNKNOWN_FORMAT);  // from the cache
  ASSERT_EQ(ListW(text).code, SUSIE_SUCCESS);
  EXPECT_EQ(ExtractW(text, 99).code, SUSIE_UNKNOWN_FORMAT);
  EXPECT_EQ(ExtractW(text, -1).code, SUSIE_UNKNOWN_FORMAT) << "unsigned: past every page";
  ArchiveEntryW entry{};
  EXPECT_EQ(Plugin().GetFileInfoW(WidePathText(text).c_str(), 0, Wide(u"story999-999.bmp").c_str(), 0, &entry),
            SUSIE_NOT_SUPPORTED)
      << "member information always lists afresh";
}

TEST_F(CacheTest, ExtractionsUseTheListingAndListingsRebuild) {
  const auto text = WriteShortText("story.txt");
  ASSERT_EQ(ListW(text).entries.size(), 1u);
  GrowText(text);
  EXPECT_EQ(ExtractW(text, 2).code, SUSIE_UNKNOWN_FORMAT);
  // A listing refused for its flags leaves the cache alone.
  EXPECT_EQ(ListW(text, 0, 1).code, SUSIE_NOT_SUPPORTED);
  EXPECT_EQ(ExtractW(text, 2).code, SUSIE_UNKNOWN_FORMAT);
  EXPECT_GE(ListW(text).entries.size(), 3u);
  EXPECT_EQ(ExtractW(text, 2).code, SUSIE_SUCCESS);
}

TEST_F(CacheTest, SeventeenFilesWithoutAListingDropTheFirst) {
  std::vector<std::filesystem::path> texts;
  for (int i = 0; i < 17; ++i) texts.push_back(WriteShortText("text" + std::to_string(i) + ".txt"));
  ASSERT_EQ(ListW(texts[0]).code, SUSIE_SUCCESS);  // empties the cache, then holds texts[0]
  GrowText(texts[0]);
  for (int i = 1; i < 16; ++i) ASSERT_EQ(ExtractW(texts[i], 0).code, SUSIE_SUCCESS);
  EXPECT_EQ(ExtractW(texts[0], 2).code, SUSIE_UNKNOWN_FORMAT) << "sixteen files fit";
  ASSERT_EQ(ExtractW(texts[16], 0).code, SUSIE_SUCCESS);
  EXPECT_EQ(ExtractW(texts[0], 2).code, SUSIE_SUCCESS) << "the seventeenth replaced the first";
}

TEST_F(CacheTest, PathsDifferingInCaseAreOneFileOnlyWhereTheFileSystemSaysSo) {
  const auto text = WriteShortText("Story.txt");
  ASSERT_EQ(ListW(text).code, SUSIE_SUCCESS);
#if defined(_WIN32)
  GrowText(text);
  EXPECT_EQ(ExtractW(texts_ / "STORY.TXT", 2).code, SUSIE_UNKNOWN_FORMAT) << "served from the listing";
#else
  const auto other = WriteText("STORY.txt", NumberedLines(400));
  EXPECT_EQ(ExtractW(other, 2).code, SUSIE_SUCCESS) << "another file";
  EXPECT_EQ(ExtractW(text, 2).code, SUSIE_UNKNOWN_FORMAT);
#endif
}

}  // namespace
}  // namespace folio::testing
