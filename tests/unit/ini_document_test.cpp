#include <gtest/gtest.h>

#include "base/ini_document.h"

namespace folio::base {
namespace {

TEST(IniDocumentTest, FindsValuesByTheProfileRules) {
  const std::string ini =
      "\xEF\xBB\xBF; comment\r\n[ systemsetting ]\r\n  Key = value with blanks  \r\nQuoted=\"a b\"\r\n"
      "Empty=\r\nBare\r\nkey=second\r\n";
  EXPECT_EQ(FindIniValue(ini, "SystemSetting", "KEY"), "value with blanks");
  EXPECT_EQ(FindIniValue(ini, "SystemSetting", "Quoted"), "a b");
  EXPECT_EQ(FindIniValue(ini, "SystemSetting", "Empty"), "");
  EXPECT_EQ(FindIniValue(ini, "SystemSetting", "Bare"), "");
  EXPECT_EQ(FindIniValue(ini, "SystemSetting", "Missing"), std::nullopt);
  EXPECT_EQ(FindIniValue(ini, "Other", "Key"), std::nullopt);
  EXPECT_EQ(FindIniValue("Key=1\n", "SystemSetting", "Key"), std::nullopt);  // outside any section
  EXPECT_EQ(FindIniValue("[SystemSetting", "SystemSetting", "Key"), std::nullopt);
}

TEST(IniDocumentTest, IntegersParseAsGetPrivateProfileIntDoes) {
  struct Case {
    const char* value;
    int expected;
  };
  for (const Case& c : {Case{"42", 42}, Case{"  -5", -5}, Case{"+7", 7}, Case{"12px", 12}, Case{"abc", 0},
                        Case{"0x1F", 31}, Case{"0b101", 5}, Case{"0o17", 15}, Case{"-", 0}, Case{"4294967295", -1},
                        Case{"99999999999", 1215752191}, Case{"", 77}}) {
    EXPECT_EQ(ParseProfileInt(c.value, 77), c.expected) << c.value;
  }
}

}  // namespace
}  // namespace folio::base
