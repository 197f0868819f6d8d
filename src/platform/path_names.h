// Splitting paths into folder, file name and extension, by this platform's
// separators.  Extensions follow PathFindExtensionW: from the last dot of the
// file name, unless a blank follows that dot.
#pragma once

#include <string>
#include <string_view>

namespace folio::platform {

#if defined(_WIN32)
inline constexpr std::u16string_view kPathSeparators = u"\\/";
inline constexpr char16_t kPreferredSeparator = u'\\';
#else
inline constexpr std::u16string_view kPathSeparators = u"/";
inline constexpr char16_t kPreferredSeparator = u'/';
#endif

inline std::u16string_view FileNamePart(std::u16string_view path) {
  const std::size_t separator = path.find_last_of(kPathSeparators);
  return separator == std::u16string_view::npos ? path : path.substr(separator + 1);
}

inline std::u16string_view FolderPart(std::u16string_view path) {
  return path.substr(0, path.size() - FileNamePart(path).size());
}

// The extension of a file name, its dot included; empty when it has none.
inline std::u16string_view ExtensionOf(std::u16string_view fileName) {
  const std::size_t dot = fileName.rfind(u'.');
  if (dot == std::u16string_view::npos || fileName.find(u' ', dot) != std::u16string_view::npos) return {};
  return fileName.substr(dot);
}

inline std::u16string CombinePath(std::u16string_view folder, std::u16string_view name) {
  std::u16string path(folder);
  if (!path.empty() && kPathSeparators.find(path.back()) == std::u16string_view::npos) {
    path.push_back(kPreferredSeparator);
  }
  return path.append(name);
}

}  // namespace folio::platform
