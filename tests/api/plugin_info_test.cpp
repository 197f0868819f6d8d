#include <gtest/gtest.h>

#include <cstring>

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

#include "support/plugin_library.h"
#include "support/temp_folder.h"
#include "support/test_files.h"

namespace folio::testing {
namespace {

using WideText = std::basic_string<SusieWideChar>;

// A file handle as a host holds it: a HANDLE on Windows, a descriptor elsewhere.
class OpenHandle {
 public:
#if defined(_WIN32)
  explicit OpenHandle(const std::filesystem::path& path)
      : handle_(CreateFileW(path.wstring().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                            nullptr)) {}
  ~OpenHandle() {
    CloseHandle(handle_);
  }
  void* value() const {
    return handle_;
  }

 private:
  HANDLE handle_;
#else
  explicit OpenHandle(const std::filesystem::path& path) : descriptor_(open(path.c_str(), O_RDONLY)) {}
  ~OpenHandle() {
    close(descriptor_);
  }
  void* value() const {
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(descriptor_));
  }

 private:
  int descriptor_;
#endif
};

class PluginInfoTest : public ::testing::Test {
 protected:
  void SetUp() override { Plugin().RemoveSettings(); }
  void TearDown() override { Plugin().RemoveSettings(); }
};

TEST_F(PluginInfoTest, WideStringsByIndex) {
  SusieWideChar buffer[100];
  EXPECT_EQ(Plugin().GetPluginInfoW(0, buffer, 100), 4);
  EXPECT_EQ(WideText(buffer), Wide(u"00AM"));
  EXPECT_EQ(Plugin().GetPluginInfoW(1, buffer, 100), 12);
  EXPECT_EQ(WideText(buffer), Wide(u"folio by.Ilo"));
  EXPECT_EQ(Plugin().GetPluginInfoW(2, buffer, 100), 5);
  EXPECT_EQ(WideText(buffer), Wide(u"*.txt"));
  EXPECT_EQ(Plugin().GetPluginInfoW(3, buffer, 100), 8);
  EXPECT_EQ(WideText(buffer), Wide(u"テキストファイル"));
}

TEST_F(PluginInfoTest, WideFormCutsToTheBufferAndIgnoresOtherIndexes) {
  SusieWideChar buffer[100];
  std::fill(std::begin(buffer), std::end(buffer), SusieWideChar('#'));
  EXPECT_EQ(Plugin().GetPluginInfoW(1, buffer, 6), 5);
  EXPECT_EQ(WideText(buffer), Wide(u"folio"));
  EXPECT_EQ(buffer[6], SusieWideChar('#'));

  std::fill(std::begin(buffer), std::end(buffer), SusieWideChar('#'));
  for (int index : {4, -1, 1000}) EXPECT_EQ(Plugin().GetPluginInfoW(index, buffer, 100), 0);
  EXPECT_EQ(Plugin().GetPluginInfoW(0, buffer, 0), 0);
  EXPECT_EQ(Plugin().GetPluginInfoW(0, buffer, -3), 0);
  EXPECT_EQ(Plugin().GetPluginInfoW(0, nullptr, 100), 0);
  EXPECT_EQ(buffer[0], SusieWideChar('#'));
  EXPECT_EQ(Plugin().GetPluginInfoW(0, buffer, 1), 0);
  EXPECT_EQ(buffer[0], SusieWideChar(0));
}

TEST_F(PluginInfoTest, PatternsComeFromTheSettingsWithCommasAsSemicolons) {
  Plugin().WriteSettings("Ext=*.txt,*.log\r\n");
  SusieWideChar wide[100];
  EXPECT_EQ(Plugin().GetPluginInfoW(2, wide, 100), 11);
  EXPECT_EQ(WideText(wide), Wide(u"*.txt;*.log"));
  char ansi[100];
  EXPECT_EQ(Plugin().GetPluginInfo(2, ansi, 100), 11);
  EXPECT_STREQ(ansi, "*.txt;*.log");
}

TEST_F(PluginInfoTest, AnsiFormStaysInsideAndTerminatesTheBuffer) {
  char buffer[16];
  std::memset(buffer, '#', sizeof buffer);
  EXPECT_EQ(Plugin().GetPluginInfo(1, buffer, 6), 5);
  EXPECT_STREQ(buffer, "folio");

  // The description may need more bytes than the buffer has: it is cut
  // between characters and still terminated within the 8 bytes.
  std::memset(buffer, '#', sizeof buffer);
  EXPECT_EQ(Plugin().GetPluginInfo(3, buffer, 8), 7);
  EXPECT_LT(std::strlen(buffer), 8u);
  EXPECT_EQ(buffer[8], '#');

  std::memset(buffer, '#', sizeof buffer);
  EXPECT_EQ(Plugin().GetPluginInfo(7, buffer, 16), 0);
  EXPECT_EQ(Plugin().GetPluginInfo(0, nullptr, 16), 0);
  EXPECT_EQ(Plugin().GetPluginInfo(0, buffer, 0), 0);
  EXPECT_EQ(buffer[0], '#');
}

TEST_F(PluginInfoTest, SupportedFilesAreDecidedByName) {
  const char header[2048] = "plain text";
  EXPECT_EQ(Plugin().IsSupportedW(Wide(u"notes.txt").c_str(), const_cast<char*>(header)), 1);
  EXPECT_EQ(Plugin().IsSupportedW(Wide(u"NOTES.TXT").c_str(), const_cast<char*>(header)), 1);
  EXPECT_EQ(Plugin().IsSupportedW(Wide(u"README").c_str(), const_cast<char*>(header)), 1);
  EXPECT_EQ(Plugin().IsSupported("picture.bmp", const_cast<char*>(header)), 0);
  EXPECT_EQ(Plugin().IsSupported("notes.txt", const_cast<char*>(header)), 1);
  EXPECT_EQ(Plugin().IsSupportedW(nullptr, const_cast<char*>(header)), 0);
  EXPECT_EQ(Plugin().IsSupported(nullptr, const_cast<char*>(header)), 0);

  Plugin().WriteSettings("Ext=*.TXT,*.LOG\r\n");
  EXPECT_EQ(Plugin().IsSupported("NOTES.Log", const_cast<char*>(header)), 1);
}

TEST_F(PluginInfoTest, SmallValuesAreFileHandles) {
  // A value of 0xFFFF or less is a handle; this one is open nowhere.
  EXPECT_EQ(Plugin().IsSupportedW(Wide(u"notes.txt").c_str(), reinterpret_cast<void*>(std::uintptr_t{0xFFF0})), 0);
  // 0x10000, the first value above, is a pointer on either width (its data is never read).
  EXPECT_EQ(Plugin().IsSupportedW(Wide(u"notes.txt").c_str(), reinterpret_cast<void*>(std::uintptr_t{0x10000})),
            1);

  TempFolder folder;
  WriteFile(folder / "notes.txt", "Some text to read.");
  OpenHandle handle(folder / "notes.txt");
  EXPECT_EQ(Plugin().IsSupportedW(Wide(u"notes.txt").c_str(), handle.value()), 1);
}

TEST_F(PluginInfoTest, WidePointersWithClearMiddleBitsAreStillPointers) {
  if (sizeof(void*) < 8) GTEST_SKIP() << "only 64-bit pointers have bits above 31";
  // An address such as Wine's 64-bit heap hands out; the data is never read.
  void* pointer = reinterpret_cast<void*>(static_cast<std::uintptr_t>(0x000001E000000280ull));
  EXPECT_EQ(Plugin().IsSupportedW(Wide(u"notes.txt").c_str(), pointer), 1);
}

TEST_F(PluginInfoTest, ExtensionTestFallsBackToFolioIni) {
  // A library named otherwise finds no INI of its own name, then folio.ini.
  WriteSettings(Plugin().folder() / "folio.ini", "Ext=*.log\r\n");
  const char header[2048] = {};
  EXPECT_EQ(Plugin().IsSupported("notes.log", const_cast<char*>(header)), 1);
  EXPECT_EQ(Plugin().IsSupported("notes.txt", const_cast<char*>(header)), 0);
  std::filesystem::remove(Plugin().folder() / "folio.ini");
}

}  // namespace
}  // namespace folio::testing
