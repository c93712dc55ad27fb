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

}  // namespace
}  // namespace ociemu::test
