// PNG pages, as files in a folder or in one comic-book archive.
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <system_error>

#include "base/ini_document.h"
#include "comic_book.h"
#include "commands.h"
#include "page_store.h"
#include "png_page.h"
#include "private_folder.h"

namespace folio::cli {
namespace {

std::string PngPage(const ExtractRequest& request, const Page& page, std::vector<unsigned char>& png) {
  PluginBlock block(request.plugin);
  if (std::string error = FetchPage(request, page, block); !error.empty()) return error;
  return PngFromBmp({block.bytes(), static_cast<std::size_t>(page.size)}, png);
}

// The page's name as the plug-in lists it, with the extension of a PNG file.
std::string PngName(const Page& page) {
  return PathToUtf8(PathFromUtf8(page.name).replace_extension(".png"));
}

// Writes `bytes` at `path`; a failure names the file as the user will know it, `shownPath`.
std::string WriteFile(const std::filesystem::path& path, const std::filesystem::path& shownPath,
                      const std::vector<unsigned char>& bytes) {
  const auto failure = [&](int code) {
    return "can't write " + PathToUtf8(shownPath) + ": " + std::generic_category().message(code);
  };
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return failure(errno);
  const bool complete = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  const int writeError = errno;
  if (std::fclose(file) != 0) return failure(complete ? errno : writeError);
  return complete ? std::string() : failure(writeError);
}

// Pages are written into a private folder inside the target folder and moved
// to their names only when all are written, each file replaced whole: a
// failure leaves the folder as it was.
class PngFolder final : public PageStore {
 public:
  explicit PngFolder(const ExtractRequest& request) : request_(request) {}
  ~PngFolder() override {
    staging_.reset();
    std::error_code ignored;
    if (madeFolder_ && !finished_) std::filesystem::remove(request_.target, ignored);  // only when empty
  }

  std::string Prepare(const std::vector<Page>& pages) override {
    madeFolder_ = !std::filesystem::exists(request_.target);
    if (std::string error = MakeFolder(request_.target); !error.empty()) return error;
    std::vector<std::string> names;
    for (const Page& page : pages) names.push_back(PngName(page));
    if (std::string error = CheckTargets(names, request_.target, request_.force); !error.empty()) return error;
    std::string error;
    staging_ = PrivateFolder::Make(request_.target, error);
    return staging_ ? std::string() : "can't write into " + PathToUtf8(request_.target) + ": " + error;
  }

  std::string Write(const Page& page) override {
    std::vector<unsigned char> png;
    if (std::string error = PngPage(request_, page, png); !error.empty()) return error;
    const std::string name = PngName(page);
    if (std::string error = WriteFile(staging_->path() / name, request_.target / name, png); !error.empty())
      return error;
    written_.push_back(name);
    return {};
  }

  std::string Finish() override {
    for (const std::string& name : written_) {
      std::error_code error;
      std::filesystem::rename(staging_->path() / name, request_.target / name, error);
      if (error) return "can't move " + name + " into " + PathToUtf8(request_.target) + ": " + error.message();
    }
    finished_ = true;
    return {};
  }

 private:
  const ExtractRequest& request_;
  std::unique_ptr<PrivateFolder> staging_;
  std::vector<std::string> written_;
  bool madeFolder_ = false;
  bool finished_ = false;
};

// Names that sort in page order, as readers sort them: 001.png, 002.png ...
std::string NumberedName(std::size_t number, std::size_t count) {
  std::string digits = std::to_string(number);
  const std::size_t width = std::max<std::size_t>(3, std::to_string(count).size());
  return std::string(width - digits.size(), '0') + digits + ".png";
}

// Whether the plug-in at `library` sets its pages in columns, turned from
// right to left: its settings beside it say Vertical=1, read as it reads them.
bool PagesInColumns(const std::filesystem::path& library) {
  std::ifstream file(std::filesystem::path(library).replace_extension(".ini"), std::ios::binary);
  const std::string settings((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  return base::FindIniValue(settings, "SystemSetting", "Vertical") == "1";
}

class ComicBookStore final : public PageStore {
 public:
  ComicBookStore(const ExtractRequest& request, std::unique_ptr<ComicBook> book)
      : request_(request), book_(std::move(book)) {}

  std::string Prepare(const std::vector<Page>& pages) override {
    count_ = pages.size();
    rightToLeft_ = PagesInColumns(request_.plugin.path());
    return {};
  }

  std::string Write(const Page& page) override {
    std::vector<unsigned char> png;
    if (std::string error = PngPage(request_, page, png); !error.empty()) return error;
    return book_->AddPage(NumberedName(++added_, count_), std::move(png));
  }

  std::string Finish() override {
    const std::string error = book_->Close({PathToUtf8(request_.textFile.stem()), added_, rightToLeft_});
    return error.empty() ? error : "can't write " + PathToUtf8(request_.target) + ": " + error;
  }

 private:
  const ExtractRequest& request_;
  std::unique_ptr<ComicBook> book_;
  std::size_t count_ = 0;
  std::size_t added_ = 0;
  bool rightToLeft_ = false;
};

// Checked before the text is listed: the archive's folder, and what is there already.
std::string ComicBookTargetProblem(const ExtractRequest& request) {
  const std::string path = PathToUtf8(request.target);
  const std::filesystem::path folder = request.target.parent_path();
  if (!std::filesystem::is_directory(folder))
    return "can't write " + path + ": the folder " + PathToUtf8(folder) + " does not exist";
  const auto status = std::filesystem::symlink_status(request.target);
  if (std::filesystem::is_directory(status)) return "can't write " + path + ": it is a folder";
  if (!request.force && std::filesystem::exists(status)) return path + " already exists (--force replaces it)";
  return {};
}

}  // namespace

std::unique_ptr<PageStore> OpenPngStore(const ExtractRequest& request, PageFormat format, int& status) {
  if (format != PageFormat::ComicBook) return std::make_unique<PngFolder>(request);
  if (std::string problem = ComicBookTargetProblem(request); !problem.empty()) {
    status = Fail(problem);
    return nullptr;
  }
  std::string error;
  auto book = ComicBook::Create(request.target, error);
  if (!book) {
    status = Fail("can't write " + PathToUtf8(request.target) + ": " + error);
    return nullptr;
  }
  return std::make_unique<ComicBookStore>(request, std::move(book));
}

}  // namespace folio::cli
