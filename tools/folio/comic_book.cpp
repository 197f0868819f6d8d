#include "comic_book.h"

namespace folio::cli {

std::unique_ptr<ComicBook> ComicBook::Create(const std::filesystem::path& path, std::string& error) {
  int code = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
  if (!archive) {
    zip_error_t reason;
    zip_error_init_with_code(&reason, code);
    error = zip_error_strerror(&reason);
    zip_error_fini(&reason);
    return nullptr;
  }
  return std::unique_ptr<ComicBook>(new ComicBook(archive));
}

ComicBook::~ComicBook() {
  if (archive_) zip_discard(archive_);
}

std::string ComicBook::Error() const {
  return zip_strerror(archive_);
}

std::string ComicBook::Add(const std::string& name, const std::vector<unsigned char>& bytes, zip_int32_t method) {
  zip_source_t* source = zip_source_buffer(archive_, bytes.data(), bytes.size(), 0);
  if (!source) return Error();
  const zip_int64_t index = zip_file_add(archive_, name.c_str(), source, ZIP_FL_ENC_UTF_8);
  if (index < 0) {
    zip_source_free(source);
    return Error();
  }
  if (zip_set_file_compression(archive_, static_cast<zip_uint64_t>(index), method, 0) != 0) return Error();
  return {};
}

std::string ComicBook::AddPage(const std::string& name, std::vector<unsigned char> png) {
  entries_.push_back(std::move(png));
  return Add(name, entries_.back(), ZIP_CM_STORE);
}

std::string ComicBook::Close(const ComicInfo& info) {
  const std::string xml = ComicInfoXml(info);
  entries_.emplace_back(xml.begin(), xml.end());
  if (std::string error = Add("ComicInfo.xml", entries_.back(), ZIP_CM_DEFLATE); !error.empty()) return error;
  if (zip_close(archive_) != 0) return Error();  // the archive stays open, for the destructor to discard
  archive_ = nullptr;
  return {};
}

}  // namespace folio::cli
