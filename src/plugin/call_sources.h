// Where one host call gets its text and its settings: each at most once, so
// that everything a call lists or draws comes from one opening of the text
// and one reading of the INI file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "index/page_index_store.h"
#include "platform/files.h"
#include "settings/render_settings.h"

namespace folio::plugin {

// The platform's files, the INI file beside the plug-in and the page index
// store in the user's cache folder; a test's stand-ins elsewhere.
class CallSources {
 public:
  virtual ~CallSources() = default;
  virtual std::optional<platform::InputFile> OpenText(std::u16string_view path) = 0;
  virtual settings::RenderSettings LoadSettings() = 0;
  // None where there is no cache folder.
  virtual std::optional<index::PageIndexStore> OpenPageIndex() = 0;
};

CallSources& SystemSources();

// One call's text file and settings, each fetched when first wanted.
class CallText {
 public:
  CallText(CallSources& sources, std::u16string_view path) : sources_(sources), path_(path) {}

  const std::u16string& path() const noexcept { return path_; }
  // The open text file; null when it can't be opened.
  platform::InputFile* File();
  // Its size and last-write time as opened; none when they can't be read.
  std::optional<platform::FileStamp> Stamp();
  const settings::RenderSettings& Settings();
  std::optional<index::PageIndexStore> OpenPageIndex() { return sources_.OpenPageIndex(); }

 private:
  CallSources& sources_;
  std::u16string path_;
  bool opened_ = false;
  std::optional<platform::InputFile> file_;
  std::optional<settings::RenderSettings> settings_;
};

}  // namespace folio::plugin
