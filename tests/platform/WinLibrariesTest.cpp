#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

#include "platform/WinLibraries.h"
#include "support/TempFolder.h"

namespace platform {
namespace {

// The sample DLL is built beside this program.
std::string sampleLibrary() {
  wchar_t self[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  return (std::filesystem::path(self).parent_path() / DBL_SAMPLE_LIBRARY_NAME).string();
}

TEST(WinLibraries, LoadsFindsSymbolsAndKnowsItsPath) {
  WinLibraries libraries;
  const LoadResult loaded = libraries.load(sampleLibrary());
  ASSERT_NE(loaded.handle, nullptr) << loaded.error;
  EXPECT_TRUE(loaded.error.empty());

  using Answer = int (*)();
  auto answer = reinterpret_cast<Answer>(libraries.symbol(loaded.handle, "dbl_sample_answer"));
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer(), 42);
  EXPECT_EQ(libraries.symbol(loaded.handle, "no_such_export"), nullptr);

  EXPECT_TRUE(std::filesystem::equivalent(libraries.pathOf(loaded.handle), sampleLibrary()));
  libraries.free(loaded.handle);
}

TEST(WinLibraries, FailuresCarryTheFileAndTheLoadersOwnWords) {
  testsupport::TempFolder folder;
  // Not a DLL at all: the loader says so in words of its own (a different reason than missing).
  const std::string notADll = folder.file("garbage.dll");
  testsupport::TempFolder::write(notADll, "this is text, not a program");

  WinLibraries libraries;
  for (const std::string& path : {folder.file("nothing.dll"), notADll}) {
    SCOPED_TRACE(path);
    const LoadResult failed = libraries.load(path);
    EXPECT_EQ(failed.handle, nullptr);
    ASSERT_GT(failed.error.size(), path.size() + 2);
    EXPECT_EQ(failed.error.compare(0, path.size() + 2, path + ": "), 0) << failed.error;
    // FormatMessage ends its text with CR LF; the message is one line in the layer's texts.
    EXPECT_EQ(failed.error.find_first_of("\r\n"), std::string::npos) << failed.error;
  }
  EXPECT_NE(libraries.load(folder.file("nothing.dll")).error, libraries.load(notADll).error);

  const LoadResult empty = libraries.load("");
  EXPECT_EQ(empty.handle, nullptr);
  EXPECT_FALSE(empty.error.empty());

  EXPECT_EQ(libraries.symbol(nullptr, "dbl_sample_answer"), nullptr);
  EXPECT_EQ(libraries.pathOf(nullptr), "");
  libraries.free(nullptr);
}

TEST(WinLibraries, SystemErrorTextsAreTrimmedAndNeverEmpty) {
  const std::string notFound = systemErrorText(ERROR_MOD_NOT_FOUND);
  EXPECT_FALSE(notFound.empty());
  EXPECT_NE(notFound.back(), '\n');
  EXPECT_NE(notFound.back(), '\r');
  EXPECT_NE(notFound.back(), ' ');
  // A code without a text still says which code it was.
  EXPECT_EQ(systemErrorText(0x2FFFFFFF), "error 0x2FFFFFFF");
}

}  // namespace
}  // namespace platform
