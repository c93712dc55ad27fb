// The handle types ociemu makes, each as an object of its own kind: the session pool's state and
// its release (closing the pool's connections, forgetting its name) belong to session-pool
// handles alone, not to describe, transaction or the other handles that have no behaviour yet.
#include <gtest/gtest.h>

#include <memory>
#include <mutex>

#include "ociemu/internal/Handles.h"
#include "ociemu/internal/SessionPool.h"
#include "ociemu/internal/Statement.h"

namespace ociemu {
namespace {

struct KindCase {
  const char* name;
  ub4 type;
  bool pool;  // made as a session-pool handle
};

void PrintTo(const KindCase& c, std::ostream* os) {
  *os << c.name;
}

class HandleKind : public testing::TestWithParam<KindCase> {};

TEST_P(HandleKind, IsMadeAsItsOwnKind) {
  const KindCase& c = GetParam();
  auto env = std::make_shared<Environment>(OCI_DEFAULT);
  std::shared_ptr<Handle> handle = MakeHandle(c.type, env, false);
  ASSERT_TRUE(handle);
  EXPECT_EQ(handle->Type(), c.type);
  EXPECT_EQ(dynamic_cast<PoolHandle*>(handle.get()) != nullptr, c.pool);
  EXPECT_EQ(FindHandle(handle.get(), c.type), handle);
  std::lock_guard<std::mutex> lock(env->Lock());
  FreeHandle(*handle);
  EXPECT_FALSE(FindHandle(handle.get(), c.type));
  env->Release();
}

INSTANTIATE_TEST_SUITE_P(Types, HandleKind,
                         testing::Values(KindCase{"Error", OCI_HTYPE_ERROR, false},
                                         KindCase{"ServiceContext", OCI_HTYPE_SVCCTX, false},
                                         KindCase{"Statement", OCI_HTYPE_STMT, false},
                                         KindCase{"Describe", OCI_HTYPE_DESCRIBE, false},
                                         KindCase{"Server", OCI_HTYPE_SERVER, false},
                                         KindCase{"Session", OCI_HTYPE_SESSION, false},
                                         KindCase{"Transaction", OCI_HTYPE_TRANS, false},
                                         KindCase{"ComplexObject", OCI_HTYPE_COMPLEXOBJECT, false},
                                         KindCase{"Security", OCI_HTYPE_SECURITY, false},
                                         KindCase{"Subscription", OCI_HTYPE_SUBSCRIPTION, false},
                                         KindCase{"ConnectionPool", OCI_HTYPE_CPOOL, false},
                                         KindCase{"SessionPool", OCI_HTYPE_SPOOL, true},
                                         KindCase{"Admin", OCI_HTYPE_ADMIN, false}),
                         [](const testing::TestParamInfo<KindCase>& row) {
                           return std::string(row.param.name);
                         });

}  // namespace
}  // namespace ociemu
