// Path splitting by layout, and the case-insensitive name list.
#include "oracle/client/ClientLayout.h"
#include "oracle/client/SortedNameList.h"

#include <gtest/gtest.h>

namespace oracle {
namespace {

struct SplitCase {
  const char* path;
  const char* dir;
  const char* filePath;
  const char* name;
};

TEST(ClientLayout, WindowsPathsSplitAtBackslashAndDriveColon) {
  const ClientLayout layout = ClientLayout::Windows();
  const SplitCase cases[] = {
      {"C:\\ora\\bin\\oci.dll", "C:\\ora\\bin", "C:\\ora\\bin\\", "oci.dll"},
      {"C:\\oci.dll", "C:\\", "C:\\", "oci.dll"},
      {"C:oci.dll", "C:", "C:", "oci.dll"},
      {"\\oci.dll", "\\", "\\", "oci.dll"},
      {"oci.dll", "", "", "oci.dll"},
      {"\\\\server\\share\\tnsnames.ora", "\\\\server\\share", "\\\\server\\share\\",
       "tnsnames.ora"},
      {"C:\\ora\\", "C:\\ora", "C:\\ora\\", ""},
  };
  for (const SplitCase& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(layout.extractFileDir(c.path), c.dir);
    EXPECT_EQ(layout.extractFilePath(c.path), c.filePath);
    EXPECT_EQ(layout.extractFileName(c.path), c.name);
  }
}

TEST(ClientLayout, PosixPathsSplitAtSlashOnly) {
  const ClientLayout layout = ClientLayout::Posix();
  const SplitCase cases[] = {
      {"/opt/oracle/lib/libclntsh.so", "/opt/oracle/lib", "/opt/oracle/lib/", "libclntsh.so"},
      {"/libclntsh.so", "/", "/", "libclntsh.so"},
      {"libclntsh.so", "", "", "libclntsh.so"},
      {"/a:b/c.so", "/a:b", "/a:b/", "c.so"},
  };
  for (const SplitCase& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(layout.extractFileDir(c.path), c.dir);
    EXPECT_EQ(layout.extractFilePath(c.path), c.filePath);
    EXPECT_EQ(layout.extractFileName(c.path), c.name);
  }
}

TEST(SortedNameList, SortsAndIgnoresDuplicatesWithoutRegardToCase) {
  SortedNameList list;
  EXPECT_TRUE(list.add("prod", 1));
  EXPECT_TRUE(list.add("Alpha", 2));
  EXPECT_FALSE(list.add("PROD", 3));
  EXPECT_TRUE(list.add("beta"));
  EXPECT_TRUE(list.add("A_B"));
  EXPECT_TRUE(list.add("AB"));
  // Punctuation sorts before letters, as the platform's case-insensitive collation has it.
  EXPECT_EQ(list.names(), (std::vector<std::string>{"A_B", "AB", "Alpha", "beta", "prod"}));
  EXPECT_TRUE(list.contains("ALPHA"));
  EXPECT_EQ(list.begin()->second, 0);
  EXPECT_EQ(std::prev(list.end())->second, 1);  // the first spelling and its tag stay
}

}  // namespace
}  // namespace oracle
