#include <gtest/gtest.h>

#include "settings/render_settings.h"
#include "support/temp_folder.h"
#include "support/test_files.h"

namespace folio::settings {
namespace {

using testing::TempFolder;
using testing::WidePath;

class SettingsFileTest : public ::testing::Test {
 protected:
  RenderSettings Load(std::string_view lines) {
    testing::WriteSettings(folder_ / "folio.ini", lines);
    return LoadRenderSettingsFrom(WidePath(folder_ / "folio.ini"));
  }
  TempFolder folder_;
};

TEST_F(SettingsFileTest, MissingFileGivesEveryDefault) {
  const RenderSettings settings = LoadRenderSettingsFrom(WidePath(folder_ / "absent.ini"));
  EXPECT_EQ(settings.width, 640);
  EXPECT_EQ(settings.height, 480);
  EXPECT_EQ(settings.margin, 4);
  EXPECT_EQ(settings.fontSize, 8);
  EXPECT_EQ(settings.fontFamily, u"");
  EXPECT_EQ(settings.background, (platform::Rgb{255, 255, 255}));
  EXPECT_EQ(settings.fontColor, (platform::TextColor{0.0f, 0.0f, 0.0f, 1.0f}));
  EXPECT_EQ(settings.pageLimit, 10);
  EXPECT_TRUE(settings.pageIndex);
  EXPECT_EQ(settings.notation, Notation::None);
  EXPECT_EQ(ReadExtensionList(WidePath(folder_ / "absent.ini")), u"*.txt");
}

TEST_F(SettingsFileTest, ValuesAreReadAsWritten) {
  const RenderSettings settings = Load(
      "bmpwidth = 101\r\nBMPHEIGHT=-7\r\nMaxPage=0\r\nFontSize=12\r\nMargin=0x10\r\nFontColor=gray\r\n"
      "PageIndex=0\r\n");
  EXPECT_EQ(settings.width, 101);
  EXPECT_EQ(settings.height, -7);  // negative sizes are used as read
  EXPECT_EQ(settings.pageLimit, 0);
  EXPECT_EQ(settings.fontSize, 12);
  EXPECT_EQ(settings.margin, 16);
  EXPECT_EQ(settings.fontColor, (platform::TextColor{1.0f, 1.0f, 1.0f, 1.0f}));  // font colours match exactly
  EXPECT_FALSE(settings.pageIndex);
}

TEST_F(SettingsFileTest, ZeroSizesFallBackWithoutAnActiveWindow) {
  const RenderSettings settings = Load("BmpWidth=0\nBmpHeight=0\n");
  EXPECT_EQ(settings.width, 640);
  EXPECT_EQ(settings.height, 480);
}

TEST_F(SettingsFileTest, BackgroundNamesIgnoreCaseAndUnknownOnesAreBlack) {
  struct Case {
    const char* value;
    std::uint8_t level;
  };
  for (const Case& c : {Case{"gray", 128}, Case{"Dark_Gray", 64}, Case{"LIGHT_GRAY", 192}, Case{"white", 255},
                        Case{"blue", 0}, Case{"", 0}}) {
    EXPECT_EQ(Load(std::string("BGColor=") + c.value + "\n").background,
              (platform::Rgb{c.level, c.level, c.level}))
        << c.value;
  }
}

TEST(FontColorTest, NamesMatchExactly) {
  struct Case {
    std::u16string_view name;
    float level;
  };
  for (const Case& c : {Case{u"BLACK", 0.0f}, Case{u"DARK_GRAY", 0.25f}, Case{u"GRAY", 0.5f},
                        Case{u"LIGHT_GRAY", 0.75f}, Case{u"WHITE", 1.0f}, Case{u"gray", 1.0f}, Case{u"Gray", 1.0f},
                        Case{u"RED", 1.0f}, Case{u"", 1.0f}, Case{u"BLACK ", 1.0f}}) {
    EXPECT_EQ(FontColorFromName(c.name), (platform::TextColor{c.level, c.level, c.level, 1.0f}))
        << std::string(c.name.begin(), c.name.end());
  }
}

TEST_F(SettingsFileTest, OnlyAozoraTurnsNotationOn) {
  struct Case {
    const char* line;
    Notation notation;
  };
  for (const Case& c : {Case{"Notation=aozora\n", Notation::Aozora}, Case{"notation = AOZORA\n", Notation::Aozora},
                        Case{"Notation=\n", Notation::None}, Case{"Notation=none\n", Notation::None},
                        Case{"Notation=aozora ; comment\n", Notation::None}, Case{"", Notation::None}}) {
    EXPECT_EQ(Load(c.line).notation, c.notation) << c.line;
  }
}

TEST_F(SettingsFileTest, OnlyOneMakesVerticalPages) {
  for (const char* line : {"Vertical=1\n", "vertical = 1\n"}) EXPECT_TRUE(Load(line).vertical) << line;
  for (const char* line :
       {"Vertical=0\n", "Vertical=\n", "Vertical=yes\n", "Vertical=2\n", "Vertical=1 ; on\n", ""})
    EXPECT_FALSE(Load(line).vertical) << line;
}

TEST_F(SettingsFileTest, FontNameIsUtf8) {
  EXPECT_EQ(Load("FontName=Noto Sans CJK JP\n").fontFamily, u"Noto Sans CJK JP");
  EXPECT_EQ(Load("FontName=\xE6\x98\x8E\xE6\x9C\x9D\n").fontFamily, u"明朝");
  // The same name in Shift_JIS is not UTF-8: it arrives garbled.
  EXPECT_NE(Load("FontName=\x96\xBE\x92\xA9\n").fontFamily, u"明朝");
}

TEST_F(SettingsFileTest, OtherSectionsAndFirstMatchRules) {
  const RenderSettings settings = Load("Margin=9\nMargin=3\n[Other]\nFontSize=30\n[SystemSetting]\nFontSize=31\n");
  EXPECT_EQ(settings.margin, 9);
  EXPECT_EQ(settings.fontSize, 8);  // only the first section of a name is read
}

TEST(ExtensionTest, LowerCasedSubstringOfTheList) {
  EXPECT_TRUE(IsHandledFileNameWith(u"/texts/NOTES.Log", u"*.TXT,*.LOG"));
  EXPECT_TRUE(IsHandledFileNameWith(u"README", u"*.txt"));  // no extension: always handled
  EXPECT_TRUE(IsHandledFileNameWith(u"notes.tx", u"*.txt"));
  EXPECT_TRUE(IsHandledFileNameWith(u"notes.2024.txt", u"*.txt"));
  EXPECT_FALSE(IsHandledFileNameWith(u"picture.bmp", u"*.txt"));
  EXPECT_FALSE(IsHandledFileNameWith(u"archive.txt.gz", u"*.txt"));
  EXPECT_TRUE(IsHandledFileNameWith(u"folder.bmp/notes", u"*.txt"));  // the folder's dot is not the name's
}

}  // namespace
}  // namespace folio::settings
