// The calls and attributes of the 19c-generation variant, as a driver written for that client
// uses them right after loading it, logging on and running statements.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ociemu/ClientFixture.h"
#include "ociemu/Oci19.h"

namespace ociemu::test {
namespace {

using testing::Variant;

class Generation19Test : public ClientTest {
 protected:
  Generation19Test() : ClientTest(Variant::Gen19) {}

  template <class F>
  F Call(const char* name) {
    auto f = reinterpret_cast<F>(client->Symbol(name));
    EXPECT_NE(f, nullptr) << name;
    return f;
  }

  OCIStmt* Prepare(Oci8Session& s, const std::string& sql) {
    OCIStmt* stmt = nullptr;
    EXPECT_EQ(client->OCIStmtPrepare2(
                  s.svc, &stmt, s.err, reinterpret_cast<const OraText*>(sql.data()),
                  static_cast<ub4>(sql.size()), nullptr, 0, OCI_NTV_SYNTAX, OCI_DEFAULT),
              OCI_SUCCESS);
    return stmt;
  }
  sword Execute(Oci8Session& s, OCIStmt* stmt, ub4 iters) {
    return client->OCIStmtExecute(s.svc, stmt, s.err, iters, 0, nullptr, nullptr, OCI_DEFAULT);
  }
  void Release(Oci8Session& s, OCIStmt* stmt) {
    EXPECT_EQ(client->OCIStmtRelease(stmt, s.err, nullptr, 0, OCI_DEFAULT), OCI_SUCCESS);
  }
};

TEST_F(Generation19Test, VersionsOfClientAndServer) {
  sword v[5] = {-1, -1, -1, -1, -1};
  Call<decltype(&OCIClientVersion)>("OCIClientVersion")(&v[0], &v[1], &v[2], &v[3], &v[4]);
  EXPECT_EQ(v[0], 19);
  EXPECT_GE(v[1], 0);

  db.SetBanner(
      "Oracle Database 19c Enterprise Edition Release 19.0.0.0.0 - Production\n"
      "Version 19.3.0.0.0");
  Oci8Session s(*client);
  ASSERT_TRUE(s.LogOn("SCOTT", "TIGER"));
  auto release = Call<decltype(&OCIServerRelease2)>("OCIServerRelease2");
  ub4 version = 0;
  char banner[200] = {};
  ASSERT_EQ(release(s.svc, s.err, reinterpret_cast<OraText*>(banner), sizeof banner,
                    OCI_HTYPE_SVCCTX, &version, OCI_DEFAULT),
            OCI_SUCCESS);
  EXPECT_EQ(OCI_SERVER_RELEASE_REL(version), 19u);
  EXPECT_EQ(OCI_SERVER_RELEASE_REL_UPD(version), 3u);
  EXPECT_EQ(OCI_SERVER_RELEASE_REL_UPD_REV(version), 0u);
  EXPECT_EQ(std::string(banner).rfind("Oracle Database 19c", 0), 0u);
  // An older server's banner names its release only.
  db.SetBanner("Oracle Database 11g Enterprise Edition Release 11.2.0.4.0 - 64bit Production");
  Oci8Session old(*client);
  ASSERT_TRUE(old.LogOn("SCOTT", "TIGER"));
  ASSERT_EQ(release(old.srv, old.err, nullptr, 0, OCI_HTYPE_SERVER, &version, OCI_DEFAULT),
            OCI_SUCCESS);
  EXPECT_EQ(OCI_SERVER_RELEASE_REL(version), 11u);
  EXPECT_EQ(OCI_SERVER_RELEASE_REL_UPD(version), 2u);
  EXPECT_EQ(OCI_SERVER_RELEASE_REL_UPD_INC(version), 4u);
}

TEST_F(Generation19Test, PingReachesTheServerAndFailsOnceTheConnectionIsGone) {
  auto ping = Call<decltype(&OCIPing)>("OCIPing");
  Oci8Session s(*client);
  ASSERT_TRUE(s.LogOn("SCOTT", "TIGER"));
  EXPECT_EQ(ping(s.svc, s.err, OCI_DEFAULT), OCI_SUCCESS);
  db.FailCall("OCIPing", 3113);
  EXPECT_EQ(ping(s.svc, s.err, OCI_DEFAULT), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 3113);
  boolean recoverable = 0;
  EXPECT_EQ(client->OCIAttrGet(s.err, OCI_HTYPE_ERROR, &recoverable, nullptr,
                               OCI_ATTR_ERROR_IS_RECOVERABLE, s.err),
            OCI_SUCCESS);
  EXPECT_EQ(recoverable, 1);
  // The read leaves the error in place.
  EXPECT_EQ(s.Error().code, 3113);
}

TEST_F(Generation19Test, CharacterSetsOfEnvironmentAndDatabase) {
  OCIEnv* env = nullptr;
  auto create = Call<decltype(&OCIEnvNlsCreate)>("OCIEnvNlsCreate");
  auto nameToId = Call<decltype(&OCINlsCharSetNameToId)>("OCINlsCharSetNameToId");
  auto idToName = Call<decltype(&OCINlsCharSetIdToName)>("OCINlsCharSetIdToName");
  auto numeric = Call<decltype(&OCINlsNumericInfoGet)>("OCINlsNumericInfoGet");
  ASSERT_EQ(create(&env, OCI_THREADED, nullptr, nullptr, nullptr, nullptr, 0, nullptr, 873, 873),
            OCI_SUCCESS);
  OCIError* err = nullptr;
  client->OCIHandleAlloc(env, reinterpret_cast<void**>(&err), OCI_HTYPE_ERROR, 0, nullptr);
  ub2 charset = 0, ncharset = 0;
  EXPECT_EQ(client->OCIAttrGet(env, OCI_HTYPE_ENV, &charset, nullptr, OCI_ATTR_ENV_CHARSET_ID, err),
            OCI_SUCCESS);
  EXPECT_EQ(
      client->OCIAttrGet(env, OCI_HTYPE_ENV, &ncharset, nullptr, OCI_ATTR_ENV_NCHARSET_ID, err),
      OCI_SUCCESS);
  EXPECT_EQ(charset, 873);
  EXPECT_EQ(ncharset, 873);
  EXPECT_EQ(nameToId(env, reinterpret_cast<const oratext*>("AL32UTF8")), 873);
  EXPECT_EQ(nameToId(env, reinterpret_cast<const oratext*>("we8mswin1252")), 178);
  EXPECT_EQ(nameToId(env, reinterpret_cast<const oratext*>("NO_SUCH_SET")), 0);
  oratext name[20];
  EXPECT_EQ(idToName(env, name, sizeof name, 871), OCI_SUCCESS);
  EXPECT_STREQ(reinterpret_cast<char*>(name), "UTF8");
  EXPECT_EQ(idToName(env, name, 4, 871 + 2), OCI_ERROR);
  sb4 value = 0;
  EXPECT_EQ(numeric(env, err, &value, OCI_NLS_CHARSET_MAXBYTESZ), OCI_SUCCESS);
  EXPECT_EQ(value, 4);
  EXPECT_EQ(numeric(env, err, &value, OCI_NLS_CHARSET_FIXEDWIDTH), OCI_SUCCESS);
  EXPECT_EQ(value, 0);
  client->OCIHandleFree(env, OCI_HTYPE_ENV);

  // The database's own set, read from the server handle.
  db.SetCharacterSet("WE8MSWIN1252");
  Oci8Session s(*client);
  ASSERT_TRUE(s.LogOn("SCOTT", "TIGER"));
  ub2 server = 0;
  EXPECT_EQ(
      client->OCIAttrGet(s.srv, OCI_HTYPE_SERVER, &server, nullptr, OCI_ATTR_CHARSET_ID, s.err),
      OCI_SUCCESS);
  EXPECT_EQ(server, 178);
}

TEST_F(Generation19Test, BindsAndDefinesWithFourByteLengths) {
  auto bindByPos2 = Call<decltype(&OCIBindByPos2)>("OCIBindByPos2");
  auto bindByName2 = Call<decltype(&OCIBindByName2)>("OCIBindByName2");
  auto defineByPos2 = Call<decltype(&OCIDefineByPos2)>("OCIDefineByPos2");
  Oci8Session s(*client);
  ASSERT_TRUE(s.LogOn("SCOTT", "TIGER"));
  ASSERT_EQ(Exec(s, "create table t (id number(5), name varchar2(100))"), OCI_SUCCESS);

  // Two rows in one execution; the lengths cut the values short of their buffers.
  OCIStmt* insert = Prepare(s, "insert into t values (:id, :name)");
  int ids[2] = {1, 2};
  char names[2][10] = {"alphaXXXX", "betaXXXXX"};
  ub4 lengths[2] = {5, 4};
  OCIBind* b1 = nullptr;
  OCIBind* b2 = nullptr;
  ASSERT_EQ(bindByPos2(insert, &b1, s.err, 1, ids, sizeof ids[0], SQLT_INT, nullptr, nullptr,
                       nullptr, 0, nullptr, OCI_DEFAULT),
            OCI_SUCCESS);
  ASSERT_EQ(
      bindByName2(insert, &b2, s.err, reinterpret_cast<const OraText*>(":name"), -1, names,
                  sizeof names[0], SQLT_CHR, nullptr, lengths, nullptr, 0, nullptr, OCI_DEFAULT),
      OCI_SUCCESS);
  ASSERT_EQ(Execute(s, insert, 2), OCI_SUCCESS) << s.Error().text;
  ub8 count = 0;
  EXPECT_EQ(
      client->OCIAttrGet(insert, OCI_HTYPE_STMT, &count, nullptr, OCI_ATTR_UB8_ROW_COUNT, s.err),
      OCI_SUCCESS);
  EXPECT_EQ(count, 2u);
  ub1 returning = 1;
  EXPECT_EQ(client->OCIAttrGet(insert, OCI_HTYPE_STMT, &returning, nullptr,
                               OCI_ATTR_STMT_IS_RETURNING, s.err),
            OCI_SUCCESS);
  EXPECT_EQ(returning, 0);
  // A negative or oversized buffer size is refused as Oracle refuses it.
  OCIBind* bad = nullptr;
  EXPECT_EQ(bindByPos2(insert, &bad, s.err, 1, ids, sb8{1} << 40, SQLT_INT, nullptr, nullptr,
                       nullptr, 0, nullptr, OCI_DEFAULT),
            OCI_ERROR);
  EXPECT_EQ(s.Error().code, 1459);
  Release(s, insert);

  OCIStmt* query = Prepare(s, "select name from t order by id");
  ASSERT_EQ(Execute(s, query, 0), OCI_SUCCESS);
  char out[2][100] = {};
  ub4 outLengths[2] = {0, 0};
  sb2 indicators[2] = {-1, -1};
  OCIDefine* d = nullptr;
  ASSERT_EQ(defineByPos2(query, &d, s.err, 1, out, sizeof out[0], SQLT_CHR, indicators, outLengths,
                         nullptr, OCI_DEFAULT),
            OCI_SUCCESS);
  ASSERT_EQ(client->OCIStmtFetch2(query, s.err, 2, OCI_FETCH_NEXT, 0, OCI_DEFAULT), OCI_SUCCESS);
  EXPECT_EQ(std::string(out[0], outLengths[0]), "alpha");
  EXPECT_EQ(std::string(out[1], outLengths[1]), "beta");
  EXPECT_EQ(indicators[0], 0);
  Release(s, query);

  OCIStmt* update = Prepare(s, "update t set name = 'x' where id = 1 returning name into :n");
  char returned[10] = {};
  ub4 returnedLength = 0;
  OCIBind* rb = nullptr;
  ASSERT_EQ(bindByName2(update, &rb, s.err, reinterpret_cast<const OraText*>(":n"), -1, returned,
                        sizeof returned, SQLT_CHR, nullptr, &returnedLength, nullptr, 0, nullptr,
                        OCI_DEFAULT),
            OCI_SUCCESS);
  ASSERT_EQ(Execute(s, update, 1), OCI_SUCCESS) << s.Error().text;
  EXPECT_EQ(client->OCIAttrGet(update, OCI_HTYPE_STMT, &returning, nullptr,
                               OCI_ATTR_STMT_IS_RETURNING, s.err),
            OCI_SUCCESS);
  EXPECT_EQ(returning, 1);
  EXPECT_EQ(std::string(returned, returnedLength), "x");
  Release(s, update);
}

TEST_F(Generation19Test, StatementAndSessionAttributes) {
  Oci8Session s(*client);
  ASSERT_TRUE(s.LogOn("SCOTT", "TIGER"));
  // Settings the server keeps for monitoring are accepted and read back.
  const std::string driver = "test driver : 1.0";
  EXPECT_EQ(client->OCIAttrSet(s.sess, OCI_HTYPE_SESSION, const_cast<char*>(driver.data()),
                               static_cast<ub4>(driver.size()), OCI_ATTR_DRIVER_NAME, s.err),
            OCI_SUCCESS);
  const std::string id = "client-7";
  EXPECT_EQ(client->OCIAttrSet(s.sess, OCI_HTYPE_SESSION, const_cast<char*>(id.data()),
                               static_cast<ub4>(id.size()), OCI_ATTR_CLIENT_IDENTIFIER, s.err),
            OCI_SUCCESS);
  OraText* text = nullptr;
  ub4 size = 0;
  EXPECT_EQ(client->OCIAttrGet(s.sess, OCI_HTYPE_SESSION, &text, &size, OCI_ATTR_CLIENT_IDENTIFIER,
                               s.err),
            OCI_SUCCESS);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(text), size), id);
  ub4 timeout = 2500, readBack = 0;
  EXPECT_EQ(client->OCIAttrSet(s.svc, OCI_HTYPE_SVCCTX, &timeout, 0, OCI_ATTR_CALL_TIMEOUT, s.err),
            OCI_SUCCESS);
  EXPECT_EQ(
      client->OCIAttrGet(s.svc, OCI_HTYPE_SVCCTX, &readBack, nullptr, OCI_ATTR_CALL_TIMEOUT, s.err),
      OCI_SUCCESS);
  EXPECT_EQ(readBack, 2500u);

  boolean pending = 1;
  auto inTransaction = [&] {
    EXPECT_EQ(client->OCIAttrGet(s.sess, OCI_HTYPE_SESSION, &pending, nullptr,
                                 OCI_ATTR_TRANSACTION_IN_PROGRESS, s.err),
              OCI_SUCCESS);
    return pending;
  };
  ASSERT_EQ(Exec(s, "create table t (id number)"), OCI_SUCCESS);
  EXPECT_EQ(inTransaction(), 0);
  ASSERT_EQ(Exec(s, "insert into t values (1)"), OCI_SUCCESS);
  EXPECT_EQ(inTransaction(), 1);
  ASSERT_EQ(client->OCITransCommit(s.svc, s.err, 0), OCI_SUCCESS);
  EXPECT_EQ(inTransaction(), 0);

  // SQL_ID: 13 characters of Oracle's base-32 digits, the same for the same text.
  auto sqlId = [&](const std::string& sql) {
    OCIStmt* stmt = Prepare(s, sql);
    OraText* p = nullptr;
    ub4 n = 0;
    EXPECT_EQ(client->OCIAttrGet(stmt, OCI_HTYPE_STMT, &p, &n, OCI_ATTR_SQL_ID, s.err),
              OCI_SUCCESS);
    std::string out(reinterpret_cast<char*>(p), n);
    Release(s, stmt);
    return out;
  };
  const std::string first = sqlId("select * from t");
  EXPECT_EQ(first.size(), 13u);
  EXPECT_EQ(first.find_first_not_of("0123456789abcdfghjkmnpqrstuvwxyz"), std::string::npos);
  EXPECT_EQ(sqlId("select * from t"), first);
  EXPECT_NE(sqlId("select * from  t"), first);

  // A statement without a row: ROWID reads succeed and give no row; no implicit results.
  OCIStmt* stmt = Prepare(s, "select id from t");
  ASSERT_EQ(Execute(s, stmt, 0), OCI_SUCCESS);
  auto next = Call<decltype(&OCIStmtGetNextResult)>("OCIStmtGetNextResult");
  void* result = reinterpret_cast<void*>(1);
  ub4 type = 7;
  EXPECT_EQ(next(stmt, s.err, &result, &type, OCI_DEFAULT), OCI_NO_DATA);
  EXPECT_EQ(result, nullptr);
  // Columns are read through the describe handle type as well.
  void* param = nullptr;
  ASSERT_EQ(client->OCIParamGet(stmt, OCI_HTYPE_STMT, s.err, &param, 1), OCI_SUCCESS);
  ub2 dataType = 0;
  EXPECT_EQ(
      client->OCIAttrGet(param, OCI_HTYPE_DESCRIBE, &dataType, nullptr, OCI_ATTR_DATA_TYPE, s.err),
      OCI_SUCCESS);
  EXPECT_EQ(dataType, SQLT_NUM);
  boolean json = 1;
  EXPECT_EQ(client->OCIAttrGet(param, OCI_HTYPE_DESCRIBE, &json, nullptr, OCI_ATTR_JSON_COL, s.err),
            OCI_SUCCESS);
  EXPECT_EQ(json, 0);
  client->OCIDescriptorFree(param, OCI_DTYPE_PARAM);
  Release(s, stmt);
}

TEST_F(Generation19Test, DescriptorArraysAndRowidText) {
  auto alloc = Call<decltype(&OCIArrayDescriptorAlloc)>("OCIArrayDescriptorAlloc");
  auto freeArray = Call<decltype(&OCIArrayDescriptorFree)>("OCIArrayDescriptorFree");
  auto rowidToChar = Call<decltype(&OCIRowidToChar)>("OCIRowidToChar");
  Oci8Session s(*client);
  ASSERT_TRUE(s.LogOn("SCOTT", "TIGER"));
  const long before = testing::LiveHandles(client->Library());
  std::vector<void*> rowids(3, nullptr);
  ASSERT_EQ(alloc(s.env, rowids.data(), OCI_DTYPE_ROWID, 3, 0, nullptr), OCI_SUCCESS);
  EXPECT_EQ(testing::LiveHandles(client->Library()), before + 3);

  ASSERT_EQ(Exec(s, "create table t (id number)"), OCI_SUCCESS);
  OCIStmt* insert = Prepare(s, "insert into t values (1)");
  ASSERT_EQ(Execute(s, insert, 1), OCI_SUCCESS);
  ASSERT_EQ(client->OCIAttrGet(insert, OCI_HTYPE_STMT, rowids[0], nullptr, OCI_ATTR_ROWID, s.err),
            OCI_SUCCESS);
  OraText text[32] = {};
  ub2 length = 5;
  EXPECT_EQ(rowidToChar(static_cast<OCIRowid*>(rowids[0]), text, &length, s.err), OCI_ERROR);
  EXPECT_EQ(length, 18);
  length = sizeof text;
  ASSERT_EQ(rowidToChar(static_cast<OCIRowid*>(rowids[0]), text, &length, s.err), OCI_SUCCESS);
  EXPECT_EQ(length, 18);
  const std::string rowid(reinterpret_cast<char*>(text), length);
  EXPECT_EQ(Query(s, "select count(*) from t where rowid = '" + rowid + "'"), (Rows{{"1"}}));
  Release(s, insert);

  EXPECT_EQ(freeArray(rowids.data(), OCI_DTYPE_ROWID), OCI_SUCCESS);
  EXPECT_EQ(testing::LiveHandles(client->Library()), before);
  EXPECT_EQ(freeArray(rowids.data(), OCI_DTYPE_ROWID), OCI_INVALID_HANDLE);
}

}  // namespace
}  // namespace ociemu::test
