#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "plugin/entry_record.h"

namespace folio::plugin {
namespace {

TEST(EntryRecordTest, TextFieldsKeepTheirTerminatorAndWholeCharacters) {
  struct Case {
    std::u16string text;
    std::size_t kept;
  };
  const std::u16string pair = u"\U0001F600";
  const Case cases[] = {{u"story000-040.bmp", 16},
                        {std::u16string(199, u'a'), 199},
                        {std::u16string(250, u'a'), 199},
                        {std::u16string(198, u'a') + pair, 198},  // the pair would end past the field
                        {std::u16string(197, u'a') + pair, 199}};
  for (const Case& c : cases) {
    ArchiveEntryW entry;
    std::memset(&entry, 0x5A, sizeof entry);
    SetFieldText(entry.fileName, c.text);
    EXPECT_EQ(FieldText(entry.fileName), std::u16string_view(c.text).substr(0, c.kept));
    EXPECT_EQ(entry.crc, 0x5A5A5A5Au) << "nothing written past the field";
  }
}

TEST(EntryRecordTest, AFieldWithoutTerminatorIsReadToItsEnd) {
  ArchiveEntryW entry;
  std::memset(&entry, 0, sizeof entry);
  for (auto& unit : entry.path) unit = u'p';
  EXPECT_EQ(FieldText(entry.path).size(), std::size_t{SUSIE_NAME_CHARS});
}

TEST(EntryRecordTest, AnsiFormCopiesEveryFieldAndFitsNames) {
  ArchiveEntryW wide{};
  std::memcpy(wide.method, "textABCD", 8);  // only seven bytes and a terminator reach the ANSI record
  wide.position = 3;
  wide.compressedSize = 921'654;
  wide.fileSize = 921'654;
  wide.timestamp = -5;
  SetFieldText(wide.fileName, std::u16string(250, u'n'));
  ArchiveEntryA ansi;
  std::memset(&ansi, 0x5A, sizeof ansi);
  WriteAnsiEntry(wide, ansi);
  EXPECT_STREQ(reinterpret_cast<const char*>(ansi.method), "textABC");
  EXPECT_EQ(ansi.position, 3u);
  EXPECT_EQ(ansi.compressedSize, 921'654u);
  EXPECT_EQ(ansi.fileSize, 921'654u);
  EXPECT_EQ(ansi.timestamp, -5);
  EXPECT_STREQ(ansi.path, "");
  EXPECT_EQ(ansi.fileName, std::string(199, 'n'));
  EXPECT_EQ(ansi.crc, 0u);
}

}  // namespace
}  // namespace folio::plugin
