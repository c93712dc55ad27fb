// Loaders for the loading tests. FakeLibraries serves libraries described in memory (for the
// Windows layout, whose files are fake too); CountingLibraries passes every call on to another
// loader and counts the loads, for the concurrent first-use test.
#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>

#include "platform/Libraries.h"

namespace oracle::testing {

class FakeLibraries : public platform::Libraries {
 public:
  struct Library {
    std::set<std::string> exports;
    // Non-empty: the library loads only while this is the current directory, as a library whose
    // dependencies lie beside it.
    std::string loadsOnlyFrom;
  };

  // The current directory, asked when a library loads only from its own folder.
  explicit FakeLibraries(std::function<std::string()> currentDirectory)
      : currentDirectory_(std::move(currentDirectory)) {}

  void add(const std::string& path, Library library) { libraries_[path] = std::move(library); }
  int loads() const { return loads_; }
  int frees() const { return frees_; }

  // Calls the served start functions received: "opinit", "OCIInitialize", with the last mode.
  static int Calls(const std::string& name);
  static unsigned LastMode(const std::string& name);
  static void ResetCalls();

  platform::LoadResult load(const std::string& path) override;
  void* symbol(platform::LibraryHandle library, const char* name) override;
  void free(platform::LibraryHandle library) override;
  std::string pathOf(platform::LibraryHandle library) override;

 private:
  std::function<std::string()> currentDirectory_;
  std::map<std::string, Library> libraries_;
  int loads_ = 0;
  int frees_ = 0;
};

class CountingLibraries : public platform::Libraries {
 public:
  explicit CountingLibraries(platform::Libraries& inner) : inner_(inner) {}
  int loads() const { return loads_.load(); }

  platform::LoadResult load(const std::string& path) override {
    ++loads_;
    return inner_.load(path);
  }
  void* symbol(platform::LibraryHandle library, const char* name) override {
    return inner_.symbol(library, name);
  }
  void free(platform::LibraryHandle library) override { inner_.free(library); }
  std::string pathOf(platform::LibraryHandle library) override { return inner_.pathOf(library); }

 private:
  platform::Libraries& inner_;
  std::atomic<int> loads_{0};
};

}  // namespace oracle::testing
