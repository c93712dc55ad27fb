// The OCI7 logon data area: logon, logoff, messages, transactions, its published layout, and
// the conversions from and to an OCI8 service context.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

#include "ociemu/ClientFixture.h"

namespace ociemu::test {
namespace {

static_assert(sizeof(void*) != 8 || sizeof(Lda_Def) == 88, "64-bit data areas are 88 bytes");
static_assert(offsetof(Lda_Def, rc) == 12 && offsetof(Lda_Def, ft) == 2 &&
                  offsetof(Lda_Def, rpc) == 4 && offsetof(Lda_Def, peo) == 8 &&
                  offsetof(Lda_Def, fc) == 10,
              "published field offsets");

class Oci7LogonTest : public ClientTest {
 protected:
  // An LDA and HDA inside guarded buffers: a byte written outside the published fields
  // would show in the guard.
  struct Areas {
    alignas(8) unsigned char lda[CDA_SIZE + 32];
    alignas(8) unsigned char hda[HDA_SIZE + 32];
    Areas() {
      std::memset(lda, 0xA5, sizeof lda);
      std::memset(lda, 0, 4);
      std::memset(hda, 0, HDA_SIZE);
      std::memset(hda + HDA_SIZE, 0xA5, 32);
    }
    Lda_Def* Lda() { return reinterpret_cast<Lda_Def*>(lda); }
    ub1* Hda() { return hda; }
    bool Untouched() const {
      for (size_t i = 44; i < sizeof lda; ++i) {
        if (lda[i] != 0xA5) return false;
      }
      for (size_t i = 0; i < HDA_SIZE; ++i) {
        if (hda[i] != 0) return false;
      }
      return true;
    }
  };

  sword Olog(Areas& a, const char* connect) {
    return client->olog(a.Lda(), a.Hda(), reinterpret_cast<OraText*>(const_cast<char*>(connect)),
                        -1, nullptr, -1, nullptr, -1, 0);
  }

  std::string Message(Lda_Def* lda, int code) {
    OraText buf[4001] = {};
    client->oerhms(lda, static_cast<sb2>(code), buf, sizeof buf);
    return reinterpret_cast<char*>(buf);
  }
};

TEST_F(Oci7LogonTest, LogonOutcomesLandInTheReturnCode) {
  const std::pair<const char*, int> cases[] = {
      {"scott/TIGER@ORCL", 0},
      {"scott/TIGER@localhost/orcl", 0},
      {"scott/wrong@ORCL", 1017},
      {"locked_user/secret@ORCL", 28000},
      {"expired_user/oldpass@ORCL", 28001},
      {"grace_user/secret@ORCL", 28002},
      {"scott/TIGER@NOSUCH", 12154},
      {"scott/TIGER@nohost.example.invalid/orcl", 12545},
  };
  for (const auto& [connect, code] : cases) {
    SCOPED_TRACE(connect);
    Areas a;
    sword rc = Olog(a, connect);
    EXPECT_EQ(a.Lda()->rc, code);
    EXPECT_EQ(rc != 0, code != 0 && code != 28002);
    EXPECT_TRUE(a.Untouched());
    if (code == 0 || code == 28002) {
      EXPECT_EQ(client->ologof(a.Lda()), 0);
      EXPECT_EQ(a.Lda()->rc, 0);
    }
  }
  EXPECT_EQ(testing::LiveConnections(client->Library()), 0);
}

TEST_F(Oci7LogonTest, OerhmsGivesTheTextOfTheCode) {
  Areas a;
  ASSERT_NE(Olog(a, "scott/wrong@ORCL"), 0);
  EXPECT_EQ(Message(a.Lda(), a.Lda()->rc), "ORA-01017: invalid username/password; logon denied\n");
  ASSERT_EQ(Olog(a, "grace_user/secret@ORCL"), 0);
  EXPECT_EQ(Message(a.Lda(), 28002), "ORA-28002: the password will expire within 7 days\n");
  EXPECT_EQ(client->ologof(a.Lda()), 0);

  // A zero-filled area that never logged on still gets the texts, as the layer uses it.
  Lda_Def blank{};
  EXPECT_EQ(Message(&blank, 3114), "ORA-03114: not connected to ORACLE\n");
  EXPECT_EQ(Message(&blank, 942), "ORA-00942: table or view does not exist\n");
  EXPECT_EQ(Message(&blank, 31999),
            "ORA-31999: Message 31999 not found;  product=RDBMS; facility=ORA\n");

  OraText small[8];
  std::memset(small, 0x33, sizeof small);
  EXPECT_EQ(client->oerhms(&blank, 1017, small, 5), 4);
  EXPECT_STREQ(reinterpret_cast<char*>(small), "ORA-");
  EXPECT_EQ(small[5], 0x33);
  EXPECT_EQ(client->oerhms(&blank, 1017, small, 0), 0);
  EXPECT_EQ(client->oerhms(&blank, 1017, nullptr, 100), 0);
}

TEST_F(Oci7LogonTest, OrlonSplitsUserPasswordAndDatabase) {
  const struct {
    const char* uid;
    const char* pwd;
    int code;
  } cases[] = {
      {"scott/TIGER@ORCL", nullptr, 0},
      {"scott@ORCL", "TIGER", 0},
      {"scott", "TIGER", 0},  // the local default database
      {"scott/\"TIGER\"@ORCL", nullptr, 0},
      {"scott@ORCL", "wrong", 1017},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.uid);
    Areas a;
    client->orlon(a.Lda(), a.Hda(), reinterpret_cast<OraText*>(const_cast<char*>(c.uid)), -1,
                  reinterpret_cast<OraText*>(const_cast<char*>(c.pwd)), -1, 0);
    EXPECT_EQ(a.Lda()->rc, c.code) << Message(a.Lda(), a.Lda()->rc);
    if (!c.code) {
      EXPECT_EQ(client->ologof(a.Lda()), 0);
    }
  }
}

TEST_F(Oci7LogonTest, TransactionCallsNeedALogon) {
  EXPECT_EQ(client->opinit(0), 0);
  Areas a;
  for (auto call : {client->ocom, client->orol, client->ocon, client->ocof, client->ologof}) {
    EXPECT_NE(call(a.Lda()), 0);
    EXPECT_EQ(a.Lda()->rc, 1012);
  }
  ASSERT_EQ(Olog(a, "scott/TIGER@ORCL"), 0);
  for (auto call : {client->ocon, client->ocom, client->ocof, client->orol}) {
    EXPECT_EQ(call(a.Lda()), 0);
    EXPECT_EQ(a.Lda()->rc, 0);
  }
  EXPECT_EQ(client->ologof(a.Lda()), 0);
  EXPECT_NE(client->ologof(a.Lda()), 0);
  EXPECT_TRUE(a.Untouched());
}

TEST_F(Oci7LogonTest, ServiceContextConvertsToALogonDataAreaAndBack) {
  Oci8Session s(*client);
  ASSERT_TRUE(s.LogOn("SCOTT", "TIGER"));
  Areas a;
  ASSERT_EQ(client->OCISvcCtxToLda(s.svc, s.err, a.Lda()), OCI_SUCCESS);
  EXPECT_EQ(a.Lda()->rc, 0);
  EXPECT_EQ(client->ocom(a.Lda()), 0);
  EXPECT_TRUE(a.Untouched());
  OCISvcCtx* back = nullptr;
  ASSERT_EQ(client->OCILdaToSvcCtx(&back, s.err, a.Lda()), OCI_SUCCESS);
  EXPECT_EQ(back, s.svc);
  // Converted back, the area no longer stands for a logon.
  EXPECT_NE(client->ocom(a.Lda()), 0);
  EXPECT_EQ(client->OCILdaToSvcCtx(&back, s.err, a.Lda()), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 1012);
  s.LogOff();
  EXPECT_EQ(client->OCISvcCtxToLda(s.svc, s.err, a.Lda()), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 3114);
}

TEST_F(Oci7LogonTest, NativeLogonLendsItsServiceContext) {
  Areas a;
  ASSERT_EQ(Olog(a, "scott/TIGER@ORCL"), 0);
  Oci8Session s(*client);
  OCISvcCtx* svc = nullptr;
  ASSERT_EQ(client->OCILdaToSvcCtx(&svc, s.err, a.Lda()), OCI_SUCCESS);
  EXPECT_EQ(client->OCITransCommit(svc, s.err, 0), OCI_SUCCESS);
  EXPECT_EQ(client->ologof(a.Lda()), 0);
  EXPECT_EQ(client->OCITransCommit(svc, s.err, 0), OCI_INVALID_HANDLE);
}

}  // namespace
}  // namespace ociemu::test
