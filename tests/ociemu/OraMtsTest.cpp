// The transaction-coordinator stand-in, loaded beside the client as a program would load it.
#include <gtest/gtest.h>

#include "ociemu/ClientFixture.h"

namespace ociemu::test {
namespace {

class OraMtsTest : public ClientTest {
 protected:
  void SetUp() override {
    ClientTest::SetUp();
    mts = dlopen(home.OraMtsPath().c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(mts, nullptr) << dlerror();
    get = reinterpret_cast<Get>(dlsym(mts, "OraMTSSvcGet"));
    rel = reinterpret_cast<Rel>(dlsym(mts, "OraMTSSvcRel"));
    enlist = reinterpret_cast<Enlist>(dlsym(mts, "OraMTSSvcEnlist"));
    enlistEx = reinterpret_cast<EnlistEx>(dlsym(mts, "OraMTSSvcEnlistEx"));
    transTest = reinterpret_cast<TransTest>(dlsym(mts, "OraMTSTransTest"));
    ASSERT_TRUE(get && rel && enlist && enlistEx && transTest);
  }
  void TearDown() override {
    if (mts) dlclose(mts);
  }

  ub4 Get3(const char* user, const char* password, const char* database, OCISvcCtx** svc,
           OCIEnv** env, ub4 flags = 0) {
    auto t = [](const char* s) { return reinterpret_cast<text*>(const_cast<char*>(s)); };
    return get(t(user), t(password), t(database), svc, env, flags);
  }

  using Get = ub4 (*)(text*, text*, text*, OCISvcCtx**, OCIEnv**, ub4);
  using Rel = ub4 (*)(OCISvcCtx*);
  using Enlist = ub4 (*)(OCISvcCtx*, OCIError*, void*, ub4);
  using EnlistEx = ub4 (*)(OCISvcCtx*, OCIError*, void*, ub4, char*);
  using TransTest = int (*)();
  void* mts = nullptr;
  Get get = nullptr;
  Rel rel = nullptr;
  Enlist enlist = nullptr;
  EnlistEx enlistEx = nullptr;
  TransTest transTest = nullptr;
};

TEST_F(OraMtsTest, HandsOutAConnectionOfTheClientBesideIt) {
  OCISvcCtx* svc = nullptr;
  OCIEnv* env = nullptr;
  ASSERT_EQ(Get3("scott", "TIGER", "ORCL", &svc, &env, 0x1), 0u);
  ASSERT_NE(svc, nullptr);
  ASSERT_NE(env, nullptr);
  EXPECT_EQ(testing::LiveConnections(client->Library()), 1);

  // The service context is one of the loaded client's: the program works on it directly.
  OCIError* err = nullptr;
  ASSERT_EQ(
      client->OCIHandleAlloc(env, reinterpret_cast<void**>(&err), OCI_HTYPE_ERROR, 0, nullptr),
      OCI_SUCCESS);
  EXPECT_EQ(client->OCITransCommit(svc, err, 0), OCI_SUCCESS);
  void* reported = nullptr;
  EXPECT_EQ(client->OCIAttrGet(svc, OCI_HTYPE_SVCCTX, &reported, nullptr, OCI_ATTR_ENV, err),
            OCI_SUCCESS);
  EXPECT_EQ(reported, env);

  EXPECT_EQ(enlist(svc, err, &reported, 0), 6006u);  // no coordinator to enlist with
  EXPECT_EQ(enlistEx(svc, err, nullptr, 0, nullptr), 6008u);
  EXPECT_EQ(transTest(), 0);

  EXPECT_EQ(rel(svc), 0u);
  EXPECT_EQ(testing::LiveConnections(client->Library()), 0);
  EXPECT_EQ(testing::LiveHandles(client->Library()), 0);
  EXPECT_EQ(rel(svc), 1004u);
}

TEST_F(OraMtsTest, FailuresUseTheCoordinatorsStatuses) {
  OCISvcCtx* svc = nullptr;
  OCIEnv* env = nullptr;
  EXPECT_EQ(Get3("scott", "wrong", "ORCL", &svc, &env), 4002u);
  EXPECT_EQ(svc, nullptr);
  EXPECT_EQ(Get3("scott", "TIGER", "NOSUCH", &svc, &env), 3002u);
  EXPECT_EQ(Get3("scott", "TIGER", "ORCL", nullptr, &env), 6001u);
  EXPECT_EQ(Get3("scott", "TIGER", "ORCL", &svc, &env, 0x4), 4002u);  // SYSDBA without the right
  ASSERT_EQ(Get3("system", "MANAGER", "ORCL", &svc, &env, 0x4), 0u);
  EXPECT_EQ(rel(svc), 0u);
  EXPECT_EQ(rel(nullptr), 1004u);
  EXPECT_EQ(enlist(nullptr, nullptr, nullptr, 0), 1004u);
  EXPECT_EQ(testing::LiveHandles(client->Library()), 0);
}

}  // namespace
}  // namespace ociemu::test
