#include "oracle/session/OracleSession.h"

#include <gtest/gtest.h>

#include "oracle/core/Exception.h"
#include "oracle/session/SessionPool.h"
#include "platform/RegFileRegistry.h"
#include "platform/Services.h"

namespace oracle {
namespace {

// A session whose logon only flips the connected state, so property rules can be tested
// against a connected session.
class ConnectedSession : public TOracleSession {
 public:
  using TOracleSession::TOracleSession;
  void LogOn() override {
    ++logOns;
    SetConnectedState(true);
  }
  void LogOff() override {
    ++logOffs;
    SetConnectedState(false);
  }
  int logOns = 0;
  int logOffs = 0;
};

TEST(OracleSession, DefaultsAfterCreation) {
  TOracleSession s(nullptr);
  EXPECT_EQ(s.Cursor(), -11);
  EXPECT_FALSE(s.Connected());
  EXPECT_EQ(s.ConnectAs(), caNormal);
  EXPECT_EQ(s.Pooling(), spNone);
  EXPECT_EQ(s.MTSOptions(), (TMTSOptions{moImplicit, moUniqueServer}));
  EXPECT_EQ(s.BytesPerCharacter(), bc1Byte);
  EXPECT_EQ(s.StatementCacheSize(), 20);
  EXPECT_EQ(s.CachedCharacterWidth(), 0);
  EXPECT_EQ(s.CachedDateFormatLength(), -1);
  EXPECT_EQ(s.Preferences().SmallIntPrecision(), -1);
  EXPECT_EQ(s.Preferences().MaxStringFieldSize(), 0);
  EXPECT_EQ(s.Preferences().TemporaryLOB(), tlCache);
  EXPECT_TRUE(s.Preferences().ConvertCRLF());
  EXPECT_TRUE(SessionList().Contains(&s));
}

TEST(OracleSession, SessionListFollowsLifetime) {
  TOracleSession* raw = nullptr;
  {
    TOracleSession s(nullptr);
    raw = &s;
    EXPECT_TRUE(SessionList().Contains(raw));
  }
  EXPECT_FALSE(SessionList().Contains(raw));
}

TEST(OracleSession, ConnectStringSplitsAFullConnectStringInTheUsername) {
  TOracleSession s(nullptr);
  s.SetLogonUsername("scott/tiger@orcl as sysdba");
  EXPECT_EQ(s.ConnectString(), "scott/tiger@orcl as sysdba");
  EXPECT_EQ(s.LogonUsername(), "scott");
  EXPECT_EQ(s.LogonPassword(), "tiger");
  EXPECT_EQ(s.LogonDatabase(), "orcl");
  EXPECT_EQ(s.ConnectAs(), caSYSDBA);

  TOracleSession t(nullptr);
  t.SetLogonUsername("scott");
  t.SetLogonPassword("tiger");
  t.SetConnectAs(caSYSOPER);
  EXPECT_EQ(t.ConnectString(), "scott/tiger as SYSOPER");

  TOracleSession os(nullptr);
  os.SetLogonUsername("/");
  EXPECT_EQ(os.ConnectString(), "/");
  EXPECT_EQ(os.LogonUsername(), "");
  EXPECT_EQ(os.LogonPassword(), "");
}

TEST(OracleSession, PropertiesThatShapeAConnectionAreRefusedWhileConnected) {
  ConnectedSession s(nullptr);
  TOracleSessionPool pool(nullptr);
  s.SetConnected(true);
  ASSERT_TRUE(s.Connected());

  struct Refusal {
    const char* message;
    std::function<void()> change;
    std::function<void()> same;
  };
  const Refusal refusals[] = {
      {"Cannot change ThreadSafe property when connected", [&] { s.SetThreadSafe(true); },
       [&] { s.SetThreadSafe(false); }},
      {"Cannot change Pooling property when connected", [&] { s.SetPooling(spMTS); },
       [&] { s.SetPooling(spNone); }},
      {"Cannot change Pool property when connected", [&] { s.SetPool(&pool); },
       [&] { s.SetPool(nullptr); }},
      {"Cannot change MTSOptions property when connected", [&] { s.SetMTSOptions({}); },
       [&] { s.SetMTSOptions({moImplicit, moUniqueServer}); }},
      {"Cannot change StatementCache property when connected", [&] { s.SetStatementCache(true); },
       [&] { s.SetStatementCache(false); }},
      {"Cannot change UseOCI7 property when session is connected",
       [&] { s.Preferences().SetUseOCI7(true); }, [&] { s.Preferences().SetUseOCI7(false); }},
  };
  for (const auto& r : refusals) {
    SCOPED_TRACE(r.message);
    try {
      r.change();
      ADD_FAILURE() << "no refusal";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), r.message);
    }
    EXPECT_NO_THROW(r.same());
  }
  EXPECT_FALSE(s.ThreadSafe());
  EXPECT_EQ(s.Pool(), nullptr);
  EXPECT_FALSE(s.Preferences().UseOCI7());
}

TEST(OracleSession, PoolAndPoolingMoveTogether) {
  TOracleSession s(nullptr);
  {
    TOracleSessionPool pool(nullptr);
    s.SetPool(&pool);
    EXPECT_EQ(s.Pooling(), spInternal);
    s.SetPooling(spNone);
    EXPECT_EQ(s.Pool(), nullptr);
    s.SetPool(&pool);
  }
  // A freed pool is forgotten through free notification.
  EXPECT_EQ(s.Pool(), nullptr);
}

TEST(OracleSession, BytesPerCharacterClearsTheCachedWidthOnlyOnChange) {
  TOracleSession s(nullptr);
  s.SetBytesPerCharacter(bc1Byte);
  EXPECT_EQ(s.CachedCharacterWidth(), 0);
  s.SetBytesPerCharacter(bc2Bytes);
  EXPECT_EQ(s.BytesPerCharacter(), bc2Bytes);
}

class RemoteDataModuleOwner : public TComponent {
 public:
  RemoteDataModuleOwner() : TComponent(nullptr) {}
  const char* ParentClassName() const override { return "TRemoteDataModule"; }
};

TEST(OracleSession, RemoteDataModuleOwnerStartsWithStringFieldSize255) {
  RemoteDataModuleOwner owner;
  auto* s = new TOracleSession(&owner);  // freed by its owner
  EXPECT_EQ(s->Preferences().MaxStringFieldSize(), 255);
}

struct NumericCase {
  int precision, scale;
  bool forceString;
  int integerPrecision, floatPrecision;
  int type, size;
};

TEST(OracleSession, NumericColumnType) {
  const NumericCase cases[] = {
      {9, 0, false, 0, 0, 3, 4},       {10, 0, false, 0, 0, 4, 8},
      {12, 2, false, 0, 0, 4, 8},      {9, 0, true, 0, 0, 5, 11},
      {12, 2, true, 0, 0, 5, 15},      {0, -127, false, 0, 0, 4, 8},
      {0, -127, false, 0, 15, 5, 173}, {0, 0, false, 0, 0, 4, 8},
      {0, 0, false, 38, 0, 3, 4},      {16, 0, false, 0, 15, 5, 18},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.precision << "," << c.scale << " force "
                                    << c.forceString << " int " << c.integerPrecision
                                    << " float " << c.floatPrecision);
    TOracleSession s(nullptr);
    s.Preferences().SetIntegerPrecision(c.integerPrecision);
    s.Preferences().SetFloatPrecision(c.floatPrecision);
    EXPECT_EQ(s.NumericColumnType(c.precision, c.scale, c.forceString),
              std::make_pair(c.type, c.size));
  }
}

TEST(OracleSession, ODBCDetectionReadsTheOCA60Value) {
  platform::RegFileRegistry registry(platform::RegText{
      "Windows Registry Editor Version 5.00\r\n\r\n"
      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\ORACLE]\r\n\"OCA60\"=\"1\"\r\n"});
  platform::ScopedServices services({.registry = &registry});
  TOracleSession s(nullptr);
  s.SetLogonDatabase("odbc:mydsn");
  EXPECT_TRUE(s.IsODBCLogon());
  EXPECT_TRUE(s.OCA60Present());
  s.SetLogonDatabase("orcl");
  EXPECT_FALSE(s.IsODBCLogon());
  // With a 10-digit integer limit for ODBC logons, NUMBER(10) becomes an integer.
  s.SetLogonUsername("ODBC:x");
  EXPECT_EQ(s.NumericColumnType(10, 0, false).first, 3);

  platform::RegFileRegistry empty(platform::RegText{""});
  platform::ScopedServices none({.registry = &empty});
  s.SetLogonDatabase("ODBC:other");
  EXPECT_FALSE(s.OCA60Present());
}

TEST(OracleSession, ConnectedWhileLoadingWaitsForLoaded) {
  ConnectedSession s(nullptr);
  int changes = 0;
  s.OnChange = [&](TOracleSession&) { ++changes; };
  s.BeginLoading();
  s.SetConnected(true);
  EXPECT_EQ(s.logOns, 0);
  s.EndLoading();
  EXPECT_EQ(s.logOns, 1);
  EXPECT_TRUE(s.Connected());
  EXPECT_EQ(changes, 1);  // Loaded fires OnChange for a connected session
}

TEST(OracleSession, DesignConnectionRulesOutStoredValuesAtRunTime) {
  ConnectedSession s(nullptr);
  s.BeginLoading();
  s.SetDesignConnection(true);
  s.SetLogonUsername("designer");
  s.SetConnected(true);
  s.EndLoading();
  EXPECT_EQ(s.LogonUsername(), "");
  EXPECT_EQ(s.logOns, 0);
  EXPECT_FALSE(s.Connected());
}

TEST(OracleSession, ConnectedRunsLogOnAndLogOffOnlyOnChange) {
  ConnectedSession s(nullptr);
  s.SetConnected(true);
  s.SetConnected(true);
  s.SetConnected(false);
  s.SetConnected(false);
  EXPECT_EQ(s.logOns, 1);
  EXPECT_EQ(s.logOffs, 1);
}

// A registered client of the session, recording what it is told.
struct RecordingClient : TSessionClient {
  explicit RecordingClient(std::vector<std::string>& log, std::string name)
      : log_(log), name_(std::move(name)) {}
  void SessionDetach() override { log_.push_back("detach " + name_); }
  std::vector<std::string>& log_;
  std::string name_;
};

TEST(OracleSession, DestructionDetachesQueriesLastFirstButNotDatasets) {
  std::vector<std::string> log;
  RecordingClient q1(log, "q1"), q2(log, "q2"), lob(log, "lob"), ds(log, "dataset");
  {
    TOracleSession s(nullptr);
    s.RegisterClient(rkQuery, &q1);
    s.RegisterClient(rkQuery, &q2);
    s.RegisterClient(rkLOBLocator, &lob);
    s.RegisterClient(rkDataset, &ds);
  }
  EXPECT_EQ(log, (std::vector<std::string>{"detach q2", "detach q1", "detach lob"}));
}

}  // namespace
}  // namespace oracle
