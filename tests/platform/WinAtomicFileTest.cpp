// What only Windows does to a writer: another program holding the file open without sharing its
// deletion (an editor, a virus scanner, a reader of another program) makes the replacement fail
// for a moment. The write waits that out instead of losing the change.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/IniFileProfile.h"
#include "support/TempFolder.h"

namespace platform {
namespace {

using testsupport::TempFolder;

HANDLE holdOpen(const std::string& path) {
  // Sharing reading only: neither ReplaceFile nor MoveFileEx may touch the file meanwhile.
  return ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

TEST(WinAtomicFile, AWriteOutlastsASharingViolation) {
  TempFolder folder;
  const std::string file = folder.file("dblogon.ini");
  TempFolder::write(file, "[Logon]\n0=old\n");
  HANDLE holder = holdOpen(file);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);

  // The plain replacement is refused while the holder keeps the file.
  TempFolder::write(folder.file("other.tmp"), "x");
  EXPECT_EQ(
      ::MoveFileExA(folder.file("other.tmp").c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING), 0);

  std::thread release([holder] {
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    ::CloseHandle(holder);
  });
  IniFileProfile ini;
  const auto start = std::chrono::steady_clock::now();
  const bool written = ini.writeString(file, "Logon", "0", "new");
  const auto waited = std::chrono::steady_clock::now() - start;
  release.join();
  EXPECT_TRUE(written);
  EXPECT_EQ(TempFolder::read(file), "[Logon]\n0=new\n");
  EXPECT_GE(waited, std::chrono::milliseconds(300));  // it did wait for the holder
}

TEST(WinAtomicFile, ReadersSeeOneVersionOrTheOtherWhileWritersRun) {
  TempFolder folder;
  const std::string file = folder.file("dblogon.ini");
  IniFileProfile ini;
  ASSERT_TRUE(ini.writeString(file, "S", "k", std::string(2000, 'a')));
  std::atomic<bool> done{false};
  std::thread writer([&] {
    for (int i = 0; i < 40; ++i)
      EXPECT_TRUE(ini.writeString(file, "S", "k", std::string(2000, i % 2 == 0 ? 'b' : 'a')));
    done = true;
  });
  int reads = 0;
  while (!done) {
    const std::string value = ini.readString(file, "S", "k", "missing");
    ASSERT_EQ(value.size(), 2000u) << value;
    EXPECT_EQ(value.find_first_not_of(value[0]), std::string::npos);
    ++reads;
    // A reader holds the file for a moment only, as the program's readers do; a file held open
    // without a pause cannot be replaced on Windows at all.
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  writer.join();
  EXPECT_GT(reads, 0);
}

}  // namespace
}  // namespace platform
