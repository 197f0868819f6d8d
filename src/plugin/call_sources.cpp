#include "plugin/call_sources.h"

namespace folio::plugin {
namespace {

class SystemCallSources final : public CallSources {
 public:
  std::optional<platform::InputFile> OpenText(std::u16string_view path) override {
    return platform::InputFile::Open(path);
  }
  settings::RenderSettings LoadSettings() override { return settings::LoadRenderSettings(); }
  std::optional<index::PageIndexStore> OpenPageIndex() override { return index::OpenUserPageIndexStore(); }
};

}  // namespace

CallSources& SystemSources() {
  static SystemCallSources sources;
  return sources;
}

platform::InputFile* CallText::File() {
  if (!opened_) {
    opened_ = true;
    file_ = sources_.OpenText(path_);
  }
  return file_ ? &*file_ : nullptr;
}

std::optional<platform::FileStamp> CallText::Stamp() {
  platform::InputFile* file = File();
  return file ? file->Stamp() : std::nullopt;
}

const settings::RenderSettings& CallText::Settings() {
  if (!settings_) settings_ = sources_.LoadSettings();
  return *settings_;
}

}  // namespace folio::plugin
