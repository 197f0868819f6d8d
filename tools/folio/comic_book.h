// A comic-book archive (CBZ): a zip file of page images in reading order and
// a ComicInfo.xml, written by libzip.
#pragma once

#include <zip.h>

#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "comic_info.h"

namespace folio::cli {

class ComicBook {
 public:
  // Nothing is written before Close, which writes a file beside `path` and
  // renames it over `path`: an existing file is replaced whole or not at all.
  static std::unique_ptr<ComicBook> Create(const std::filesystem::path& path, std::string& error);
  ComicBook(const ComicBook&) = delete;
  ComicBook& operator=(const ComicBook&) = delete;
  // An archive never closed leaves no file.
  ~ComicBook();

  // Pages go in the order added; each is stored as it is (PNG is compressed already).
  std::string AddPage(const std::string& name, std::vector<unsigned char> png);
  // Adds the book's description and writes the archive; empty on success.
  std::string Close(const ComicInfo& info);

 private:
  explicit ComicBook(zip_t* archive) : archive_(archive) {}
  std::string Add(const std::string& name, const std::vector<unsigned char>& bytes, zip_int32_t method);
  std::string Error() const;

  zip_t* archive_;
  // libzip reads the entries' bytes only when it writes the archive.
  std::deque<std::vector<unsigned char>> entries_;
};

}  // namespace folio::cli
