// Logon and logoff of a real session over ociemu's client variants.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "support/ClientHome.h"
#include "oracle/client/ClientLibrary.h"
#include "oracle/client/OCIConstants.h"
#include "oracle/client/OCIFunctions.h"
#include "oracle/core/Exception.h"
#include "oracle/session/OracleError.h"
#include "oracle/session/OracleSession.h"

namespace sessiontest {
namespace {

using oracle::EOracleError;
using oracle::TOracleSession;

// Logs on and returns the Oracle error code, 0 on success.
int logOn(TOracleSession& s, const std::string& user, const std::string& password,
          const std::string& database = "DB", oracle::TConnectAsOption as = oracle::caNormal) {
  s.SetLogonUsername(user);
  s.SetLogonPassword(password);
  s.SetLogonDatabase(database);
  s.SetConnectAs(as);
  try {
    s.LogOn();
    return 0;
  } catch (const EOracleError& e) {
    EXPECT_FALSE(s.Connected());
    return e.ErrorCode();
  }
}

struct VariantCase {
  Variant variant;
  bool oci8;
};

class LogonOverVariant : public testing::TestWithParam<VariantCase> {};

TEST_P(LogonOverVariant, LogsOnAndOffAndFreesEveryHandle) {
  ClientHome client(GetParam().variant);
  {
    TOracleSession s(nullptr);
    int changes = 0, afterLogOns = 0;
    s.OnChange = [&](TOracleSession&) { ++changes; };
    s.AfterLogOn = [&](TOracleSession&) { ++afterLogOns; };
    ASSERT_EQ(logOn(s, "scott", "tiger"), 0);
    EXPECT_TRUE(s.Connected());
    EXPECT_EQ(s.OCI8Mode(), GetParam().oci8);
    EXPECT_EQ(client.liveConnections(), 1);
    EXPECT_EQ(afterLogOns, 1);
    s.Commit();
    s.Rollback();
    s.LogOff();
    EXPECT_FALSE(s.Connected());
    EXPECT_EQ(changes, 2);  // after the logon and after the logoff
    EXPECT_EQ(client.liveConnections(), 0);
    EXPECT_EQ(client.liveHandles(), 0);
  }
}

TEST_P(LogonOverVariant, AFailedLogonIsFollowedByAGoodOne) {
  ClientHome client(GetParam().variant);
  TOracleSession s(nullptr);
  EXPECT_EQ(logOn(s, "scott", "wrong"), 1017);
  ASSERT_EQ(logOn(s, "scott", "tiger"), 0);
  EXPECT_TRUE(s.Connected());
  s.LogOff();
  EXPECT_EQ(client.liveHandles(), 0);
}

INSTANTIATE_TEST_SUITE_P(Variants, LogonOverVariant,
                         testing::Values(VariantCase{Variant::Full, true},
                                         VariantCase{Variant::Net9, true},
                                         VariantCase{Variant::Oci81, true},
                                         VariantCase{Variant::Oci8, true},
                                         VariantCase{Variant::Oci7, false}),
                         [](const testing::TestParamInfo<VariantCase>& param) {
                           return std::string(ociemu::testing::VariantName(param.param.variant));
                         });

TEST(Logon, WrongPasswordRaisesTheServersText) {
  ClientHome client;
  TOracleSession s(nullptr);
  s.SetLogonUsername("scott/wrong@DB");
  try {
    s.LogOn();
    FAIL() << "no error";
  } catch (const EOracleError& e) {
    EXPECT_EQ(e.ErrorCode(), 1017);
    EXPECT_EQ(e.Message(), "ORA-01017: invalid username/password; logon denied\n");
    EXPECT_EQ(e.Session(), &s);
  }
  // The connect string stays split after the failed attempt.
  EXPECT_EQ(s.LogonUsername(), "scott");
  EXPECT_EQ(s.LogonDatabase(), "DB");
}

TEST(Logon, AccountStatesAndPrivileges) {
  ClientHome client;
  struct Case {
    const char* user;
    const char* password;
    oracle::TConnectAsOption as;
    int code;
  };
  const Case cases[] = {
      {"sys", "oracle", oracle::caSYSDBA, 0},     {"scott", "tiger", oracle::caSYSDBA, 1031},
      {"oper", "oper", oracle::caSYSOPER, 0},     {"oper", "oper", oracle::caSYSDBA, 1031},
      {"locked", "locked", oracle::caNormal, 28000}, {"expired", "expired", oracle::caNormal, 28001},
      {"scott", "tiger", oracle::caNormal, 0},    {"nobody", "x", oracle::caNormal, 1017},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.user) + " as " + std::to_string(c.as));
    TOracleSession s(nullptr);
    EXPECT_EQ(logOn(s, c.user, c.password, "DB", c.as), c.code);
    EXPECT_EQ(s.Connected(), c.code == 0);
  }
  EXPECT_EQ(client.liveConnections(), 0);
}

TEST(Logon, UnknownAliasAndUnknownDatabase) {
  ClientHome client;
  TOracleSession s(nullptr);
  EXPECT_EQ(logOn(s, "scott", "tiger", "NOWHERE"), 12154);
  EXPECT_EQ(logOn(s, "scott", "tiger", "localhost/NOSUCHDB"), 12514);
  EXPECT_EQ(logOn(s, "scott", "tiger", "localhost/DB"), 0);
}

TEST(Logon, GracePeriodWarningConnectsAndKeepsTheText) {
  ClientHome client;
  client.db.SetGraceDays("GRACE", 7);
  TOracleSession s(nullptr);
  ASSERT_EQ(logOn(s, "grace", "grace"), 0);
  EXPECT_TRUE(s.Connected());
  EXPECT_THAT(s.LogonWarning(), testing::StartsWith("ORA-28002: the password will expire within 7 days"));
  // A later clean logon empties it.
  ASSERT_EQ(logOn(s, "scott", "tiger"), 0);
  EXPECT_EQ(s.LogonWarning(), "");
}

TEST(Logon, EmptyCredentialsUseTheOperatingSystemAccount) {
  ClientHome client;
  TOracleSession s(nullptr);
  ASSERT_EQ(logOn(s, "", "", "DB"), 0);
  EXPECT_TRUE(s.Connected());
  TOracleSession slash(nullptr);
  ASSERT_EQ(logOn(slash, "/@DB", ""), 0);
}

TEST(Logon, StatementCacheModeWithSysoper) {
  ClientHome client;
  TOracleSession s(nullptr);
  s.SetStatementCache(true);
  s.SetStatementCacheSize(40);
  ASSERT_EQ(logOn(s, "oper", "oper", "DB", oracle::caSYSOPER), 0);
  EXPECT_EQ(client.calls("OCISessionBegin"), 1);
  EXPECT_THROW(s.SetStatementCache(false), oracle::Exception);
}

TEST(Logon, OldServerBannerFallsBackToOCI7ModeAndConvertsBackAtLogOff) {
  ClientHome client;
  client.db.SetBanner("Oracle7 Server Release 7.3.4.0.0 - Production");
  TOracleSession s(nullptr);
  ASSERT_EQ(logOn(s, "scott", "tiger"), 0);
  EXPECT_FALSE(s.OCI8Mode());
  EXPECT_EQ(client.calls("OCISvcCtxToLda"), 1);
  s.Commit();  // through the logon data area
  EXPECT_EQ(client.calls("ocom"), 1);
  s.LogOff();
  EXPECT_EQ(client.calls("OCILdaToSvcCtx"), 1);
  EXPECT_EQ(client.calls("OCISessionEnd"), 1);
  EXPECT_EQ(client.liveHandles(), 0);
}

TEST(Logon, CurrentReleasesStayInOCI8Mode) {
  ClientHome client;
  for (const char* banner : {"Oracle8i Enterprise Edition Release 8.1.7.0.0 - Production",
                             "Oracle Database 23ai Free Release 23.0.0.0.0 - Develop, Learn, and Run"}) {
    SCOPED_TRACE(banner);
    client.db.SetBanner(banner);
    TOracleSession s(nullptr);
    ASSERT_EQ(logOn(s, "scott", "tiger"), 0);
    EXPECT_TRUE(s.OCI8Mode());
  }
}

TEST(Logon, ForcedOCI7AndUseOCI7UseTheOCI7Logon) {
  ClientHome client;
  TOracleSession s(nullptr);
  s.Preferences().SetUseOCI7(true);
  ASSERT_EQ(logOn(s, "scott", "tiger"), 0);
  EXPECT_FALSE(s.OCI8Mode());
  EXPECT_EQ(client.calls("olog"), 1);
  EXPECT_EQ(client.calls("OCISessionBegin"), 0);
}

TEST(Logon, ODBCLogonWithoutOCA60AsksForTheOldLibrary) {
  oracle::FreeOCI();
  oracle::SetOCIDLL("");
  TOracleSession s(nullptr);
  s.SetLogonDatabase("ODBC:mydsn");
  s.SetLogonUsername("scott");
  s.SetLogonPassword("tiger");
  try {
    s.LogOn();
    FAIL() << "logged on";
  } catch (const oracle::Exception& e) {
    EXPECT_THAT(e.Message(), testing::HasSubstr("Could not load \"ora73.dll\""));
  }
  EXPECT_FALSE(s.Connected());
  oracle::FreeOCI();
  oracle::SetOCIDLL("");
}

TEST(Logon, ODBCLogonNeverUsesOCI8Mode) {
  ClientHome client;
  // With the library named, an ODBC logon keeps it instead of asking for the old one.
  oracle::SetOCIDLL(client.home.LibraryPath().string());
  TOracleSession s(nullptr);
  EXPECT_NE(logOn(s, "scott", "tiger", "ODBC:mydsn"), 0);
  EXPECT_FALSE(s.OCI8Mode());
  EXPECT_EQ(client.calls("OCIServerAttach"), 0);
}

TEST(Logon, LogOffOfASessionThatNeverLoggedOnDoesNothing) {
  TOracleSession s(nullptr);
  EXPECT_NO_THROW(s.LogOff());
  EXPECT_FALSE(s.Connected());
}

TEST(Logon, ClientFaultsLeaveTheSessionUnconnectedAndTheNextLogonWorks) {
  ClientHome client;
  struct Fault {
    const char* call;
    int code;
  };
  for (const Fault& f : {Fault{"OCIServerAttach", 12541}, Fault{"OCISessionBegin", 1034}}) {
    SCOPED_TRACE(f.call);
    client.db.FailCall(f.call, f.code);
    TOracleSession s(nullptr);
    EXPECT_EQ(logOn(s, "scott", "tiger"), f.code);
    client.db.ClearFaults();
    EXPECT_EQ(logOn(s, "scott", "tiger"), 0);
    s.LogOff();
  }
  EXPECT_EQ(client.liveHandles(), 0);
}

TEST(Logon, ALostConnectionRaisesOnCommitAndLogOffStillCleansUp) {
  ClientHome client;
  TOracleSession s(nullptr);
  ASSERT_EQ(logOn(s, "scott", "tiger"), 0);
  client.db.LoseConnectionAfter(1);
  s.Commit();  // the one call the connection still answers
  try {
    s.Commit();
    FAIL() << "commit on a lost connection";
  } catch (const EOracleError& e) {
    EXPECT_THAT(e.ErrorCode(), testing::AnyOf(3113, 3114));
  }
  EXPECT_THROW(s.LogOff(), EOracleError);
  EXPECT_FALSE(s.Connected());
  // What the failed logoff left is cleaned up by the next one.
  try {
    s.LogOff();
  } catch (const EOracleError&) {
  }
  client.db.ClearFaults();
  EXPECT_EQ(logOn(s, "scott", "tiger"), 0);
  s.LogOff();
}

TEST(ChangePassword, OnAConnectedSession) {
  ClientHome client;
  TOracleSession s(nullptr);
  ASSERT_EQ(logOn(s, "scott", "tiger"), 0);
  s.ChangePassword("lion");
  EXPECT_EQ(s.LogonPassword(), "lion");
  EXPECT_TRUE(client.db.CheckPassword("SCOTT", "lion"));
}

TEST(ChangePassword, AfterTheLogonFailedWithAnExpiredPassword) {
  ClientHome client;
  TOracleSession s(nullptr);
  ASSERT_EQ(logOn(s, "expired", "expired"), 28001);
  s.ChangePassword("fresh");
  EXPECT_EQ(s.LogonPassword(), "fresh");
  EXPECT_TRUE(client.db.CheckPassword("EXPIRED", "fresh"));
  s.LogOn();
  EXPECT_TRUE(s.Connected());
  s.LogOff();
  EXPECT_EQ(client.liveHandles(), 0);
}

// FreeOCI unloads the client's code. A session that still holds handles of it (a server attached
// by a failed logon, or a connection of its own) must drop them without calling the library, also
// when the library has been loaded again meanwhile (its old handles mean nothing to the new copy).
TEST(ClientUnloaded, SessionsHoldingHandlesLogOffWithoutCallingIntoTheLibrary) {
  ClientHome client;
  TOracleSession failed(nullptr);
  ASSERT_EQ(logOn(failed, "scott", "wrong"), 1017);  // the server stays attached
  TOracleSession connected(nullptr);
  ASSERT_EQ(logOn(connected, "scott", "tiger"), 0);

  oracle::FreeOCI();
  ASSERT_FALSE(oracle::OCILoaded());
  EXPECT_NO_THROW(failed.LogOff());

  oracle::InitOCI();
  EXPECT_NO_THROW(connected.LogOff());
  EXPECT_FALSE(connected.Connected());
  EXPECT_EQ(client.liveHandles(), 0);  // nothing of the new copy was touched

  ASSERT_EQ(logOn(connected, "scott", "tiger"), 0);
  connected.LogOff();
  EXPECT_EQ(client.liveHandles(), 0);
}

TEST(ClientUnloaded, CallsThroughTheBindingRaiseTheNotLoadedError) {
  ClientHome client;
  oracle::InitOCI();
  oracle::FreeOCI();
  void* handle = nullptr;
  try {
    oracle::oci::OCIHandleAlloc(nullptr, &handle, oracle::oci::OCI_HTYPE_ENV, 0, nullptr);
    FAIL() << "called into an unloaded library";
  } catch (const oracle::Exception& e) {
    EXPECT_EQ(e.Message(), "The client library is not loaded");
  }
  EXPECT_EQ(handle, nullptr);
}

// A caller holding the session lock keeps its hold across a failed commit: the error is raised
// without giving back a lock the raiser never took, and the commit's own hold (OCI7 mode) ends
// with its scope.
TEST(SessionLock, AFailedCommitLeavesTheCallersHoldAlone) {
  for (Variant variant : {Variant::Full, Variant::Oci7}) {
    ClientHome client(variant);
    TOracleSession s(nullptr);
    ASSERT_EQ(logOn(s, "scott", "tiger"), 0);
    client.db.LoseConnectionAfter(1);
    s.Commit();
    {
      oracle::CriticalSectionGuard hold(s.SessionLock());
      EXPECT_THROW(s.Commit(), EOracleError);
      EXPECT_EQ(s.SessionLock().LockCount(), 1);
    }
    EXPECT_EQ(s.SessionLock().LockCount(), 0);
    EXPECT_THROW(s.LogOff(), EOracleError);
  }
}

// A session given another's service context borrows it with its environment, server and user
// session: logging off, or being destroyed while connected, frees only the error handles it
// made itself, and the owner's connection goes on.
TEST(ExternalConnection, AnAdoptedServiceContextIsBorrowedNotFreed) {
  ClientHome client;
  TOracleSession owner(nullptr);
  ASSERT_EQ(logOn(owner, "scott", "tiger"), 0);
  const long ownerHandles = client.liveHandles();
  ASSERT_GT(ownerHandles, 0);
  {
    TOracleSession borrower(nullptr);
    borrower.SetExternalSVC(owner.ExternalSVC());
    EXPECT_TRUE(borrower.Connected());
    EXPECT_TRUE(borrower.Shared());
    EXPECT_EQ(borrower.ExternalSVC(), owner.ExternalSVC());
    EXPECT_EQ(client.liveHandles(), ownerHandles + 2);  // its error handles
    borrower.Commit();
    borrower.LogOff();
    EXPECT_EQ(client.liveHandles(), ownerHandles);
    EXPECT_EQ(client.liveConnections(), 1);
    borrower.SetExternalSVC(owner.ExternalSVC());
  }
  EXPECT_EQ(client.liveHandles(), ownerHandles);
  EXPECT_NO_THROW(owner.Commit());
  owner.LogOff();
  EXPECT_EQ(client.liveHandles(), 0);
  EXPECT_EQ(client.liveConnections(), 0);
}

TEST(ExternalConnection, AnAdoptedLogonDataAreaIsBorrowedNotLoggedOff) {
  ClientHome client(Variant::Oci7);
  TOracleSession owner(nullptr);
  ASSERT_EQ(logOn(owner, "scott", "tiger"), 0);
  ASSERT_FALSE(owner.OCI8Mode());
  {
    TOracleSession borrower(nullptr);
    borrower.SetExternalLDA(owner.ExternalLDA());
    EXPECT_TRUE(borrower.Connected());
    EXPECT_TRUE(borrower.Shared());
    EXPECT_FALSE(borrower.OCI8Mode());
    EXPECT_EQ(borrower.ExternalLDA(), owner.ExternalLDA());
    borrower.Commit();
    borrower.LogOff();
    EXPECT_EQ(client.liveConnections(), 1);
    borrower.SetExternalLDA(owner.ExternalLDA());
  }
  EXPECT_EQ(client.liveConnections(), 1);
  EXPECT_NO_THROW(owner.Commit());
  owner.LogOff();
  EXPECT_EQ(client.liveConnections(), 0);
  EXPECT_EQ(client.liveHandles(), 0);
}

TEST(Logon, ThreadSafeSessionsLogOnFromSeveralThreads) {
  ClientHome client;
  std::vector<std::thread> threads;
  std::atomic<int> connected{0};
  for (int i = 0; i < 4; ++i)
    threads.emplace_back([&] {
      TOracleSession s(nullptr);
      s.SetThreadSafe(true);
      if (logOn(s, "scott", "tiger") == 0 && s.Connected()) ++connected;
      s.LogOff();
    });
  for (auto& t : threads) t.join();
  EXPECT_EQ(connected, 4);
  EXPECT_EQ(client.liveHandles(), 0);
}

}  // namespace
}  // namespace sessiontest

namespace sessiontest {
namespace {

TEST(TransactionServer, LogsOnThroughTheCoordinatorAndReleasesAtLogOff) {
  ClientHome client;
  TOracleSession s(nullptr);
  s.SetPooling(oracle::spMTS);
  ASSERT_EQ(logOn(s, "scott", "tiger"), 0);
  EXPECT_TRUE(s.Connected());
  EXPECT_TRUE(s.Shared());
  EXPECT_TRUE(s.OCI8Mode());
  EXPECT_TRUE(s.MTSControlled());
  try {
    s.Commit();
    FAIL() << "commit of a coordinated transaction";
  } catch (const oracle::Exception& e) {
    EXPECT_EQ(e.Message(), "Cannot commit an MTS Controlled Transaction");
  }
  s.LogOff();
  EXPECT_FALSE(s.Connected());
  EXPECT_FALSE(s.Shared());
  EXPECT_EQ(client.liveConnections(), 0);
  EXPECT_EQ(client.liveHandles(), 0);

  // Without implicit enlisting the session commits itself.
  s.SetMTSOptions({oracle::moUniqueServer});
  ASSERT_EQ(logOn(s, "scott", "tiger"), 0);
  EXPECT_FALSE(s.MTSControlled());
  EXPECT_NO_THROW(s.Commit());
  s.LogOff();
}

TEST(TransactionServer, CoordinatorFailuresUseTheStatusTable) {
  ClientHome client;
  TOracleSession s(nullptr);
  s.SetPooling(oracle::spMTS);
  try {
    logOn(s, "scott", "wrong");
    FAIL() << "logged on";
  } catch (const oracle::EOracleMTSError& e) {
    EXPECT_NE(e.ErrorCode(), 0);
    EXPECT_THAT(e.Message(), testing::StartsWith("MTS error "));
    EXPECT_THAT(e.Message(), testing::EndsWith("in function OraMTSSvcGet"));
  }
  EXPECT_FALSE(s.Connected());
}

}  // namespace
}  // namespace sessiontest
