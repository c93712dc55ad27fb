// A temporary folder for one test, removed with everything in it afterwards.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

namespace testsupport {

class TempFolder {
 public:
  TempFolder() {
#ifdef _WIN32
    // No mkdtemp: a name from the clock and a counter, taken only if the folder is new.
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
      const std::filesystem::path candidate =
          std::filesystem::temp_directory_path() /
          ("dbl-test-" + std::to_string(stamp) + "-" + std::to_string(counter.fetch_add(1)));
      std::error_code error;
      if (std::filesystem::create_directory(candidate, error)) path_ = candidate.string();
    }
    if (path_.empty()) ADD_FAILURE() << "no temporary folder could be made";
#else
    std::string pattern = (std::filesystem::temp_directory_path() / "dbl-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "mkdtemp failed";
    path_ = pattern;
#endif
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

  static void write(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
  }
  static std::string read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string content;
    char buffer[4096];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
      content.append(buffer, static_cast<std::size_t>(in.gcount()));
    }
    return content;
  }

 private:
  std::string path_;
};

}  // namespace testsupport
