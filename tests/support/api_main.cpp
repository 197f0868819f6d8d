// Runs the API tests against the plug-in named by --plugin PATH, with the
// viewer_host program named by --host PATH.
#include <gtest/gtest.h>

#include <iostream>
#include <memory>
#include <string>

#include "support/child_process.h"
#include "support/plugin_library.h"

namespace folio::testing {
namespace {
std::unique_ptr<PluginLibrary> plugin;
std::filesystem::path viewerHost;
}  // namespace

PluginLibrary& Plugin() {
  return *plugin;
}

const std::filesystem::path& ViewerHost() {
  return viewerHost;
}

}  // namespace folio::testing

namespace {

// Under Wine a Linux path arrives as it is; its Windows form is on drive Z:.
std::filesystem::path FromCommandLine(std::string path) {
#if defined(_WIN32)
  if (!path.empty() && path.front() == '/') path = "Z:" + path;
#endif
  return std::filesystem::path(path);
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  std::string pluginPath, hostPath;
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::string(argv[i]) == "--plugin") pluginPath = argv[i + 1];
    if (std::string(argv[i]) == "--host") hostPath = argv[i + 1];
  }
  if (pluginPath.empty() || hostPath.empty()) {
    std::cerr << "usage: folio_api_tests --plugin PATH --host PATH [gtest options]\n";
    return 2;
  }
  // Page indexes go into a folder of the run's own, never the user's cache.
  const folio::testing::TempFolder indexFolder;
  folio::testing::PutEnvironmentVariable("FOLIO_PAGE_INDEX_FOLDER", (indexFolder / "pages").string().c_str());
  folio::testing::plugin = std::make_unique<folio::testing::PluginLibrary>(FromCommandLine(pluginPath));
  folio::testing::viewerHost = FromCommandLine(hostPath);
  const int result = RUN_ALL_TESTS();
  folio::testing::plugin.reset();
  return result;
}
