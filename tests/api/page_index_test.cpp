// Listings kept in the page index between processes: taken instead of
// measuring only while the text and every setting that shapes its pages are
// as they were, and always the very entries and pages that measuring gives,
// whatever befalls the index folder.  Each test has an index folder of its
// own; a plug-in copy of its own stands for a process that never listed the
// text.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <set>
#include <thread>

#include "archive_fixture.h"
#include "support/child_process.h"
#include "support/expected_pages.h"

namespace folio::testing {
namespace {

namespace fs = std::filesystem;

constexpr const char* kIndexFolderVariable = "FOLIO_PAGE_INDEX_FOLDER";
// Small pages, so that a short text has many and drawing stays quick under Wine.
constexpr std::string_view kPageSettings = "BmpWidth=200\r\nBmpHeight=150\r\nMaxPage=0\r\n";

// The built plug-in, copied and loaded afresh with the test's settings: a
// process that has listed nothing yet.
class FreshPlugin : private LibraryCopy, public PluginModule {
 public:
  FreshPlugin() : LibraryCopy(Plugin().libraryPath()), PluginModule(WithSettings(path)) {}

 private:
  static const fs::path& WithSettings(const fs::path& library) {
    fs::copy_file(Plugin().SettingsPath(), fs::path(library).replace_extension(".ini"));
    return library;
  }
};

// Tells whether the calls made meanwhile took the index file there is now:
// taking it marks the very file used, while measuring again renames a new
// file over it, which a hard link to the old one does not follow.
class IndexFileWatch {
 public:
  explicit IndexFileWatch(const fs::path& folder) {
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
      if (entry.path().extension() == ".pages") file_ = entry.path();
    link_ = folder / "watched.link";
    fs::create_hard_link(file_, link_);
    before_ = fs::last_write_time(file_) - std::chrono::hours(1);
    fs::last_write_time(file_, before_);
  }
  ~IndexFileWatch() { fs::remove(link_); }

  bool Taken() const { return fs::equivalent(file_, link_) && fs::last_write_time(link_) > before_; }

 private:
  fs::path file_, link_;
  fs::file_time_type before_;
};

class PageIndexTest : public ArchiveTest {
 protected:
  void SetUp() override {
    ArchiveTest::SetUp();
    environment_.Put(kIndexFolderVariable, indexFolder_.string().c_str());
  }

  // The settings: `lines` first, which win over the defaults after them
  // (the first of a key counts), with the index on or off.
  static void UsePageSettings(std::string_view lines, bool index = true) {
    Plugin().WriteSettings(std::string(lines) + "FontName=DejaVu Sans\r\n" + std::string(kPageSettings) +
                           (index ? "" : "PageIndex=0\r\n"));
  }
  // What measuring gives with these settings, which stay on with the index.
  static SeenText Measured(const fs::path& text, std::string_view lines = "") {
    UsePageSettings(lines, false);
    const std::optional<SeenText> seen = SeeEnds(Plugin(), text);
    UsePageSettings(lines);
    EXPECT_TRUE(seen);
    return seen.value_or(SeenText{});
  }
  std::vector<fs::path> IndexFiles() const {
    std::vector<fs::path> files;
    if (fs::is_directory(indexFolder_)) {
      for (const fs::directory_entry& entry : fs::directory_iterator(indexFolder_)) files.push_back(entry.path());
    }
    return files;
  }

  ScopedEnvironment environment_;
  TempFolder temp_;
  const fs::path indexFolder_ = temp_ / "cache" / "pages";
};

// UTF-16 lines of 2,400 units come in pieces of 1,023, so pages begin inside them.
std::u16string LongJapaneseLines() {
  std::u16string text;
  for (int i = 0; i < 12; ++i) {
    for (int piece = 0; piece < 150; ++piece) text += u"吾輩は猫である。名前はまだ無い。";
    text += u"\r\n";
  }
  for (int i = 0; i < 40; ++i) text += u"名前はまだ無い。\r\n";
  return text;
}

// Readings, and an indent block that runs across pages, which a page drawn
// from its start must resume with.
std::u16string NotatedLines() {
  std::u16string text = u"［＃ここから２字下げ］\r\n";
  for (int i = 0; i < 60; ++i) text += u"吾輩《わがはい》は猫である。名前はまだ無い。\r\n";
  return text + u"［＃ここで字下げ終わり］\r\n";
}

TEST_F(PageIndexTest, AKeptListingGivesTheEntriesAndPagesThatMeasuringGives) {
  struct Case {
    const char* name;
    fs::path text;
    std::string_view settings;
  };
  std::string shiftJis;
  for (int i = 0; i < 200; ++i) shiftJis += std::to_string(i) + " \x82\xA0\x82\xA2\x8A\xBF\x8E\x9A\r\n";
  WriteFile(texts_ / "sjis.txt", shiftJis);
  const Case cases[] = {
      {"utf-8", WriteText("story.txt", NumberedLines(600)), ""},
      {"utf-16be, lines cut in pieces", WriteText("long.txt", LongJapaneseLines(), Encoding::Utf16BE),
       "FontName=Noto Sans CJK JP\r\n"},
      {"shift_jis", texts_ / "sjis.txt", "FontName=Noto Sans CJK JP\r\n"},
      {"page limit reached", WriteText("limited.txt", NumberedLines(600)), "MaxPage=7\r\n"},
      {"notation, its state at page starts", WriteText("notated.txt", NotatedLines()),
       "FontName=Noto Sans CJK JP\r\nNotation=aozora\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const SeenText measured = Measured(c.text, c.settings);
    ASSERT_GT(measured.names.size(), 3u);
    EXPECT_TRUE(IndexFiles().empty()) << "PageIndex=0 wrote into the index folder";

    EXPECT_EQ(SeeEnds(Plugin(), c.text), measured);  // measured, then kept
    ASSERT_EQ(IndexFiles().size(), 1u);
    const IndexFileWatch watch(indexFolder_);
    // Pages first, as a viewer that unloads the plug-in after every call asks for them.
    for (const std::size_t position : {measured.names.size() - 1, measured.names.size() / 2}) {
      const Page page = ExtractW(c.text, static_cast<intptr_t>(position), FreshPlugin());
      EXPECT_EQ(Fingerprint(page.bytes), measured.fingerprints[position]) << "page " << position;
    }
    EXPECT_EQ(SeeEnds(Plugin(), c.text), measured);
    EXPECT_TRUE(watch.Taken());
    fs::remove_all(indexFolder_);
  }
}

// The same text by another form of its path: in other letters' case where
// paths ignore it, through "." elsewhere.
fs::path AnotherFormOf(const fs::path& path) {
#if defined(_WIN32)
  std::wstring text = path.wstring();
  for (wchar_t& c : text) c = c >= L'a' && c <= L'z' ? c - 32 : c;
  return fs::path(text);
#else
  return path.parent_path() / "." / path.filename();
#endif
}

// The lines of `before` with two of them, from `from` on, made one of the
// same length: every page after them begins a line earlier.
std::string JoinTwoLines(std::string text, std::string_view from) {
  const std::size_t at = text.find(from);
  const std::size_t end = text.find('\n', text.find('\n', at) + 1);
  text.replace(at, end - at, end - at, 'x');
  return text;
}

TEST_F(PageIndexTest, ATextOrASettingChangedSinceTheListingIsMeasuredAgain) {
  const std::string small = Utf8(NumberedLines(300));
  // Past the 64 KiB at either end that keys once hashed.
  const std::string large = Utf8(NumberedLines(7000));
  // Pages end at the notes with notation, and not without.
  std::string notated;
  for (int i = 0; i < 300; ++i) notated += "Line " + std::to_string(i) + (i % 7 ? "\n" : "\n［＃改ページ］\n");
  using Change = std::function<fs::path(const fs::path&)>;
  const auto rewrite = [](std::string content, bool keepTime) -> Change {
    return [content, keepTime](const fs::path& text) {
      const fs::file_time_type listed = fs::last_write_time(text);
      WriteFile(text, content);
      // Within the file system's time resolution, or well past it.
      fs::last_write_time(text, keepTime ? listed : listed + std::chrono::seconds(2));
      return text;
    };
  };
  const Change same = [](const fs::path& text) { return text; };
  struct Case {
    const char* name;
    const std::string& listed;
    Change change;
    std::string_view settings;  // after the change
    bool kept;
  };
  const Case cases[] = {
      {"size", small, rewrite(small + "One more line\n", false), "", false},
      {"last-write time, an edit between the ends", large, rewrite(JoinTwoLines(large, "Line 3500 "), false), "",
       false},
      {"content only, size and time kept", small, rewrite(JoinTwoLines(small, "Line 0100 "), true), "", false},
      {"content only, in the middle of a long text", large, rewrite(JoinTwoLines(large, "Line 3500 "), true), "",
       false},
      {"width", small, same, "BmpWidth=90\r\n", false},  // lines wrap
      {"height", small, same, "BmpHeight=190\r\n", false},
      {"margin", small, same, "Margin=12\r\n", false},
      {"font", small, same, "FontName=Noto Sans CJK JP\r\n", false},
      {"font size", small, same, "FontSize=11\r\n", false},
      {"page limit", small, same, "MaxPage=4\r\n", false},
      {"notation", notated, same, "Notation=aozora\r\n", false},
      {"vertical pages", small, same, "Vertical=1\r\n", false},
      {"colours only", small, same, "BGColor=BLACK\r\nFontColor=LIGHT_GRAY\r\n", true},
      {"another form of the path", small, AnotherFormOf, "", true},
  };
  int number = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path text = texts_ / ("text" + std::to_string(number++) + ".txt");
    WriteFile(text, c.listed);
    UsePageSettings("");
    const std::optional<SeenText> before = SeeText(Plugin(), text, {});
    ASSERT_TRUE(before);
    ASSERT_EQ(IndexFiles().size(), 1u);
    const IndexFileWatch watch(indexFolder_);

    const fs::path listedAs = c.change(text);
    const SeenText measured = Measured(listedAs, c.settings);
    if (!c.kept) {
      EXPECT_NE(measured.names, before->names) << "a change that moves no page proves nothing";
      // The first page whose lines moved, as a viewer started afresh asks
      // for it: its first call, with the index as the change left it.
      const auto moved = static_cast<std::size_t>(
          std::mismatch(measured.names.begin(), measured.names.end(), before->names.begin(), before->names.end())
              .first -
          measured.names.begin());
      if (moved < measured.names.size()) {
        UsePageSettings(c.settings, false);
        const Page measuredPage = ExtractW(listedAs, static_cast<intptr_t>(moved));
        UsePageSettings(c.settings);
        const Page drawn = ExtractW(listedAs, static_cast<intptr_t>(moved), FreshPlugin());
        EXPECT_EQ(drawn.code, SUSIE_SUCCESS);
        EXPECT_EQ(Fingerprint(drawn.bytes), Fingerprint(measuredPage.bytes)) << "page " << moved;
      }
    }
    const std::optional<SeenText> after = SeeText(Plugin(), listedAs, {});
    ASSERT_TRUE(after);
    EXPECT_EQ(watch.Taken(), c.kept);
    EXPECT_EQ(after->names, measured.names);
    fs::remove_all(indexFolder_);
  }
}

TEST_F(PageIndexTest, AnIndexFolderThatFailsNeverChangesAListingOrAPage) {
  const fs::path text = WriteText("story.txt", NumberedLines(600));
  const SeenText measured = Measured(text);
  // Every index file overwritten with bytes of the same length.
  const auto damage = [&](const std::function<std::string(const std::string&)>& damaged) {
    return [&, damaged] {
      ASSERT_TRUE(SeeText(Plugin(), text, {}));
      for (const fs::path& file : IndexFiles()) WriteFile(file, damaged(ReadFile(file)));
    };
  };
  struct Case {
    const char* name;
    std::function<void()> prepare;
    bool usableAfter;  // the next listing keeps the text's listing there
  };
  const Case cases[] = {
      {"a file where the folder would be", [&] { WriteFile(indexFolder_.parent_path(), "not a folder"); }, false},
      {"garbage", damage([](const std::string& bytes) { return std::string(bytes.size(), '\xA5'); }), true},
      {"cut short", damage([](const std::string& bytes) { return bytes.substr(0, bytes.size() / 2); }), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.prepare();
    EXPECT_EQ(SeeEnds(FreshPlugin(), text), measured);
    const std::size_t last = measured.names.size() - 1;
    EXPECT_EQ(Fingerprint(ExtractW(text, static_cast<intptr_t>(last), FreshPlugin()).bytes),
              measured.fingerprints[last]);
    if (c.usableAfter) {
      const IndexFileWatch watch(indexFolder_);
      EXPECT_EQ(SeeEnds(FreshPlugin(), text), measured);
      EXPECT_TRUE(watch.Taken()) << "the damaged file was not replaced";
    } else {
      EXPECT_TRUE(IndexFiles().empty());
    }
    fs::remove_all(indexFolder_.parent_path());
  }
}

TEST_F(PageIndexTest, TwoProcessesListingTheSameTextAtOnceSeeWhatMeasuringGives) {
  const fs::path text = texts_ / "shared.txt";
  const fs::path expected = temp_ / "expected.txt";
  // Both processes measure and store at once, then both take the index, then
  // both find it out of date.
  for (const int lines : {3000, 3000, 2900}) {
    SCOPED_TRACE(lines);
    if (!fs::exists(text) || fs::file_size(text) != Utf8(NumberedLines(lines)).size())
      WriteFile(text, Utf8(NumberedLines(lines)));
    WriteSeenTexts(expected, {Measured(text)});
    std::atomic<int> failures{0};
    std::vector<std::thread> viewers;
    for (int viewer = 0; viewer < 2; ++viewer) {
      viewers.emplace_back([&] {
        const ChildOutcome outcome =
            RunChild(ViewerHost(), {"check-pages", Plugin().libraryPath().string(), expected.string(), "0"},
                     std::chrono::seconds(300));
        if (outcome.exitStatus != 0) ++failures;
      });
    }
    for (std::thread& viewer : viewers) viewer.join();
    EXPECT_EQ(failures, 0);
  }
  EXPECT_EQ(IndexFiles().size(), 1u) << "one index for the text, and no temporary file left";
}

TEST_F(PageIndexTest, WithoutTheVariableIndexesGoToTheUsersCacheFolder) {
  environment_.Put(kIndexFolderVariable, nullptr);
#if defined(_WIN32)
  const char* localAppData = std::getenv("LOCALAPPDATA");
  ASSERT_NE(localAppData, nullptr);
  const fs::path folder = fs::path(localAppData) / "folio" / "pages";
#else
  environment_.Put("XDG_CACHE_HOME", (temp_ / "xdg").string().c_str());
  const fs::path folder = temp_ / "xdg" / "folio" / "pages";
#endif
  const fs::path text = WriteText("story.txt", NumberedLines(100));
  UsePageSettings("");
  const auto filesThere = [&] {
    std::set<fs::path> files;
    if (fs::is_directory(folder))
      for (const fs::directory_entry& entry : fs::directory_iterator(folder)) files.insert(entry.path());
    return files;
  };
  const std::set<fs::path> before = filesThere();
  ASSERT_TRUE(SeeText(Plugin(), text, {}));
  std::vector<fs::path> added;
  for (const fs::path& file : filesThere())
    if (!before.contains(file)) added.push_back(file);
  ASSERT_EQ(added.size(), 1u);
  EXPECT_EQ(added[0].extension(), ".pages");
  fs::remove(added[0]);
}

}  // namespace
}  // namespace folio::testing
