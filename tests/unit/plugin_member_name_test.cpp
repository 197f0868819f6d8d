#include <gtest/gtest.h>

#include "platform/path_names.h"
#include "plugin/member_name.h"

namespace folio::plugin {
namespace {

std::u16string InFolder(std::u16string_view fileName) {
  return platform::CombinePath(u"/texts", fileName);
}

TEST(MemberNameTest, StemIsTheFileNameWithoutFolderAndExtension) {
  struct Case {
    std::u16string_view fileName;
    std::u16string_view stem;
  };
  for (const Case& c : {Case{u"notes.txt", u"notes"}, Case{u"ch12.txt", u"ch12"}, Case{u"a.b.c.txt", u"a.b.c"},
                        Case{u"README", u"README"}, Case{u".txt", u""}, Case{u"v1. draft", u"v1. draft"}}) {
    EXPECT_EQ(MemberStem(InFolder(c.fileName)), c.stem) << std::string(c.fileName.begin(), c.fileName.end());
  }
}

TEST(MemberNameTest, LongStemsAreCutOutsideSurrogatePairs) {
  const std::u16string longName(300, u'x');
  EXPECT_EQ(MemberStem(InFolder(longName + u".txt")), std::u16string(kMaxStemUnits, u'x'));

  // A pair that would straddle the cut is left out whole.
  const std::u16string straddling = std::u16string(kMaxStemUnits - 1, u'x') + u"\U0001F600tail";
  EXPECT_EQ(MemberStem(InFolder(straddling)), std::u16string(kMaxStemUnits - 1, u'x'));
  const std::u16string ending = std::u16string(kMaxStemUnits - 2, u'x') + u"\U0001F600tail";
  EXPECT_EQ(MemberStem(InFolder(ending)), ending.substr(0, kMaxStemUnits));
}

TEST(MemberNameTest, NamesCarryTheLineRange) {
  struct Case {
    std::int32_t firstLine;
    std::int32_t lastLine;
    std::u16string_view name;
  };
  for (const Case& c : {Case{0, 41, u"notes000-041.bmp"}, Case{1000, 1041, u"notes1000-1041.bmp"},
                        Case{0, -1, u"notes000--01.bmp"}, Case{41, 82, u"notes041-082.bmp"},
                        Case{INT32_MAX, INT32_MIN, u"notes2147483647--2147483648.bmp"}}) {
    EXPECT_EQ(FormatMemberName(u"notes", c.firstLine, c.lastLine), c.name);
    const auto range = LineRangeFromMemberName(InFolder(u"notes.txt"), c.name);
    ASSERT_TRUE(range.has_value()) << std::string(c.name.begin(), c.name.end());
    EXPECT_EQ(range->firstLine, c.firstLine);
    EXPECT_EQ(range->lastLine, c.lastLine);
  }
  const auto digitsInStem = LineRangeFromMemberName(InFolder(u"ch12.txt"), u"ch12000-041.bmp");
  ASSERT_TRUE(digitsInStem.has_value());
  EXPECT_EQ(digitsInStem->firstLine, 0);
  EXPECT_EQ(digitsInStem->lastLine, 41);
  // The listing named the text Story.txt; the host now says STORY.TXT.
  const auto otherCase = LineRangeFromMemberName(InFolder(u"STORY.TXT"), u"Story041-082.bmp");
  ASSERT_TRUE(otherCase.has_value());
  EXPECT_EQ(otherCase->firstLine, 41);
}

TEST(MemberNameTest, LongestNamesFitTheNameField) {
  const std::u16string stem = MemberStem(InFolder(std::u16string(500, u'x')));
  const std::u16string name = FormatMemberName(stem, INT32_MIN, INT32_MIN);
  EXPECT_LT(name.size(), 200u);
  const auto range = LineRangeFromMemberName(InFolder(std::u16string(500, u'x')), name);
  ASSERT_TRUE(range.has_value());
  EXPECT_EQ(range->firstLine, INT32_MIN);
}

TEST(MemberNameTest, OtherNamesAreRejected) {
  for (std::u16string_view name :
       {u"", u"notes", u"notes000-041", u"notes000-041.BMP", u"note000-041.bmp", u"notes0-41.bmp",
        u"notes0000-041.bmp", u"notes000-041.bmp ", u"notes000+041.bmp", u"notes000-.bmp", u"notes-000-041.bmp",
        u"notes9999999999-041.bmp", u"notes000-2147483648.bmp", u"notes00a-041.bmp", u"notes000_041.bmp"}) {
    EXPECT_FALSE(LineRangeFromMemberName(InFolder(u"notes.txt"), name).has_value())
        << std::string(name.begin(), name.end());
  }
  // A name read from a fixed field must not be followed past its end.
  const std::u16string field = u"notes000-0";
  EXPECT_FALSE(LineRangeFromMemberName(InFolder(u"notes.txt"), std::u16string_view(field.data(), 8)));
}

}  // namespace
}  // namespace folio::plugin
