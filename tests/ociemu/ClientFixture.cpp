#include "ociemu/ClientFixture.h"

namespace ociemu::test {

Oci8Session::Oci8Session(OciClient& client, ub4 envMode) : oci(client) {
  // Clients before 8.1 have no OCIEnvCreate.
  if (oci.OCIEnvCreate) {
    EXPECT_EQ(oci.OCIEnvCreate(&env, envMode, nullptr, nullptr, nullptr, nullptr, 0, nullptr),
              OCI_SUCCESS);
  } else {
    EXPECT_EQ(oci.OCIEnvInit(&env, OCI_DEFAULT, 0, nullptr), OCI_SUCCESS);
  }
  EXPECT_EQ(oci.OCIHandleAlloc(env, reinterpret_cast<void**>(&err), OCI_HTYPE_ERROR, 0, nullptr),
            OCI_SUCCESS);
  EXPECT_EQ(oci.OCIHandleAlloc(env, reinterpret_cast<void**>(&svc), OCI_HTYPE_SVCCTX, 0, nullptr),
            OCI_SUCCESS);
  EXPECT_EQ(oci.OCIHandleAlloc(env, reinterpret_cast<void**>(&srv), OCI_HTYPE_SERVER, 0, nullptr),
            OCI_SUCCESS);
  EXPECT_EQ(oci.OCIHandleAlloc(env, reinterpret_cast<void**>(&sess), OCI_HTYPE_SESSION, 0, nullptr),
            OCI_SUCCESS);
}

Oci8Session::~Oci8Session() {
  if (env) oci.OCIHandleFree(env, OCI_HTYPE_ENV);
}

sword Oci8Session::Attach(const std::string& database) {
  sword rc = oci.OCIServerAttach(srv, err, reinterpret_cast<const OraText*>(database.data()),
                                 static_cast<sb4>(database.size()), OCI_DEFAULT);
  if (rc == OCI_SUCCESS) {
    EXPECT_EQ(oci.OCIAttrSet(svc, OCI_HTYPE_SVCCTX, srv, 0, OCI_ATTR_SERVER, err), OCI_SUCCESS);
    EXPECT_EQ(oci.OCIAttrSet(svc, OCI_HTYPE_SVCCTX, sess, 0, OCI_ATTR_SESSION, err), OCI_SUCCESS);
  }
  return rc;
}

sword Oci8Session::Begin(const std::string& user, const std::string& password, ub4 mode) {
  EXPECT_EQ(oci.OCIAttrSet(sess, OCI_HTYPE_SESSION, const_cast<char*>(user.data()),
                           static_cast<ub4>(user.size()), OCI_ATTR_USERNAME, err),
            OCI_SUCCESS);
  EXPECT_EQ(oci.OCIAttrSet(sess, OCI_HTYPE_SESSION, const_cast<char*>(password.data()),
                           static_cast<ub4>(password.size()), OCI_ATTR_PASSWORD, err),
            OCI_SUCCESS);
  return oci.OCISessionBegin(svc, err, sess, OCI_CRED_RDBMS, mode);
}

sword Oci8Session::BeginExternal(ub4 mode) {
  return oci.OCISessionBegin(svc, err, sess, OCI_CRED_EXT, mode);
}

sword Oci8Session::End() {
  return oci.OCISessionEnd(svc, err, sess, OCI_DEFAULT);
}

sword Oci8Session::Detach() {
  return oci.OCIServerDetach(srv, err, OCI_DEFAULT);
}

bool Oci8Session::LogOn(const std::string& user, const std::string& password,
                        const std::string& database, ub4 mode) {
  if (Attach(database) != OCI_SUCCESS) return false;
  sword rc = Begin(user, password, mode);
  return rc == OCI_SUCCESS || rc == OCI_SUCCESS_WITH_INFO;
}

void Oci8Session::LogOff() {
  End();
  Detach();
}

ErrorRecord Oci8Session::Error(ub4 record) const {
  ErrorRecord r;
  OraText buf[4001] = {};
  if (oci.OCIErrorGet(err, record, nullptr, &r.code, buf, sizeof buf, OCI_HTYPE_ERROR) ==
      OCI_SUCCESS) {
    r.text = reinterpret_cast<char*>(buf);
  }
  return r;
}

std::string Oci8Session::ServerVersion() {
  OraText buf[501] = {};
  EXPECT_EQ(oci.OCIServerVersion(srv, err, buf, sizeof buf, OCI_HTYPE_SERVER), OCI_SUCCESS);
  return reinterpret_cast<char*>(buf);
}

sword Exec(Oci8Session& s, const std::string& sql) {
  OciClient& oci = s.oci;
  OCIStmt* stmt = nullptr;
  EXPECT_EQ(oci.OCIHandleAlloc(s.env, reinterpret_cast<void**>(&stmt), OCI_HTYPE_STMT, 0, nullptr),
            OCI_SUCCESS);
  sword rc = oci.OCIStmtPrepare(stmt, s.err, reinterpret_cast<const OraText*>(sql.data()),
                                static_cast<ub4>(sql.size()), OCI_NTV_SYNTAX, OCI_DEFAULT);
  if (rc == OCI_SUCCESS) {
    ub2 type = 0;
    oci.OCIAttrGet(stmt, OCI_HTYPE_STMT, &type, nullptr, OCI_ATTR_STMT_TYPE, s.err);
    rc = oci.OCIStmtExecute(s.svc, stmt, s.err, type == OCI_STMT_SELECT ? 0 : 1, 0, nullptr,
                            nullptr, OCI_DEFAULT);
  }
  oci.OCIHandleFree(stmt, OCI_HTYPE_STMT);
  return rc;
}

Rows Query(Oci8Session& s, const std::string& sql) {
  OciClient& oci = s.oci;
  Rows rows;
  OCIStmt* stmt = nullptr;
  EXPECT_EQ(oci.OCIHandleAlloc(s.env, reinterpret_cast<void**>(&stmt), OCI_HTYPE_STMT, 0, nullptr),
            OCI_SUCCESS);
  EXPECT_EQ(oci.OCIStmtPrepare(stmt, s.err, reinterpret_cast<const OraText*>(sql.data()),
                               static_cast<ub4>(sql.size()), OCI_NTV_SYNTAX, OCI_DEFAULT),
            OCI_SUCCESS);
  sword rc = oci.OCIStmtExecute(s.svc, stmt, s.err, 0, 0, nullptr, nullptr, OCI_DEFAULT);
  EXPECT_EQ(rc, OCI_SUCCESS) << sql << ": " << s.Error().text;
  ub4 count = 0;
  oci.OCIAttrGet(stmt, OCI_HTYPE_STMT, &count, nullptr, OCI_ATTR_PARAM_COUNT, s.err);
  std::vector<std::vector<char>> buffers(count, std::vector<char>(4001));
  std::vector<sb2> indicators(count);
  for (ub4 i = 0; i < count; ++i) {
    OCIDefine* def = nullptr;
    EXPECT_EQ(oci.OCIDefineByPos(stmt, &def, s.err, i + 1, buffers[i].data(), 4001, SQLT_STR,
                                 &indicators[i], nullptr, nullptr, OCI_DEFAULT),
              OCI_SUCCESS);
  }
  while (rc == OCI_SUCCESS &&
         (rc = oci.OCIStmtFetch(stmt, s.err, 1, OCI_FETCH_NEXT, OCI_DEFAULT)) == OCI_SUCCESS) {
    std::vector<std::string> row;
    for (ub4 i = 0; i < count; ++i) {
      row.push_back(indicators[i] == -1 ? "<null>" : std::string(buffers[i].data()));
    }
    rows.push_back(row);
  }
  EXPECT_EQ(rc, OCI_NO_DATA) << sql << ": " << s.Error().text;
  oci.OCIHandleFree(stmt, OCI_HTYPE_STMT);
  return rows;
}

ClientTest::ClientTest(testing::Variant variant)
    : home(variant),
      db(home.CreateDatabase("orcl")),
      client(std::make_unique<OciClient>(home.LibraryPath().string())) {}

void ClientTest::SetUp() {
  db.AddAccount("SCOTT", "TIGER");
  db.AddAccount("LOCKED_USER", "secret", testing::Status::Locked);
  db.AddAccount("EXPIRED_USER", "oldpass", testing::Status::Expired);
  db.AddAccount("GRACE_USER", "secret", testing::Status::ExpiredGrace);
  db.AddAccount("SYSTEM", "MANAGER", testing::Status::Open, {true, false});
  db.AddAccount("OPERATOR", "oper", testing::Status::Open, {false, true});
  home.SetTnsNames(
      "ORCL = (DESCRIPTION = (ADDRESS = (PROTOCOL = TCP)(HOST = localhost)(PORT = 1521))\n"
      "  (CONNECT_DATA = (SERVICE_NAME = orcl)))\n");
}

void ScottStatementTest::SetUp() {
  ClientTest::SetUp();
  ASSERT_TRUE(s.LogOn("SCOTT", "TIGER")) << s.Error().text;
}

void ScottStatementTest::TearDown() {
  for (OCIStmt* stmt : statements_) client->OCIHandleFree(stmt, OCI_HTYPE_STMT);
  s.LogOff();
}

OCIStmt* ScottStatementTest::Prepare(const std::string& sql) {
  OCIStmt* stmt = nullptr;
  EXPECT_EQ(
      client->OCIHandleAlloc(s.env, reinterpret_cast<void**>(&stmt), OCI_HTYPE_STMT, 0, nullptr),
      OCI_SUCCESS);
  EXPECT_EQ(client->OCIStmtPrepare(stmt, s.err, reinterpret_cast<const OraText*>(sql.data()),
                                   static_cast<ub4>(sql.size()), OCI_NTV_SYNTAX, OCI_DEFAULT),
            OCI_SUCCESS);
  statements_.push_back(stmt);
  return stmt;
}

sword ScottStatementTest::Execute(OCIStmt* stmt, ub4 iters, ub4 mode) {
  return client->OCIStmtExecute(s.svc, stmt, s.err, iters, 0, nullptr, nullptr, mode);
}

}  // namespace ociemu::test
