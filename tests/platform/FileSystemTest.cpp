#include <gtest/gtest.h>

#include <filesystem>

#include "support/FakeFileSystem.h"
#ifdef _WIN32
#include "platform/WinFileSystem.h"
#else
#include "platform/PosixFileSystem.h"
#endif
#include "support/TempFolder.h"
#include "platform/Wildcard.h"

namespace platform {
namespace {

TEST(Wildcard, MatchesLikeTheWin32FileSearch) {
  struct Case {
    const char* pattern;
    const char* name;
    bool match;
  };
  const Case cases[] = {
      {"ora*.dll", "ora73.dll", true},
      {"ora*.dll", "ORA805.DLL", true},  // letter case does not count
      {"ORA*.DLL", "ora805.dll", true},
      {"ora*.dll", "ora.dll", true},  // * may match nothing
      {"ora*.dll", "oci.dll", false},
      {"ora*.dll", "ora73.dll.bak", false},
      {"ora??.dll", "ora73.dll", true},
      {"ora??.dll", "ora805.dll", false},  // ? is exactly one character
      {"ora??.dll", "ora7.dll", false},
      {"*", "", true},
      {"*", "anything", true},
      {"", "", true},
      {"", "x", false},
      {"a*b*c", "aXXbYYc", true},
      {"a*b*c", "aXXbYY", false},
      {"*a*a*a*a*b", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", false},  // no exponential blow-up
      {"*.*", "README", true},  // "*.*" matches every name, as on Windows
      {"*.*", "oci.dll", true},
      {"lib*.*", "libclntsh", true},
      {"*.so", "libclntsh.so", true},
      {"*.so", "libclntsh.so.19.1", false},
      {"libclntsh.so*", "libclntsh.so.19.1", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(wildcardMatch(c.pattern, c.name), c.match) << c.pattern << " vs " << c.name;
  }
}

#ifdef _WIN32
using NativeFileSystem = WinFileSystem;
#else
using NativeFileSystem = PosixFileSystem;
#endif

class NativeFileSystemTest : public ::testing::Test {
 protected:
  testsupport::TempFolder folder_;
  NativeFileSystem fs_;
};

TEST_F(NativeFileSystemTest, ExistsTellsFilesFromFolders) {
  testsupport::TempFolder::write(folder_.file("oci.dll"), "x");
  std::filesystem::create_directory(folder_.file("bin"));
#ifndef _WIN32
  std::filesystem::create_symlink(folder_.file("oci.dll"), folder_.file("link.dll"));
  EXPECT_TRUE(fs_.fileExists(folder_.file("link.dll")));
#endif

  EXPECT_TRUE(fs_.fileExists(folder_.file("oci.dll")));
  EXPECT_FALSE(fs_.fileExists(folder_.file("bin")));
  EXPECT_FALSE(fs_.fileExists(folder_.file("missing")));
  EXPECT_FALSE(fs_.fileExists(""));
  EXPECT_TRUE(fs_.directoryExists(folder_.file("bin")));
  EXPECT_TRUE(fs_.directoryExists(folder_.path()));
  EXPECT_FALSE(fs_.directoryExists(folder_.file("oci.dll")));
  EXPECT_FALSE(fs_.directoryExists(folder_.file("missing")));
  EXPECT_FALSE(fs_.directoryExists(""));
}

TEST_F(NativeFileSystemTest, FindFilesMatchesNamesSortedAndSkipsFolders) {
  for (const char* name : {"ora805.dll", "ORA73.DLL", "oci.dll", "ora.txt"}) {
    testsupport::TempFolder::write(folder_.file(name), "x");
  }
  std::filesystem::create_directory(folder_.file("ora_dir.dll"));
  EXPECT_EQ(fs_.findFiles(folder_.path(), "ora*.dll"),
            (std::vector<std::string>{"ORA73.DLL", "ora805.dll"}));
  EXPECT_EQ(fs_.findFiles(folder_.path(), "*").size(), 4u);
  EXPECT_TRUE(fs_.findFiles(folder_.path(), "none*").empty());
  EXPECT_TRUE(fs_.findFiles(folder_.file("missing"), "*").empty());
}

TEST_F(NativeFileSystemTest, ReadFileGivesTheBytesOrFalse) {
  const std::string bytes("line\r\n\0binary\xff", 14);
  testsupport::TempFolder::write(folder_.file("data"), bytes);
  std::string content = "stale";
  ASSERT_TRUE(fs_.readFile(folder_.file("data"), content));
  EXPECT_EQ(content, bytes);
  EXPECT_FALSE(fs_.readFile(folder_.file("missing"), content));
  EXPECT_FALSE(fs_.readFile(folder_.path(), content));
}

// The fake that other modules' tests use must answer like the real one for the same tree.
TEST_F(NativeFileSystemTest, FakeFileSystemAnswersLikeTheRealOne) {
  testsupport::FakeFileSystem fake('/', false);
  for (const char* name : {"bin/oci.dll", "bin/ORA73.dll", "bin/ora805.dll", "bin/sub/ora9.dll",
                           "network/admin/tnsnames.ora"}) {
    std::filesystem::create_directories(std::filesystem::path(folder_.file(name)).parent_path());
    testsupport::TempFolder::write(folder_.file(name), name);
    fake.addFile(folder_.file(name), name);
  }
  std::filesystem::create_directory(folder_.file("empty"));
  fake.addDirectory(folder_.file("empty"));
  for (const char* path : {"bin", "bin/oci.dll", "bin/sub", "network", "network/admin/tnsnames.ora",
                           "empty", "missing", "bin/missing.dll"}) {
    SCOPED_TRACE(path);
    const std::string full = folder_.file(path);
    EXPECT_EQ(fake.fileExists(full), fs_.fileExists(full));
    EXPECT_EQ(fake.directoryExists(full), fs_.directoryExists(full));
    for (const char* pattern : {"ora*.dll", "*", "*.ora", "OCI.DLL"}) {
      EXPECT_EQ(fake.findFiles(full, pattern), fs_.findFiles(full, pattern)) << pattern;
    }
    std::string a;
    std::string b;
    EXPECT_EQ(fake.readFile(full, a), fs_.readFile(full, b));
    EXPECT_EQ(a, b);
  }
}

}  // namespace
}  // namespace platform
