#include "page_store.h"

#include <fstream>

#include "result_messages.h"

namespace folio::cli {
namespace {

constexpr std::size_t kBmpHeaderBytes = 14;

// A page's name comes from the plug-in; it must not lead out of the folder.
bool IsPlainFileName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\:") == std::string::npos;
}

// The listing gives the block's size; the file's own header must agree.
bool IsBmpOfSize(const unsigned char* bytes, std::uint64_t size) {
  if (size < kBmpHeaderBytes || bytes[0] != 'B' || bytes[1] != 'M') return false;
  const std::uint64_t recorded = bytes[2] | bytes[3] << 8 | bytes[4] << 16 | std::uint64_t(bytes[5]) << 24;
  return recorded == size;
}

std::vector<std::string> NamesOf(const std::vector<Page>& pages) {
  std::vector<std::string> names;
  for (const Page& page : pages) names.push_back(page.name);
  return names;
}

class BmpFolder final : public PageStore {
 public:
  explicit BmpFolder(const ExtractRequest& request) : request_(request), textFile_(PathToWide(request.textFile)) {}

  std::string Prepare(const std::vector<Page>& pages) override {
    if (std::string error = MakeFolder(request_.target); !error.empty()) return error;
    return CheckTargets(NamesOf(pages), request_.target, request_.force);
  }

  std::string Write(const Page& page) override {
    const std::filesystem::path target = request_.target / PathFromUtf8(page.name);
    std::error_code removeError;
    if (request_.force) std::filesystem::remove(target, removeError);
    if (removeError) return "can't replace " + PathToUtf8(target) + ": " + removeError.message();
    return request_.inMemory ? WriteFromMemory(page, target) : WriteThroughPlugin(page);
  }

  std::string Finish() override { return {}; }

 private:
  std::string WriteThroughPlugin(const Page& page) const {
    WideText folder = PathToWide(request_.target);
    const int result = request_.plugin.GetFileW(textFile_.c_str(), static_cast<intptr_t>(page.position),
                                                folder.data(), 0, nullptr, 0);
    return result == SUSIE_SUCCESS ? std::string() : ResultMessage(result);
  }

  std::string WriteFromMemory(const Page& page, const std::filesystem::path& target) const {
    PluginBlock block(request_.plugin);
    if (std::string error = FetchPage(request_, page, block); !error.empty()) return error;
    std::ofstream file(target, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(block.bytes()), static_cast<std::streamsize>(page.size));
    file.close();
    return file ? std::string() : "can't write " + PathToUtf8(target);
  }

  const ExtractRequest& request_;
  WideText textFile_;
};

}  // namespace

std::unique_ptr<PageStore> OpenBmpFolder(const ExtractRequest& request) {
  return std::make_unique<BmpFolder>(request);
}

std::string FetchPage(const ExtractRequest& request, const Page& page, PluginBlock& block) {
  const int result =
      request.plugin.GetFileW(PathToWide(request.textFile).c_str(), static_cast<intptr_t>(page.position),
                              reinterpret_cast<SusieWideChar*>(block.out()), SUSIE_OUTPUT_TO_MEMORY, nullptr, 0);
  if (result != SUSIE_SUCCESS) return ResultMessage(result);
  if (!block || !IsBmpOfSize(block.bytes(), page.size))
    return "the plug-in handed over something other than the BMP file it listed";
  return {};
}

std::string CheckTargets(const std::vector<std::string>& names, const std::filesystem::path& folder, bool force) {
  for (const std::string& name : names) {
    if (!IsPlainFileName(name)) return "the plug-in named a page '" + name + "', not a plain file name";
    const std::filesystem::path target = folder / PathFromUtf8(name);
    if (!force && std::filesystem::exists(std::filesystem::symlink_status(target))) {
      return PathToUtf8(target) + " already exists (--force replaces it)";
    }
  }
  return {};
}

std::string MakeFolder(const std::filesystem::path& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error || !std::filesystem::is_directory(folder)) {
    return "can't make the folder " + PathToUtf8(folder) + (error ? ": " + error.message() : "");
  }
  return {};
}

}  // namespace folio::cli
