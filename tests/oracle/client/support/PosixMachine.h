// A POSIX machine for the discovery tests: real folders under a temporary folder, the real file
// system and loader, an environment of the test's own and a registry (in memory or a file).
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "BindingReset.h"
#include "platform/FakeProcess.h"
#include "platform/RegFileRegistry.h"
#include "platform/Services.h"
#include "support/TempFolder.h"

namespace oracle::testing {

class PosixMachine {
 public:
  PosixMachine() { process.cwd = folder.path(); }
  ~PosixMachine() {
    if (services_) ResetBinding();
  }

  testsupport::TempFolder folder;
  platform::testing::FakeProcess process;
  // The layout the binding is reset to; the Windows build's real-folder tests use Windows'.
  ClientLayout layout = ClientLayout::Posix();

  // A path below the temporary folder, in the system's own separators (the layout's delimiters).
  std::string path(const std::string& relative) const {
#ifdef _WIN32
    std::string native = relative;
    for (char& c : native)
      if (c == '/') c = '\\';
    return folder.path() + "\\" + native;
#else
    return folder.path() + "/" + relative;
#endif
  }
  // Copies a built library to a path below the temporary folder, creating its folders.
  std::string copyLibrary(const std::string& from, const std::string& relative) const {
    const std::string to = path(relative);
    std::filesystem::create_directories(std::filesystem::path(to).parent_path());
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
    return to;
  }
  std::string writeFile(const std::string& relative, const std::string& content) const {
    const std::string to = path(relative);
    std::filesystem::create_directories(std::filesystem::path(to).parent_path());
    testsupport::TempFolder::write(to, content);
    return to;
  }

  // Swaps the environment and the registry (a .reg text, or a file path) and resets the binding.
  void install(const std::string& registryText = "") {
    registry_ = std::make_unique<platform::RegFileRegistry>(platform::RegText{registryText});
    installWith(*registry_);
  }
  void installRegistryFile(const std::string& registryFile) {
    registry_ = std::make_unique<platform::RegFileRegistry>(registryFile);
    installWith(*registry_);
  }

 private:
  void installWith(platform::Registry& registry) {
    platform::Services replacements;
    replacements.registry = &registry;
    replacements.process = &process;
    services_.emplace(replacements);
    ResetBinding(layout);
  }

  std::unique_ptr<platform::RegFileRegistry> registry_;
  std::optional<platform::ScopedServices> services_;
};

}  // namespace oracle::testing
