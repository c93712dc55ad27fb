// A Windows machine in memory for the discovery and loading tests of the Windows layout: a .reg
// registry, a file system with backslash paths, an environment and a loader serving described
// libraries. Installing it swaps the platform services and resets the binding to that layout.
#pragma once

#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "BindingReset.h"
#include "support/FakeFileSystem.h"
#include "FakeLibraries.h"
#include "platform/RegFileRegistry.h"
#include "platform/Services.h"
#include "platform/FakeProcess.h"

namespace oracle::testing {

class WindowsMachine {
 public:
  WindowsMachine() { process.cwd = "C:\\work"; }
  ~WindowsMachine() {
    if (services_) ResetBinding();
  }

  testsupport::FakeFileSystem files{'\\', true};
  platform::testing::FakeProcess process;
  FakeLibraries libraries{[this] { return process.cwd; }};
  std::string registryText;  // more .reg lines, written after the values set below

  // A string value below HKEY_LOCAL_MACHINE; keys are written in the order first named.
  void regString(const std::string& key, const std::string& name, const std::string& value) {
    section(key) += Quote(name) + "=" + Quote(value) + "\r\n";
  }
  void regDword(const std::string& key, const std::string& name, unsigned value) {
    char hex[9];
    std::snprintf(hex, sizeof hex, "%08x", value);
    section(key) += Quote(name) + "=dword:" + hex + "\r\n";
  }

  // A usable home folder: the folder with its bin subfolder.
  void addHome(const std::string& folder) { files.addDirectory(folder + "\\bin"); }
  // A library file that the loader serves with the given exports.
  void addLibrary(const std::string& path, FakeLibraries::Library library) {
    files.addFile(path);
    libraries.add(path, std::move(library));
  }

  // Builds the registry and swaps the services; call after describing the machine.
  void install() {
    registry_ = std::make_unique<platform::RegFileRegistry>(
        platform::RegText{"Windows Registry Editor Version 5.00\r\n\r\n" + RegistryBody()});
    platform::Services replacements;
    replacements.registry = registry_.get();
    replacements.fileSystem = &files;
    replacements.process = &process;
    replacements.libraries = &libraries;
    services_.emplace(replacements);
    ResetBinding(ClientLayout::Windows());
  }

 private:
  static std::string Quote(const std::string& text) {
    std::string quoted = "\"";
    for (char c : text) {
      if (c == '\\' || c == '"') quoted += '\\';
      quoted += c;
    }
    return quoted + "\"";
  }
  std::string& section(const std::string& key) {
    for (auto& [name, lines] : sections_) {
      if (name == key) return lines;
    }
    sections_.emplace_back(key, "");
    return sections_.back().second;
  }
  std::string RegistryBody() const {
    std::string body;
    for (const auto& [key, lines] : sections_) {
      body += "[HKEY_LOCAL_MACHINE\\" + key + "]\r\n" + lines + "\r\n";
    }
    return body + registryText;
  }

  std::vector<std::pair<std::string, std::string>> sections_;
  std::unique_ptr<platform::RegFileRegistry> registry_;
  std::optional<platform::ScopedServices> services_;
};

// Every export of the groups given.
inline std::set<std::string> Exports(std::initializer_list<TEntryGroup> groups) {
  std::set<std::string> names;
  for (TEntryGroup group : groups) names.merge(GroupNames(group));
  return names;
}

inline std::set<std::string> Oci7Exports() { return Exports({egOCI7, egOlog, egOpinit}); }
inline std::set<std::string> AllExports() {
  return Exports({egOCI7, egOlog, egOpinit, egNet8, egOciep, egNet81, egNet9, egSessionPool});
}

}  // namespace oracle::testing
