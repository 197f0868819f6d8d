#include "support/test_files.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace folio::testing {

void WriteFile(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("can't write " + path.string());
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::u16string WidePath(const std::filesystem::path& path) {
  return path.u16string();
}

void WriteSettings(const std::filesystem::path& iniPath, std::string_view lines) {
  WriteFile(iniPath, "[SystemSetting]\r\n" + std::string(lines));
}

}  // namespace folio::testing
