// Pages written into a folder: never over an existing file, never left
// half-written, and into folders named in the host's ANSI code page.
#include <clocale>

#if !defined(_WIN32)
#include <sys/resource.h>

#include <csignal>
#endif

#include "archive_fixture.h"

namespace folio::testing {
namespace {

using ExtractionTest = ArchiveTest;

TEST_F(ExtractionTest, AnExistingFileIsLeftAsItWas) {
  const auto text = WriteText("story.txt", NumberedLines(120));
  const Listing listing = ListW(text);
  ASSERT_EQ(listing.code, SUSIE_SUCCESS);
  TempFolder folder;
  const auto existing = folder / std::filesystem::path(FieldText(listing.entries[1].fileName));
  WriteFile(existing, "keep me");
  EXPECT_EQ(ExtractToFolderW(text, 1, folder.path()), SUSIE_FILE_WRITE_ERROR);
  EXPECT_EQ(ReadFile(existing), "keep me");
  EXPECT_EQ(ExtractToFolderW(text, 0, folder.path()), SUSIE_SUCCESS);
}

TEST_F(ExtractionTest, AFolderThatIsNotThereCreatesNothing) {
  const auto text = WriteText("story.txt", NumberedLines(120));
  EXPECT_EQ(ExtractToFolderW(text, 0, texts_ / "absent"), SUSIE_FILE_WRITE_ERROR);
  EXPECT_FALSE(std::filesystem::exists(texts_ / "absent"));
}

#if !defined(_WIN32)
// Lowers the largest file this process may write, for one scope.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);  // a failed write, not a killed process
    rlimit lowered = saved_;
    lowered.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &lowered);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previousHandler_);
  }

 private:
  rlimit saved_;
  void (*previousHandler_)(int);
};
#endif

TEST_F(ExtractionTest, AShortWriteRemovesThePartialFile) {
#if defined(_WIN32)
  GTEST_SKIP() << "no way to make a write fall short here";
#else
  const auto text = WriteText("story.txt", NumberedLines(120));
  TempFolder folder;
  {
    FileSizeLimit limit(1000);
    EXPECT_EQ(ExtractToFolderW(text, 0, folder.path()), SUSIE_FILE_WRITE_ERROR);
  }
  EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
  EXPECT_EQ(ExtractToFolderW(text, 0, folder.path()), SUSIE_SUCCESS);
#endif
}

// A folder name in the host's ANSI code page, or nullopt when that code page
// can't hold `name`.
#if defined(_WIN32)
std::optional<std::string> AnsiText(std::u16string_view name) {
  const auto* wide = reinterpret_cast<const wchar_t*>(name.data());
  const int length = static_cast<int>(name.size());
  BOOL lossy = FALSE;
  const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, length, nullptr, 0, nullptr, &lossy);
  if (size <= 0 || lossy) return std::nullopt;
  std::string bytes(size, '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, length, bytes.data(), size, nullptr, nullptr);
  return bytes;
}

// The host's code page is the process's.
class AnsiCodePageScope {
 public:
  bool active() const { return true; }
};
#else
std::optional<std::string> AnsiText(std::u16string_view name) {
  return Utf8(name);
}

// Natively the ANSI code page is the C locale's codeset: UTF-8 for this scope.
class AnsiCodePageScope {
 public:
  AnsiCodePageScope() : saved_(std::setlocale(LC_CTYPE, nullptr)) {
    active_ = std::setlocale(LC_CTYPE, "C.UTF-8") != nullptr;
  }
  ~AnsiCodePageScope() { std::setlocale(LC_CTYPE, saved_.c_str()); }
  bool active() const { return active_; }

 private:
  std::string saved_;
  bool active_ = false;
};
#endif

TEST_F(ExtractionTest, AnsiDestinationsWithCharactersBeyondAscii) {
  AnsiCodePageScope codePage;
  const std::u16string folderName = u"頁の画像";
  const auto ansiFolderName = AnsiText(folderName);
  if (!codePage.active() || !ansiFolderName) GTEST_SKIP() << "the ANSI code page can't name the folder";
  const auto text = WriteText("story.txt", NumberedLines(120));
  const auto folder = texts_ / std::filesystem::path(folderName);
  std::filesystem::create_directory(folder);
  const auto ansiTextPath = AnsiText(WidePath(text));
  ASSERT_TRUE(ansiTextPath);
  std::string destination = *AnsiText(WidePath(texts_.path())) + "/" + *ansiFolderName;

  EXPECT_EQ(Plugin().GetFile(ansiTextPath->c_str(), 1, destination.data(), 0, nullptr, 0), SUSIE_SUCCESS);
  const Listing listing = ListW(text);
  ASSERT_GE(listing.entries.size(), 2u);
  const auto written = folder / std::filesystem::path(FieldText(listing.entries[1].fileName));
  EXPECT_EQ(std::filesystem::file_size(written), listing.entries[1].fileSize);
}

}  // namespace
}  // namespace folio::testing
