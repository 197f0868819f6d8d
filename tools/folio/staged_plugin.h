// The plug-in reads only the INI file beside itself, named like it.  A run
// with settings of the user's choosing therefore loads a copy of the library
// beside a copy of those settings, in a private folder that goes with the run.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "private_folder.h"

namespace folio::cli {

struct StagedPlugin {
  std::unique_ptr<PrivateFolder> folder;
  std::filesystem::path library;  // the copy, inside `folder`
};

// Nothing in `folder` when the settings file can't be read or the copies
// can't be made; `error` says why.
StagedPlugin StagePlugin(const std::filesystem::path& library, const std::filesystem::path& settings,
                         std::string& error);

}  // namespace folio::cli
