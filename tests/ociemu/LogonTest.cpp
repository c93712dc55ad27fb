// Logon through the OCI8 calls: accounts and modes, naming of the database, server version,
// password change, error records and handle accounting.
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "ociemu/ClientFixture.h"

namespace ociemu::test {
namespace {

class LogonTest : public ClientTest {};

struct AccountCase {
  const char* user;
  const char* password;
  ub4 mode;
  sword status;
  sb4 code;
  const char* text;
};

TEST_F(LogonTest, AccountOutcomesCarryOraclesCodesAndTexts) {
  const AccountCase cases[] = {
      {"SCOTT", "TIGER", OCI_DEFAULT, OCI_SUCCESS, 0, ""},
      {"scott", "TIGER", OCI_DEFAULT, OCI_SUCCESS, 0, ""},
      {"SCOTT", "tiger", OCI_DEFAULT, OCI_ERROR, 1017,
       "ORA-01017: invalid username/password; logon denied\n"},
      {"NOBODY", "TIGER", OCI_DEFAULT, OCI_ERROR, 1017,
       "ORA-01017: invalid username/password; logon denied\n"},
      {"SCOTT", "", OCI_DEFAULT, OCI_ERROR, 1005, "ORA-01005: null password given; logon denied\n"},
      {"LOCKED_USER", "secret", OCI_DEFAULT, OCI_ERROR, 28000,
       "ORA-28000: the account is locked\n"},
      {"LOCKED_USER", "wrong", OCI_DEFAULT, OCI_ERROR, 1017,
       "ORA-01017: invalid username/password; logon denied\n"},
      {"EXPIRED_USER", "oldpass", OCI_DEFAULT, OCI_ERROR, 28001,
       "ORA-28001: the password has expired\n"},
      {"GRACE_USER", "secret", OCI_DEFAULT, OCI_SUCCESS_WITH_INFO, 28002,
       "ORA-28002: the password will expire within 7 days\n"},
      {"SYSTEM", "MANAGER", OCI_SYSDBA, OCI_SUCCESS, 0, ""},
      {"SYSTEM", "MANAGER", OCI_SYSDBA | OCI_STMT_CACHE, OCI_SUCCESS, 0, ""},
      {"SCOTT", "TIGER", OCI_SYSDBA, OCI_ERROR, 1031, "ORA-01031: insufficient privileges\n"},
      {"SCOTT", "TIGER", OCI_SYSOPER, OCI_ERROR, 1031, "ORA-01031: insufficient privileges\n"},
      {"OPERATOR", "oper", OCI_SYSOPER | OCI_STMT_CACHE, OCI_SUCCESS, 0, ""},
      {"OPERATOR", "oper", OCI_SYSDBA, OCI_ERROR, 1031, "ORA-01031: insufficient privileges\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.user) + "/" + c.password + " mode " + std::to_string(c.mode));
    Oci8Session s(*client);
    ASSERT_EQ(s.Attach("ORCL"), OCI_SUCCESS);
    EXPECT_EQ(s.Begin(c.user, c.password, c.mode), c.status);
    ErrorRecord e = s.Error();
    EXPECT_EQ(e.code, c.code);
    EXPECT_EQ(e.text, c.text);
    if (c.status != OCI_ERROR) {
      EXPECT_EQ(s.End(), OCI_SUCCESS);
    }
    EXPECT_EQ(s.Detach(), OCI_SUCCESS);
  }
}

TEST_F(LogonTest, UnsupportedCredentialsAndModesAreRefused) {
  Oci8Session s(*client);
  ASSERT_EQ(s.Attach("ORCL"), OCI_SUCCESS);
  EXPECT_EQ(client->OCISessionBegin(s.svc, s.err, s.sess, OCI_CRED_PROXY, OCI_DEFAULT), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 3001);
  EXPECT_EQ(client->OCISessionBegin(s.svc, s.err, s.sess, 77, OCI_DEFAULT), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 24300);
  EXPECT_EQ(s.Begin("SCOTT", "TIGER", 0x100000), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 24300);
}

TEST_F(LogonTest, SessionNeedsAnAttachedServerAndBeginsOnce) {
  Oci8Session s(*client);
  EXPECT_EQ(s.Begin("SCOTT", "TIGER"), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 24327);
  ASSERT_EQ(s.Attach("ORCL"), OCI_SUCCESS);
  EXPECT_EQ(s.Attach("ORCL"), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 24309);
  ASSERT_EQ(s.Begin("SCOTT", "TIGER"), OCI_SUCCESS);
  EXPECT_EQ(s.Begin("SCOTT", "TIGER"), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 24313);
  EXPECT_EQ(s.End(), OCI_SUCCESS);
  EXPECT_EQ(s.End(), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 1012);
  EXPECT_EQ(s.Detach(), OCI_SUCCESS);
  EXPECT_EQ(s.Detach(), OCI_ERROR);
  // A failed logon followed by a good one on the same handles works.
  ASSERT_EQ(s.Attach("ORCL"), OCI_SUCCESS);
  EXPECT_EQ(s.Begin("SCOTT", "wrong"), OCI_ERROR);
  EXPECT_EQ(s.Begin("SCOTT", "TIGER"), OCI_SUCCESS);
  s.LogOff();
}

TEST_F(LogonTest, ExternalCredentialsUseTheOperatingSystemAccount) {
  Oci8Session s(*client);
  ASSERT_EQ(s.Attach("ORCL"), OCI_SUCCESS);
  EXPECT_EQ(s.BeginExternal(), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 1017);

  const passwd* pw = getpwuid(geteuid());
  ASSERT_NE(pw, nullptr);
  const std::string osUser = pw->pw_name;
  db.AddExternalAccount(osUser);
  EXPECT_EQ(s.BeginExternal(), OCI_SUCCESS) << s.Error().text;
  EXPECT_EQ(s.End(), OCI_SUCCESS);
  EXPECT_EQ(s.BeginExternal(OCI_SYSDBA), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 1031);
  db.AddExternalAccount(osUser, {true, false});
  EXPECT_EQ(s.BeginExternal(OCI_SYSDBA), OCI_SUCCESS);
  s.LogOff();
}

struct NamingCase {
  const char* database;
  sb4 code;
};

TEST_F(LogonTest, DatabaseTextsResolveAsTheClientsNamingDoes) {
  home.CreateDatabase("sales").AddAccount("SCOTT", "TIGER");
  home.CreateDatabase("hr").AddAccount("SCOTT", "TIGER");
  home.SetTnsNames(
      "# net service names\n"
      "ORCL = (DESCRIPTION = (ADDRESS = (PROTOCOL = TCP)(HOST = localhost)(PORT = 1521))\n"
      "  (CONNECT_DATA = (SERVICE_NAME = orcl)))\n"
      "SALES, SALES_RO =\n"
      "  (DESCRIPTION =\n"
      "    (ADDRESS_LIST = (ADDRESS = (PROTOCOL = TCP)(HOST = 127.0.0.1)(PORT = 1521)))\n"
      "    (CONNECT_DATA = (SID = sales)))\n"
      "REMOTE = (DESCRIPTION = (ADDRESS = (PROTOCOL = TCP)(HOST = db.example.invalid)(PORT = 1521))"
      "(CONNECT_DATA = (SERVICE_NAME = orcl)))\n"
      "GONE = (DESCRIPTION = (ADDRESS = (PROTOCOL = TCP)(HOST = localhost)(PORT = 1521))"
      "(CONNECT_DATA = (SERVICE_NAME = nothere)))\n"
      "NOSERVICE = (DESCRIPTION = (ADDRESS = (PROTOCOL = TCP)(HOST = localhost)(PORT = 1521)))\n"
      "EZ = localhost:1521/hr\n"
      "HR.WORLD = (DESCRIPTION = (ADDRESS = (PROTOCOL = IPC)(KEY = hr))"
      "(CONNECT_DATA = (SERVICE_NAME = hr)))\n"
      "IFILE = " +
      (home.AdminFolder() / "more.ora").string() +
      "\n"
      // Unbalanced: it swallows the rest of the file, so it comes last.
      "BROKEN = (DESCRIPTION = (ADDRESS = (PROTOCOL = TCP)(HOST = localhost)\n");
  home.WriteFile("network/admin/more.ora",
                 "INCLUDED = (DESCRIPTION=(ADDRESS=(PROTOCOL=TCP)(HOST=localhost)(PORT=1521))"
                 "(CONNECT_DATA=(SERVICE_NAME=hr)))\n"
                 "IFILE = more.ora\n");
  const NamingCase cases[] = {
      {"ORCL", 0},
      {"orcl", 0},
      {"SALES", 0},
      {"sales_ro", 0},
      {"HR.WORLD", 0},
      {"INCLUDED", 0},
      {"EZ", 0},
      {"localhost/orcl", 0},
      {"//localhost:1521/orcl", 0},
      {"127.0.0.1:1521/sales", 0},
      {"localhost/orcl.example.com", 0},
      {"(DESCRIPTION=(ADDRESS=(PROTOCOL=TCP)(HOST=localhost)(PORT=1521))"
       "(CONNECT_DATA=(SERVICE_NAME=orcl)))",
       0},
      {"NOSUCH", 12154},
      {"HR", 12154},  // only HR.WORLD is defined, and no default domain is set
      {"BROKEN", 12154},
      {"(DESCRIPTION=(ADDRESS=(PROTOCOL=TCP)(HOST=localhost)", 12154},
      {"REMOTE", 12545},
      {"db.example.invalid/orcl", 12545},
      {"GONE", 12514},
      {"localhost/nothere", 12514},
      {"localhost:1521", 12514},
      {"NOSERVICE", 12504},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.database);
    Oci8Session s(*client);
    EXPECT_EQ(s.Attach(c.database), c.code ? OCI_ERROR : OCI_SUCCESS);
    EXPECT_EQ(s.Error().code, c.code) << s.Error().text;
    if (!c.code) {
      EXPECT_EQ(s.Begin("SCOTT", "TIGER"), OCI_SUCCESS);
      s.LogOff();
    }
  }
}

TEST_F(LogonTest, NamingErrorsUseOraclesTexts) {
  const std::pair<const char*, const char*> cases[] = {
      {"NOSUCH", "ORA-12154: TNS:could not resolve the connect identifier specified\n"},
      {"nohost.example.invalid/orcl",
       "ORA-12545: Connect failed because target host or object does not exist\n"},
      {"localhost/none",
       "ORA-12514: TNS:listener does not currently know of service requested in connect "
       "descriptor\n"},
  };
  for (const auto& [database, text] : cases) {
    Oci8Session s(*client);
    EXPECT_EQ(s.Attach(database), OCI_ERROR);
    EXPECT_EQ(s.Error().text, text);
  }
}

TEST_F(LogonTest, DefaultDomainOfSqlnetQualifiesShortNames) {
  home.CreateDatabase("hr");
  home.SetTnsNames(
      "HR.WORLD = (DESCRIPTION=(ADDRESS=(PROTOCOL=TCP)(HOST=localhost)(PORT=1521))"
      "(CONNECT_DATA=(SERVICE_NAME=hr)))\n"
      "ORCL = (DESCRIPTION=(ADDRESS=(PROTOCOL=TCP)(HOST=localhost)(PORT=1521))"
      "(CONNECT_DATA=(SERVICE_NAME=orcl)))\n");
  home.SetSqlNet("NAMES.DEFAULT_DOMAIN = world\n");
  for (const char* name : {"HR", "hr.world", "ORCL"}) {
    SCOPED_TRACE(name);
    Oci8Session s(*client);
    EXPECT_EQ(s.Attach(name), OCI_SUCCESS) << s.Error().text;
  }
}

TEST_F(LogonTest, EmptyDatabaseTextIsTheLocalDefault) {
  {
    Oci8Session s(*client);
    EXPECT_EQ(s.Attach(""), OCI_SUCCESS) << s.Error().text;  // "orcl" without ORACLE_SID
  }
  home.CreateDatabase("prod");
  ScopedEnv prod("ORACLE_SID", "PROD");
  {
    Oci8Session s(*client);
    ASSERT_EQ(s.Attach(""), OCI_SUCCESS) << s.Error().text;
    EXPECT_EQ(s.Begin("SCOTT", "TIGER"), OCI_ERROR);  // prod has no accounts
    EXPECT_EQ(s.Error().code, 1017);
  }
  ScopedEnv missing("ORACLE_SID", "missing");
  Oci8Session s(*client);
  EXPECT_EQ(s.Attach(""), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 12514);
}

TEST_F(LogonTest, EnvironmentOverridesNetworkAndDataFolders) {
  testing::OracleHome other;
  other.SetTnsNames(
      "ELSEWHERE = (DESCRIPTION=(ADDRESS=(PROTOCOL=TCP)(HOST=localhost))"
      "(CONNECT_DATA=(SERVICE_NAME=remote)))\n");
  auto remote = other.CreateDatabase("remote");
  remote.AddAccount("BLAKE", "paper");
  {
    Oci8Session s(*client);
    EXPECT_EQ(s.Attach("ELSEWHERE"), OCI_ERROR);
    EXPECT_EQ(s.Error().code, 12154);
  }
  ScopedEnv tns("TNS_ADMIN", other.AdminFolder().c_str());
  {
    Oci8Session s(*client);
    EXPECT_EQ(s.Attach("ELSEWHERE"), OCI_ERROR);
    EXPECT_EQ(s.Error().code, 12514);  // known name, but this home has no such database
  }
  ScopedEnv dataFolder("OCIEMU_DATA", other.DataFolder().c_str());
  Oci8Session s(*client);
  EXPECT_TRUE(s.LogOn("BLAKE", "paper", "ELSEWHERE")) << s.Error().text;
  s.LogOff();
}

TEST_F(LogonTest, MissingOrDamagedDatabaseFileIsAnUnknownService) {
  home.WriteFile("oradata/junk.db", "this is not a database");
  home.WriteFile("oradata/empty.db", "");
  for (const char* name : {"localhost/junk", "localhost/empty", "localhost/absent"}) {
    SCOPED_TRACE(name);
    Oci8Session s(*client);
    EXPECT_EQ(s.Attach(name), OCI_ERROR);
    EXPECT_EQ(s.Error().code, 12514);
  }
}

TEST_F(LogonTest, ServerVersionIsTheDatabaseBanner) {
  Oci8Session s(*client);
  ASSERT_TRUE(s.LogOn("SCOTT", "TIGER"));
  EXPECT_NE(s.ServerVersion().find("Release 19"), std::string::npos);

  OraText small[12];
  std::memset(small, 0x55, sizeof small);
  EXPECT_EQ(client->OCIServerVersion(s.svc, s.err, small, 8, OCI_HTYPE_SVCCTX), OCI_SUCCESS);
  EXPECT_STREQ(reinterpret_cast<char*>(small), "Oracle ");
  EXPECT_EQ(small[8], 0x55);  // nothing past the size given

  db.SetBanner("Oracle7 Server Release 7.3.4.0.0 - Production");
  Oci8Session old(*client);
  ASSERT_TRUE(old.LogOn("SCOTT", "TIGER"));
  EXPECT_EQ(old.ServerVersion(), "Oracle7 Server Release 7.3.4.0.0 - Production");
  old.LogOff();
  s.LogOff();
  EXPECT_EQ(client->OCIServerVersion(s.srv, s.err, small, sizeof small, OCI_HTYPE_SERVER),
            OCI_ERROR);
  EXPECT_EQ(s.Error().code, 3114);
}

TEST_F(LogonTest, ExpiredPasswordIsChangedOnTheAttachedServerAndTheSessionBegins) {
  Oci8Session s(*client);
  ASSERT_EQ(s.Attach("ORCL"), OCI_SUCCESS);
  ASSERT_EQ(s.Begin("EXPIRED_USER", "oldpass"), OCI_ERROR);
  ASSERT_EQ(s.Error().code, 28001);

  auto change = [&](const char* user, const char* oldPassword, const char* newPassword) {
    return client->OCIPasswordChange(
        s.svc, s.err, reinterpret_cast<const OraText*>(user), static_cast<ub4>(strlen(user)),
        reinterpret_cast<const OraText*>(oldPassword), static_cast<ub4>(strlen(oldPassword)),
        reinterpret_cast<const OraText*>(newPassword), static_cast<ub4>(strlen(newPassword)),
        OCI_DEFAULT);
  };
  EXPECT_EQ(change("EXPIRED_USER", "wrong", "newpass"), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 1017);
  EXPECT_EQ(change("EXPIRED_USER", "oldpass", "newpass"), OCI_SUCCESS) << s.Error().text;
  // The session is begun: a transaction call goes through.
  EXPECT_EQ(client->OCITransCommit(s.svc, s.err, OCI_DEFAULT), OCI_SUCCESS) << s.Error().text;
  EXPECT_TRUE(db.CheckPassword("EXPIRED_USER", "newpass"));

  // With the session established, the old password must be right.
  EXPECT_EQ(change("EXPIRED_USER", "oldpass", "third"), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 28008);
  EXPECT_EQ(change("EXPIRED_USER", "newpass", "third"), OCI_SUCCESS);
  EXPECT_EQ(change("SCOTT", "TIGER", "lion"), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 1031);
  s.LogOff();

  Oci8Session again(*client);
  EXPECT_TRUE(again.LogOn("EXPIRED_USER", "third")) << again.Error().text;
  again.LogOff();
}

TEST_F(LogonTest, LogonAndLogoffConvenienceCalls) {
  Oci8Session s(*client);
  OCISvcCtx* svc = nullptr;
  auto logon = [&](const char* user, const char* password, const char* database) {
    return client->OCILogon(
        s.env, s.err, &svc, reinterpret_cast<const OraText*>(user), static_cast<ub4>(strlen(user)),
        reinterpret_cast<const OraText*>(password), static_cast<ub4>(strlen(password)),
        reinterpret_cast<const OraText*>(database), static_cast<ub4>(strlen(database)));
  };
  const long before = testing::LiveHandles(client->Library());
  EXPECT_EQ(logon("SCOTT", "bad", "ORCL"), OCI_ERROR);
  EXPECT_EQ(svc, nullptr);
  EXPECT_EQ(testing::LiveHandles(client->Library()), before);
  ASSERT_EQ(logon("SCOTT", "TIGER", "ORCL"), OCI_SUCCESS);
  EXPECT_EQ(testing::LiveConnections(client->Library()), 1);
  EXPECT_EQ(client->OCILogoff(svc, s.err), OCI_SUCCESS);
  EXPECT_EQ(testing::LiveConnections(client->Library()), 0);
  EXPECT_EQ(testing::LiveHandles(client->Library()), before);
}

TEST_F(LogonTest, ErrorRecordsAreReadSafely) {
  Oci8Session s(*client);
  ASSERT_EQ(s.Attach("ORCL"), OCI_SUCCESS);
  ASSERT_EQ(s.Begin("SCOTT", "wrong"), OCI_ERROR);

  OraText buf[32];
  std::memset(buf, 0x77, sizeof buf);
  sb4 code = 0;
  EXPECT_EQ(client->OCIErrorGet(s.err, 1, nullptr, &code, buf, 10, OCI_HTYPE_ERROR), OCI_SUCCESS);
  EXPECT_EQ(code, 1017);
  EXPECT_STREQ(reinterpret_cast<char*>(buf), "ORA-01017");
  EXPECT_EQ(buf[10], 0x77);
  EXPECT_EQ(client->OCIErrorGet(s.err, 1, nullptr, &code, nullptr, 0, OCI_HTYPE_ERROR),
            OCI_SUCCESS);
  EXPECT_EQ(client->OCIErrorGet(s.err, 2, nullptr, &code, buf, sizeof buf, OCI_HTYPE_ERROR),
            OCI_NO_DATA);
  EXPECT_EQ(client->OCIErrorGet(s.err, 0, nullptr, &code, buf, sizeof buf, OCI_HTYPE_ERROR),
            OCI_NO_DATA);
  EXPECT_EQ(client->OCIErrorGet(s.err, 1, nullptr, &code, buf, sizeof buf, OCI_HTYPE_ENV),
            OCI_INVALID_HANDLE);
  // A successful call leaves the record of the last failure in place.
  EXPECT_EQ(s.Begin("SCOTT", "TIGER"), OCI_SUCCESS);
  EXPECT_EQ(client->OCIErrorGet(s.err, 1, nullptr, &code, buf, sizeof buf, OCI_HTYPE_ERROR),
            OCI_SUCCESS);
  EXPECT_EQ(code, 1017);
  s.LogOff();
}

TEST_F(LogonTest, WrongAndFreedHandlesAreRejected) {
  Oci8Session s(*client);
  char garbage[256] = {};
  void* notAHandle = garbage;
  OCIError* freedErr = nullptr;
  ASSERT_EQ(client->OCIHandleAlloc(s.env, reinterpret_cast<void**>(&freedErr), OCI_HTYPE_ERROR, 0,
                                   nullptr),
            OCI_SUCCESS);
  ASSERT_EQ(client->OCIHandleFree(freedErr, OCI_HTYPE_ERROR), OCI_SUCCESS);
  EXPECT_EQ(client->OCIHandleFree(freedErr, OCI_HTYPE_ERROR), OCI_INVALID_HANDLE);

  const OraText orcl[] = "ORCL";
  EXPECT_EQ(client->OCIServerAttach(s.srv, freedErr, orcl, 4, 0), OCI_INVALID_HANDLE);
  EXPECT_EQ(client->OCIServerAttach(s.srv, nullptr, orcl, 4, 0), OCI_INVALID_HANDLE);
  EXPECT_EQ(client->OCIServerAttach(static_cast<OCIServer*>(notAHandle), s.err, orcl, 4, 0),
            OCI_INVALID_HANDLE);
  // A handle of the wrong type is wrong too.
  EXPECT_EQ(client->OCIServerAttach(reinterpret_cast<OCIServer*>(s.svc), s.err, orcl, 4, 0),
            OCI_INVALID_HANDLE);
  EXPECT_EQ(client->OCISessionBegin(s.svc, s.err, reinterpret_cast<OCISession*>(s.srv),
                                    OCI_CRED_RDBMS, 0),
            OCI_INVALID_HANDLE);
  EXPECT_EQ(client->OCIHandleFree(s.srv, OCI_HTYPE_SVCCTX), OCI_INVALID_HANDLE);
  EXPECT_EQ(client->OCIHandleFree(nullptr, OCI_HTYPE_ENV), OCI_INVALID_HANDLE);
  EXPECT_EQ(client->OCIHandleAlloc(notAHandle, reinterpret_cast<void**>(&freedErr), OCI_HTYPE_ERROR,
                                   0, nullptr),
            OCI_INVALID_HANDLE);
  EXPECT_EQ(
      client->OCIAttrGet(notAHandle, OCI_HTYPE_SVCCTX, garbage, nullptr, OCI_ATTR_SERVER, s.err),
      OCI_INVALID_HANDLE);
  EXPECT_EQ(client->OCIAttrSet(s.svc, OCI_HTYPE_SVCCTX, notAHandle, 0, OCI_ATTR_SERVER, s.err),
            OCI_ERROR);
  EXPECT_EQ(s.Error().code, 24328);
  EXPECT_EQ(client->OCIAttrSet(s.svc, OCI_HTYPE_SVCCTX, nullptr, 0, 9999, s.err), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 24315);
  EXPECT_EQ(client->OCIEnvCreate(nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0, nullptr),
            OCI_ERROR);
  void* h = nullptr;
  EXPECT_EQ(client->OCIHandleAlloc(s.env, &h, 4711, 0, nullptr), OCI_ERROR);
  sb4 code = 0;
  EXPECT_EQ(client->OCIErrorGet(s.env, 1, nullptr, &code, nullptr, 0, OCI_HTYPE_ENV), OCI_SUCCESS);
  EXPECT_EQ(code, 24316);

  // Freeing the environment frees everything made from it.
  OCIEnv* env = s.env;
  OCIError* err = s.err;
  ASSERT_EQ(client->OCIHandleFree(env, OCI_HTYPE_ENV), OCI_SUCCESS);
  s.env = nullptr;
  EXPECT_EQ(client->OCIServerAttach(s.srv, err, orcl, 4, 0), OCI_INVALID_HANDLE);
  EXPECT_EQ(client->OCIHandleFree(s.svc, OCI_HTYPE_SVCCTX), OCI_INVALID_HANDLE);
}

TEST_F(LogonTest, LiveHandleCounterFollowsAllocationsAndFrees) {
  void* lib = client->Library();
  ASSERT_EQ(testing::LiveHandles(lib), 0);
  {
    Oci8Session s(*client);
    EXPECT_EQ(testing::LiveHandles(lib), 5);
    void* rowid = nullptr;
    void* userMemory = nullptr;
    ASSERT_EQ(client->OCIDescriptorAlloc(s.env, &rowid, OCI_DTYPE_ROWID, 16, &userMemory),
              OCI_SUCCESS);
    ASSERT_NE(userMemory, nullptr);
    std::memset(userMemory, 1, 16);
    EXPECT_EQ(testing::LiveHandles(lib), 6);
    EXPECT_EQ(client->OCIDescriptorFree(rowid, OCI_DTYPE_ROWID), OCI_SUCCESS);
    EXPECT_EQ(testing::LiveHandles(lib), 5);
    ASSERT_TRUE(s.LogOn("SCOTT", "TIGER"));
    EXPECT_EQ(testing::LiveConnections(lib), 1);
    EXPECT_EQ(client->OCIHandleFree(s.err, OCI_HTYPE_ERROR), OCI_SUCCESS);
    EXPECT_EQ(testing::LiveHandles(lib), 4);
    s.err = nullptr;
  }
  // The session was never ended: freeing the environment dropped the connection.
  EXPECT_EQ(testing::LiveHandles(lib), 0);
  EXPECT_EQ(testing::LiveConnections(lib), 0);
}

TEST_F(LogonTest, ThreadedEnvironmentsLogOnInParallel) {
  constexpr int kThreads = 6;
  std::atomic<int> good{0};
  OCIEnv* shared = nullptr;
  ASSERT_EQ(
      client->OCIEnvCreate(&shared, OCI_THREADED, nullptr, nullptr, nullptr, nullptr, 0, nullptr),
      OCI_SUCCESS);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 5; ++i) {
        if (t % 2 == 0) {
          Oci8Session s(*client);
          if (s.LogOn("SCOTT", "TIGER")) {
            if (client->OCITransCommit(s.svc, s.err, 0) == OCI_SUCCESS) ++good;
            s.LogOff();
          }
        } else {
          // Handles of one shared environment, used from several threads at once.
          OCIError* err = nullptr;
          OCISvcCtx* svc = nullptr;
          client->OCIHandleAlloc(shared, reinterpret_cast<void**>(&err), OCI_HTYPE_ERROR, 0,
                                 nullptr);
          const OraText user[] = "SCOTT", pw[] = "TIGER", dbname[] = "ORCL";
          if (client->OCILogon(shared, err, &svc, user, 5, pw, 5, dbname, 4) == OCI_SUCCESS) {
            if (client->OCITransRollback(svc, err, 0) == OCI_SUCCESS) ++good;
            client->OCILogoff(svc, err);
          }
          client->OCIHandleFree(err, OCI_HTYPE_ERROR);
        }
      }
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(good.load(), kThreads * 5);
  EXPECT_EQ(client->OCIHandleFree(shared, OCI_HTYPE_ENV), OCI_SUCCESS);
  EXPECT_EQ(testing::LiveHandles(client->Library()), 0);
  EXPECT_EQ(testing::LiveConnections(client->Library()), 0);
}

TEST_F(LogonTest, SessionAttributesReadBack) {
  Oci8Session s(*client);
  ASSERT_TRUE(s.LogOn("SCOTT", "TIGER"));
  void* value = nullptr;
  EXPECT_EQ(client->OCIAttrGet(s.svc, OCI_HTYPE_SVCCTX, &value, nullptr, OCI_ATTR_ENV, s.err),
            OCI_SUCCESS);
  EXPECT_EQ(value, s.env);
  EXPECT_EQ(client->OCIAttrGet(s.svc, OCI_HTYPE_SVCCTX, &value, nullptr, OCI_ATTR_SERVER, s.err),
            OCI_SUCCESS);
  EXPECT_EQ(value, s.srv);
  EXPECT_EQ(client->OCIAttrGet(s.svc, OCI_HTYPE_SVCCTX, &value, nullptr, OCI_ATTR_SESSION, s.err),
            OCI_SUCCESS);
  EXPECT_EQ(value, s.sess);
  ub4 cacheSize = 40;
  EXPECT_EQ(
      client->OCIAttrSet(s.svc, OCI_HTYPE_SVCCTX, &cacheSize, 4, OCI_ATTR_STMTCACHESIZE, s.err),
      OCI_SUCCESS);
  cacheSize = 0;
  ub4 size = 0;
  EXPECT_EQ(
      client->OCIAttrGet(s.svc, OCI_HTYPE_SVCCTX, &cacheSize, &size, OCI_ATTR_STMTCACHESIZE, s.err),
      OCI_SUCCESS);
  EXPECT_EQ(cacheSize, 40u);
  EXPECT_EQ(size, 4u);
  OraText* name = nullptr;
  EXPECT_EQ(client->OCIAttrGet(s.sess, OCI_HTYPE_SESSION, &name, &size, OCI_ATTR_USERNAME, s.err),
            OCI_SUCCESS);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(name), size), "SCOTT");
  ub4 status = 0;
  EXPECT_EQ(
      client->OCIAttrGet(s.srv, OCI_HTYPE_SERVER, &status, nullptr, OCI_ATTR_SERVER_STATUS, s.err),
      OCI_SUCCESS);
  EXPECT_EQ(status, static_cast<ub4>(OCI_SERVER_NORMAL));
  s.LogOff();
  EXPECT_EQ(
      client->OCIAttrGet(s.srv, OCI_HTYPE_SERVER, &status, nullptr, OCI_ATTR_SERVER_STATUS, s.err),
      OCI_SUCCESS);
  EXPECT_EQ(status, static_cast<ub4>(OCI_SERVER_NOT_CONNECTED));
}

TEST_F(LogonTest, CallsOutsideTheEmulationReportUnimplementedFeature) {
  Oci8Session s(*client);
  ASSERT_TRUE(s.LogOn("SCOTT", "TIGER"));
  ub4 amount = 10;
  char buf[10];
  EXPECT_EQ(client->OCILobRead(s.svc, s.err, nullptr, &amount, 1, buf, sizeof buf, nullptr, nullptr,
                               0, 0),
            OCI_ERROR);
  EXPECT_EQ(s.Error().text, "ORA-03001: unimplemented feature\n");
  EXPECT_EQ(client->OCILobRead(s.svc, nullptr, nullptr, &amount, 1, buf, sizeof buf, nullptr,
                               nullptr, 0, 0),
            OCI_INVALID_HANDLE);
  EXPECT_TRUE(client->OCIRefIsNull(s.env, nullptr));
  Lda_Def lda{};
  EXPECT_NE(client->obreak(&lda), 0);
  EXPECT_EQ(lda.rc, 3001);
  s.LogOff();
}

}  // namespace
}  // namespace ociemu::test
