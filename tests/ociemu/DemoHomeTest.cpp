// The demo home the build makes offers every logon outcome under its documented names.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "ociemu/ClientFixture.h"

namespace ociemu::test {
namespace {

struct DemoCase {
  const char* user;
  const char* password;
  const char* database;
  ub4 mode;
  sb4 code;  // 0 for a session
};

void expectDocumentedBehaviour(const std::filesystem::path& home) {
  ScopedEnv tnsAdmin("TNS_ADMIN", nullptr);
  ScopedEnv data("OCIEMU_DATA", nullptr);
  OciClient client((home / "lib" / "libclntsh.so").string());
  const DemoCase cases[] = {
      {"SCOTT", "tiger", "DEMO", OCI_DEFAULT, 0},
      {"scott", "tiger", "demo_a", OCI_DEFAULT, 0},
      {"SCOTT", "tiger", "DEMO_B", OCI_DEFAULT, 0},
      {"SCOTT", "tiger", "SALES", OCI_DEFAULT, 0},
      {"SCOTT", "tiger", "SALES.WORLD", OCI_DEFAULT, 0},
      {"SCOTT", "tiger", "INCLUDED", OCI_DEFAULT, 0},
      {"SCOTT", "tiger", "localhost/demo", OCI_DEFAULT, 0},
      {"SCOTT", "tiger", "NO_SUCH_SERVICE", OCI_DEFAULT, 12514},
      {"SCOTT", "tiger", "REMOTE_HOST", OCI_DEFAULT, 12545},
      {"SCOTT", "tiger", "UNKNOWN_NAME", OCI_DEFAULT, 12154},
      {"SCOTT", "TIGER", "DEMO", OCI_DEFAULT, 1017},
      {"SYSTEM", "manager", "DEMO", OCI_SYSDBA, 0},
      {"OPERATOR", "operator", "DEMO", OCI_SYSOPER, 0},
      {"SCOTT", "tiger", "DEMO", OCI_SYSDBA, 1031},
      {"LOCKED_USER", "locked", "DEMO", OCI_DEFAULT, 28000},
      {"EXPIRED_USER", "expired", "DEMO", OCI_DEFAULT, 28001},
      {"GRACE_USER", "grace", "DEMO", OCI_DEFAULT, 28002},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.user) + "@" + c.database);
    Oci8Session s(client);
    sword rc = s.Attach(c.database);
    if (rc == OCI_SUCCESS) rc = s.Begin(c.user, c.password, c.mode);
    EXPECT_EQ(s.Error().code, c.code) << s.Error().text;
    if (rc == OCI_SUCCESS || rc == OCI_SUCCESS_WITH_INFO) {
      if (c.mode == OCI_DEFAULT && c.code == 0) {
        EXPECT_EQ(Query(s, "select count(*), sum(sal) from emp"), (Rows{{"14", "29025"}}));
      }
      s.LogOff();
    }
  }
}

TEST(DemoHome, EveryNameAndAccountBehavesAsDocumented) {
  expectDocumentedBehaviour(testing::DemoHome());
}

// ociemu-admin makes the same home in any folder, and nothing in it refers to where it was built.
TEST(DemoHome, MadeAnywhereItIsAHomeOfItsOwn) {
  const std::filesystem::path home =
      std::filesystem::temp_directory_path() / ("ociemu-demo-" + std::to_string(::getpid()));
  std::filesystem::remove_all(home);
  const std::string command =
      std::string("'") + OCIEMU_ADMIN + "' demo-home '" + home.string() + "' >/dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  expectDocumentedBehaviour(home);
  const std::string buildTree = testing::DemoHome().parent_path().string();
  for (const auto& entry : std::filesystem::recursive_directory_iterator(home / "network")) {
    std::ifstream file(entry.path());
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_EQ(text.str().find(buildTree), std::string::npos) << entry.path();
  }
  std::filesystem::remove_all(home);
}

}  // namespace
}  // namespace ociemu::test
