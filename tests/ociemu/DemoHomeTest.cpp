// The demo home the build makes offers every logon outcome under its documented names.
#include <gtest/gtest.h>

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

TEST(DemoHome, EveryNameAndAccountBehavesAsDocumented) {
  ScopedEnv tnsAdmin("TNS_ADMIN", nullptr);
  ScopedEnv data("OCIEMU_DATA", nullptr);
  OciClient client((testing::DemoHome() / "lib" / "libclntsh.so").string());
  const DemoCase cases[] = {
      {"SCOTT", "TIGER", "DEMO", OCI_DEFAULT, 0},
      {"scott", "TIGER", "demo_a", OCI_DEFAULT, 0},
      {"SCOTT", "TIGER", "DEMO_B", OCI_DEFAULT, 0},
      {"SCOTT", "TIGER", "SALES", OCI_DEFAULT, 0},
      {"SCOTT", "TIGER", "SALES.WORLD", OCI_DEFAULT, 0},
      {"SCOTT", "TIGER", "INCLUDED", OCI_DEFAULT, 0},
      {"SCOTT", "TIGER", "localhost/demo", OCI_DEFAULT, 0},
      {"SCOTT", "TIGER", "NO_SUCH_SERVICE", OCI_DEFAULT, 12514},
      {"SCOTT", "TIGER", "REMOTE_HOST", OCI_DEFAULT, 12545},
      {"SCOTT", "TIGER", "UNKNOWN_NAME", OCI_DEFAULT, 12154},
      {"SCOTT", "LION", "DEMO", OCI_DEFAULT, 1017},
      {"SYSTEM", "MANAGER", "DEMO", OCI_SYSDBA, 0},
      {"OPERATOR", "OPERATOR", "DEMO", OCI_SYSOPER, 0},
      {"SCOTT", "TIGER", "DEMO", OCI_SYSDBA, 1031},
      {"LOCKED_USER", "LOCKED", "DEMO", OCI_DEFAULT, 28000},
      {"EXPIRED_USER", "EXPIRED", "DEMO", OCI_DEFAULT, 28001},
      {"GRACE_USER", "GRACE", "DEMO", OCI_DEFAULT, 28002},
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

}  // namespace
}  // namespace ociemu::test
