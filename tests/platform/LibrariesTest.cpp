#include <gtest/gtest.h>

#include <filesystem>

#include "platform/DlLibraries.h"

namespace platform {
namespace {

TEST(DlLibraries, LoadsFindsSymbolsAndKnowsItsPath) {
  DlLibraries libraries;
  const LoadResult loaded = libraries.load(DBL_SAMPLE_LIBRARY);
  ASSERT_NE(loaded.handle, nullptr) << loaded.error;
  EXPECT_TRUE(loaded.error.empty());

  using Answer = int (*)();
  auto answer = reinterpret_cast<Answer>(libraries.symbol(loaded.handle, "dbl_sample_answer"));
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer(), 42);
  EXPECT_EQ(libraries.symbol(loaded.handle, "no_such_export"), nullptr);

  EXPECT_EQ(libraries.pathOf(loaded.handle),
            std::filesystem::canonical(DBL_SAMPLE_LIBRARY).string());
  libraries.free(loaded.handle);
}

TEST(DlLibraries, FailuresCarryTheLoadersReason) {
  DlLibraries libraries;
  const LoadResult missing = libraries.load("/nonexistent-folder/libnothing.so");
  EXPECT_EQ(missing.handle, nullptr);
  EXPECT_NE(missing.error.find("libnothing.so"), std::string::npos) << missing.error;

  const LoadResult empty = libraries.load("");
  EXPECT_EQ(empty.handle, nullptr);
  EXPECT_FALSE(empty.error.empty());

  EXPECT_EQ(libraries.symbol(nullptr, "dbl_sample_answer"), nullptr);
  EXPECT_EQ(libraries.pathOf(nullptr), "");
  libraries.free(nullptr);  // harmless, like FreeLibrary(NULL) failing quietly
}

}  // namespace
}  // namespace platform
