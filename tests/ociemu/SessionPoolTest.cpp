// The client's session pool: connections handed out and taken back, homogeneous and with the
// caller's own credentials, limits and destruction.
#include <gtest/gtest.h>

#include <cstring>

#include "ociemu/ClientFixture.h"

namespace ociemu::test {
namespace {

class SessionPoolTest : public ClientTest {
 protected:
  void SetUp() override {
    ClientTest::SetUp();
    ASSERT_EQ(
        client->OCIHandleAlloc(s.env, reinterpret_cast<void**>(&pool), OCI_HTYPE_SPOOL, 0, nullptr),
        OCI_SUCCESS);
    baseline = testing::LiveHandles(client->Library());
  }

  sword Create(const char* connect, const char* user, const char* password, ub4 min, ub4 max,
               ub4 mode) {
    OraText* name = nullptr;
    ub4 length = 0;
    auto t = [](const char* p) { return reinterpret_cast<OraText*>(const_cast<char*>(p)); };
    sword rc = client->OCISessionPoolCreate(s.env, s.err, pool, &name, &length, t(connect),
                                            static_cast<ub4>(strlen(connect)), min, max, 1, t(user),
                                            static_cast<ub4>(strlen(user)), t(password),
                                            static_cast<ub4>(strlen(password)), mode);
    if (rc == OCI_SUCCESS) poolName.assign(reinterpret_cast<char*>(name), length);
    return rc;
  }
  sword Get(OCISvcCtx** svc, OCIAuthInfo* auth = nullptr) {
    return client->OCISessionGet(s.env, s.err, svc, auth,
                                 reinterpret_cast<OraText*>(poolName.data()),
                                 static_cast<ub4>(poolName.size()), nullptr, 0, nullptr, nullptr,
                                 nullptr, OCI_SESSGET_SPOOL);
  }
  ub4 Count(ub4 attribute) {
    ub4 n = 0;
    EXPECT_EQ(client->OCIAttrGet(pool, OCI_HTYPE_SPOOL, &n, nullptr, attribute, s.err),
              OCI_SUCCESS);
    return n;
  }
  std::string UserOf(OCISvcCtx* svc) {
    Oci8Session view(*client);
    std::swap(view.svc, svc);
    Rows rows = Query(view, "select user from dual");
    std::swap(view.svc, svc);
    return rows.empty() ? "" : rows[0][0];
  }

  Oci8Session s{*client};
  OCISPool* pool = nullptr;
  std::string poolName;
  long baseline = 0;
};

TEST_F(SessionPoolTest, HomogeneousPoolLendsAndTakesBackConnections) {
  ASSERT_EQ(Create("ORCL", "scott", "TIGER", 1, 2, OCI_SPC_HOMOGENEOUS), OCI_SUCCESS)
      << s.Error().text;
  EXPECT_EQ(Count(OCI_ATTR_SPOOL_OPEN_COUNT), 1u);
  OCISvcCtx* first = nullptr;
  OCISvcCtx* second = nullptr;
  ASSERT_EQ(Get(&first), OCI_SUCCESS) << s.Error().text;
  EXPECT_EQ(UserOf(first), "SCOTT");
  EXPECT_EQ(testing::LiveHandles(client->Library()), baseline + 1);
  ASSERT_EQ(Get(&second), OCI_SUCCESS);
  EXPECT_NE(first, second);
  EXPECT_EQ(Count(OCI_ATTR_SPOOL_BUSY_COUNT), 2u);
  OCISvcCtx* third = nullptr;
  EXPECT_EQ(Get(&third), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 24418);
  ASSERT_EQ(client->OCISessionRelease(first, s.err, nullptr, 0, OCI_DEFAULT), OCI_SUCCESS);
  ASSERT_EQ(Get(&third), OCI_SUCCESS);
  EXPECT_EQ(third, first);  // the released connection is lent again
  EXPECT_EQ(client->OCISessionPoolDestroy(pool, s.err, OCI_DEFAULT), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 24422);
  EXPECT_EQ(client->OCISessionRelease(second, s.err, nullptr, 0, OCI_SESSRLS_DROPSESS),
            OCI_SUCCESS);
  EXPECT_EQ(Count(OCI_ATTR_SPOOL_OPEN_COUNT), 1u);
  ASSERT_EQ(client->OCISessionPoolDestroy(pool, s.err, OCI_SPD_FORCE), OCI_SUCCESS);
  EXPECT_EQ(testing::LiveConnections(client->Library()), 0);
  EXPECT_EQ(testing::LiveHandles(client->Library()), baseline);
  EXPECT_EQ(Get(&third), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 24416);
}

TEST_F(SessionPoolTest, ConnectionsWithTheCallersOwnCredentials) {
  ASSERT_EQ(Create("localhost/orcl", "", "", 0, 0, OCI_DEFAULT), OCI_SUCCESS) << s.Error().text;
  OCIAuthInfo* auth = nullptr;
  ASSERT_EQ(client->OCIHandleAlloc(s.env, reinterpret_cast<void**>(&auth), OCI_HTYPE_AUTHINFO, 0,
                                   nullptr),
            OCI_SUCCESS);
  auto credentials = [&](const char* user, const char* password) {
    client->OCIAttrSet(auth, OCI_HTYPE_AUTHINFO, const_cast<char*>(user),
                       static_cast<ub4>(strlen(user)), OCI_ATTR_USERNAME, s.err);
    client->OCIAttrSet(auth, OCI_HTYPE_AUTHINFO, const_cast<char*>(password),
                       static_cast<ub4>(strlen(password)), OCI_ATTR_PASSWORD, s.err);
  };
  OCISvcCtx* svc = nullptr;
  credentials("SYSTEM", "MANAGER");
  ASSERT_EQ(Get(&svc, auth), OCI_SUCCESS) << s.Error().text;
  EXPECT_EQ(UserOf(svc), "SYSTEM");
  ASSERT_EQ(client->OCISessionRelease(svc, s.err, nullptr, 0, OCI_DEFAULT), OCI_SUCCESS);
  credentials("SYSTEM", "wrong");
  EXPECT_EQ(Get(&svc, auth), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 1017);
  credentials("LOCKED_USER", "secret");
  EXPECT_EQ(Get(&svc, auth), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 28000);
  EXPECT_EQ(Get(&svc, nullptr), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 24415);

  // Without a pool, the name is a connect string.
  credentials("SCOTT", "TIGER");
  const OraText connect[] = "ORCL";
  ASSERT_EQ(client->OCISessionGet(s.env, s.err, &svc, auth, const_cast<OraText*>(connect), 4,
                                  nullptr, 0, nullptr, nullptr, nullptr, OCI_DEFAULT),
            OCI_SUCCESS);
  EXPECT_EQ(UserOf(svc), "SCOTT");
  ASSERT_EQ(client->OCISessionRelease(svc, s.err, nullptr, 0, OCI_DEFAULT), OCI_SUCCESS);
  ASSERT_EQ(client->OCISessionPoolDestroy(pool, s.err, OCI_DEFAULT), OCI_SUCCESS);
  client->OCIHandleFree(auth, OCI_HTYPE_AUTHINFO);
  EXPECT_EQ(testing::LiveConnections(client->Library()), 0);
}

TEST_F(SessionPoolTest, APoolThatCannotConnectSaysSoAtCreation) {
  EXPECT_EQ(Create("NOSUCH", "scott", "TIGER", 1, 2, OCI_SPC_HOMOGENEOUS), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 12154);
  EXPECT_EQ(Create("ORCL", "scott", "bad", 1, 2, OCI_SPC_HOMOGENEOUS), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 1017);
  EXPECT_EQ(client->OCISessionRelease(s.svc, s.err, nullptr, 0, OCI_DEFAULT), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 3001);  // a service context of its own is no pool's
}

}  // namespace
}  // namespace ociemu::test
