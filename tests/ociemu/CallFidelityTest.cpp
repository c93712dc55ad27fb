// Call-level behaviour drivers depend on: error records that outlive successful calls, local
// transactions, array DML in batch error mode and scrollable cursors.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ociemu/ClientFixture.h"

namespace ociemu::test {
namespace {

class CallTest : public ScottStatementTest {
 protected:
  template <class T>
  T Attribute(void* handle, ub4 type, ub4 attribute) {
    T value{};
    EXPECT_EQ(client->OCIAttrGet(handle, type, &value, nullptr, attribute, s.err), OCI_SUCCESS)
        << attribute;
    return value;
  }
};

TEST_F(CallTest, ErrorRecordOutlivesTheCallsThatSucceedAfterIt) {
  OCIStmt* stmt = Prepare("select empno,\n nosuch from dual");
  ASSERT_EQ(Execute(stmt, 0), OCI_ERROR);
  // What a driver reads between the failure and OCIErrorGet, all with the same error handle.
  EXPECT_EQ(Attribute<ub2>(stmt, OCI_HTYPE_STMT, OCI_ATTR_PARSE_ERROR_OFFSET), 7);
  EXPECT_EQ(Attribute<ub2>(s.err, OCI_HTYPE_ERROR, OCI_ATTR_PARSE_ERROR_OFFSET), 7);
  EXPECT_EQ(Attribute<ub2>(stmt, OCI_HTYPE_STMT, OCI_ATTR_STMT_TYPE), OCI_STMT_SELECT);
  EXPECT_EQ(Attribute<ub4>(stmt, OCI_HTYPE_STMT, OCI_ATTR_ROW_COUNT), 0u);
  OCIRowid* rowid = nullptr;
  ASSERT_EQ(client->OCIDescriptorAlloc(s.env, reinterpret_cast<void**>(&rowid), OCI_DTYPE_ROWID, 0,
                                       nullptr),
            OCI_SUCCESS);
  EXPECT_EQ(client->OCIAttrGet(stmt, OCI_HTYPE_STMT, rowid, nullptr, OCI_ATTR_ROWID, s.err),
            OCI_SUCCESS);  // no row: an empty descriptor, not an error
  EXPECT_EQ(client->OCIDescriptorFree(rowid, OCI_DTYPE_ROWID), OCI_SUCCESS);
  EXPECT_EQ(client->OCITransCommit(s.svc, s.err, 0), OCI_SUCCESS);
  EXPECT_EQ(s.Error().code, 904);
  EXPECT_EQ(s.Error().text, "ORA-00904: \"EMPNO\": invalid identifier\n");

  // The next failure replaces it, and a refused attribute is such a failure.
  ub4 nothing = 0;
  EXPECT_EQ(client->OCIAttrGet(stmt, OCI_HTYPE_STMT, &nothing, nullptr, 9999, s.err), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 24315);
  EXPECT_EQ(client->OCIErrorGet(s.err, 2, nullptr, nullptr, nullptr, 0, OCI_HTYPE_ERROR),
            OCI_NO_DATA);
}

TEST_F(CallTest, TransStartBeginsALocalTransaction) {
  ASSERT_EQ(Exec(s, "create table t_local (a number)"), OCI_SUCCESS) << s.Error().text;
  OCITrans* trans = nullptr;
  ASSERT_EQ(
      client->OCIHandleAlloc(s.env, reinterpret_cast<void**>(&trans), OCI_HTYPE_TRANS, 0, nullptr),
      OCI_SUCCESS);
  ASSERT_EQ(client->OCIAttrSet(s.svc, OCI_HTYPE_SVCCTX, trans, 0, OCI_ATTR_TRANS, s.err),
            OCI_SUCCESS);
  ASSERT_EQ(client->OCITransStart(s.svc, s.err, 60, OCI_TRANS_NEW), OCI_SUCCESS) << s.Error().text;
  ASSERT_EQ(Exec(s, "insert into t_local values (1)"), OCI_SUCCESS);
  ASSERT_EQ(client->OCITransRollback(s.svc, s.err, 0), OCI_SUCCESS);
  EXPECT_EQ(Query(s, "select count(*) from t_local"), (Rows{{"0"}}));
  ASSERT_EQ(client->OCITransStart(s.svc, s.err, 60, OCI_DEFAULT), OCI_SUCCESS);
  ASSERT_EQ(Exec(s, "insert into t_local values (2)"), OCI_SUCCESS);
  ASSERT_EQ(client->OCITransCommit(s.svc, s.err, 0), OCI_SUCCESS);
  EXPECT_EQ(Query(s, "select a from t_local"), (Rows{{"2"}}));
  // Joining a branch of a distributed transaction is beyond the emulation.
  EXPECT_EQ(client->OCITransStart(s.svc, s.err, 60, OCI_TRANS_JOIN), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 3001);
  EXPECT_EQ(client->OCIHandleFree(trans, OCI_HTYPE_TRANS), OCI_SUCCESS);
}

TEST_F(CallTest, BatchErrorsCollectTheFailedRowsAndRunTheRest) {
  ASSERT_EQ(Exec(s, "create table t_batch (id number primary key, name varchar2(5))"), OCI_SUCCESS);
  ASSERT_EQ(Exec(s, "insert into t_batch values (2, 'two')"), OCI_SUCCESS);
  int ids[5] = {1, 2, 3, 4, 5};
  char names[5][8] = {"a", "b", "c", "toolong", "e"};
  OCIStmt* stmt = Prepare("insert into t_batch values (:id, :name)");
  OCIBind* b1 = nullptr;
  OCIBind* b2 = nullptr;
  ASSERT_EQ(client->OCIBindByPos(stmt, &b1, s.err, 1, ids, sizeof(int), SQLT_INT, nullptr, nullptr,
                                 nullptr, 0, nullptr, OCI_DEFAULT),
            OCI_SUCCESS);
  ASSERT_EQ(client->OCIBindByPos(stmt, &b2, s.err, 2, names, 8, SQLT_STR, nullptr, nullptr, nullptr,
                                 0, nullptr, OCI_DEFAULT),
            OCI_SUCCESS);
  ASSERT_EQ(Execute(stmt, 5, OCI_BATCH_ERRORS), OCI_SUCCESS_WITH_INFO);
  EXPECT_EQ(s.Error().code, 24381);
  EXPECT_EQ(s.Error().text, "ORA-24381: error(s) in array DML\n");
  EXPECT_EQ(Attribute<ub4>(stmt, OCI_HTYPE_STMT, OCI_ATTR_ROW_COUNT), 3u);
  ASSERT_EQ(Attribute<ub4>(stmt, OCI_HTYPE_STMT, OCI_ATTR_NUM_DML_ERRORS), 2u);

  // As Oracle's examples read them: an error handle of the caller's filled per row.
  OCIError* rowError = nullptr;
  ASSERT_EQ(client->OCIHandleAlloc(s.env, reinterpret_cast<void**>(&rowError), OCI_HTYPE_ERROR, 0,
                                   nullptr),
            OCI_SUCCESS);
  const struct {
    ub4 offset;
    sb4 code;
  } expected[] = {{1, 1}, {3, 12899}};
  for (ub4 i = 0; i < 2; ++i) {
    void* target = rowError;
    ASSERT_EQ(client->OCIParamGet(s.err, OCI_HTYPE_ERROR, s.err, &target, i), OCI_SUCCESS);
    EXPECT_EQ(target, rowError);
    EXPECT_EQ(Attribute<ub4>(rowError, OCI_HTYPE_ERROR, OCI_ATTR_DML_ROW_OFFSET),
              expected[i].offset);
    sb4 code = 0;
    EXPECT_EQ(client->OCIErrorGet(rowError, 1, nullptr, &code, nullptr, 0, OCI_HTYPE_ERROR),
              OCI_SUCCESS);
    if (expected[i].code == 1) {
      EXPECT_EQ(code, 1);
    } else {
      // The length check belongs to the server's SQL; either of Oracle's two codes for it.
      EXPECT_TRUE(code == 12899 || code == 1401) << code;
    }
  }
  void* beyond = nullptr;
  EXPECT_EQ(client->OCIParamGet(s.err, OCI_HTYPE_ERROR, s.err, &beyond, 2), OCI_ERROR);
  EXPECT_EQ(client->OCIHandleFree(rowError, OCI_HTYPE_ERROR), OCI_SUCCESS);
  EXPECT_EQ(Query(s, "select id from t_batch order by id"), (Rows{{"1"}, {"2"}, {"3"}, {"5"}}));

  // Without the mode the first failing row ends the array; the rows before it stay done.
  ASSERT_EQ(Exec(s, "delete from t_batch"), OCI_SUCCESS);
  ASSERT_EQ(Exec(s, "insert into t_batch values (3, 'x')"), OCI_SUCCESS);
  ASSERT_EQ(Execute(stmt, 5), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 1);
  EXPECT_EQ(Attribute<ub4>(stmt, OCI_HTYPE_STMT, OCI_ATTR_ROW_COUNT), 2u);
  EXPECT_EQ(Attribute<ub4>(stmt, OCI_HTYPE_STMT, OCI_ATTR_NUM_DML_ERRORS), 0u);
}

TEST_F(CallTest, ScrollableCursorFetchesInEveryOrientation) {
  ASSERT_EQ(Exec(s, "create table t_scroll (n number)"), OCI_SUCCESS);
  OCIStmt* insert = Prepare("insert into t_scroll values (:n)");
  int values[10];
  for (int i = 0; i < 10; ++i) values[i] = i + 1;
  OCIBind* bind = nullptr;
  ASSERT_EQ(client->OCIBindByPos(insert, &bind, s.err, 1, values, sizeof(int), SQLT_INT, nullptr,
                                 nullptr, nullptr, 0, nullptr, OCI_DEFAULT),
            OCI_SUCCESS);
  ASSERT_EQ(Execute(insert, 10), OCI_SUCCESS);

  OCIStmt* stmt = Prepare("select n from t_scroll order by n");
  int out[3] = {};
  OCIDefine* define = nullptr;
  ASSERT_EQ(client->OCIDefineByPos(stmt, &define, s.err, 1, out, sizeof(int), SQLT_INT, nullptr,
                                   nullptr, nullptr, OCI_DEFAULT),
            OCI_SUCCESS);
  ASSERT_EQ(Execute(stmt, 0, OCI_STMT_SCROLLABLE_READONLY), OCI_SUCCESS);
  const struct {
    ub2 orientation;
    sb4 offset;
    ub4 rows;
    sword status;
    std::vector<int> fetched;
    ub4 position;  // OCI_ATTR_CURRENT_POSITION afterwards
  } steps[] = {
      {OCI_FETCH_NEXT, 0, 3, OCI_SUCCESS, {1, 2, 3}, 3},
      {OCI_FETCH_CURRENT, 0, 1, OCI_SUCCESS, {3}, 3},
      {OCI_FETCH_PRIOR, 0, 1, OCI_SUCCESS, {2}, 2},
      {OCI_FETCH_LAST, 0, 1, OCI_SUCCESS, {10}, 10},
      {OCI_FETCH_FIRST, 0, 2, OCI_SUCCESS, {1, 2}, 2},
      {OCI_FETCH_ABSOLUTE, 7, 3, OCI_SUCCESS, {7, 8, 9}, 9},
      {OCI_FETCH_RELATIVE, -5, 1, OCI_SUCCESS, {4}, 4},
      {OCI_FETCH_ABSOLUTE, 9, 3, OCI_NO_DATA, {9, 10}, 10},
      {OCI_FETCH_NEXT, 0, 1, OCI_NO_DATA, {}, 11},
      {OCI_FETCH_PRIOR, 0, 1, OCI_SUCCESS, {10}, 10},
      {OCI_FETCH_ABSOLUTE, 0, 1, OCI_NO_DATA, {}, 0},
      {OCI_FETCH_NEXT, 0, 1, OCI_SUCCESS, {1}, 1},
  };
  int step = 0;
  for (const auto& f : steps) {
    SCOPED_TRACE(step++);
    std::fill(std::begin(out), std::end(out), 0);
    EXPECT_EQ(client->OCIStmtFetch2(stmt, s.err, f.rows, f.orientation, f.offset, OCI_DEFAULT),
              f.status);
    const ub4 fetched = Attribute<ub4>(stmt, OCI_HTYPE_STMT, OCI_ATTR_ROWS_FETCHED);
    EXPECT_EQ(std::vector<int>(out, out + fetched), f.fetched);
    EXPECT_EQ(Attribute<ub4>(stmt, OCI_HTYPE_STMT, OCI_ATTR_CURRENT_POSITION), f.position);
  }

  // A cursor executed without the mode moves forward only.
  OCIStmt* plain = Prepare("select n from t_scroll");
  ASSERT_EQ(client->OCIDefineByPos(plain, &define, s.err, 1, out, sizeof(int), SQLT_INT, nullptr,
                                   nullptr, nullptr, OCI_DEFAULT),
            OCI_SUCCESS);
  ASSERT_EQ(Execute(plain, 0), OCI_SUCCESS);
  EXPECT_EQ(client->OCIStmtFetch2(plain, s.err, 1, OCI_FETCH_FIRST, 0, OCI_DEFAULT), OCI_ERROR);
  EXPECT_EQ(s.Error().text, "ORA-24391: invalid fetch operation\n");
  EXPECT_EQ(client->OCIStmtFetch2(plain, s.err, 1, OCI_FETCH_NEXT, 0, OCI_DEFAULT), OCI_SUCCESS);
}

// Oracle's open cursors keep reading what they saw when DDL or a rollback comes in between.
TEST_F(CallTest, OpenCursorsOutliveDdlAndRollback) {
  ASSERT_EQ(Exec(s, "create table t_open (n number)"), OCI_SUCCESS);
  OCIStmt* insert = Prepare("insert into t_open values (:n)");
  int values[10];
  for (int i = 0; i < 10; ++i) values[i] = i + 1;
  OCIBind* bind = nullptr;
  ASSERT_EQ(client->OCIBindByPos(insert, &bind, s.err, 1, values, sizeof(int), SQLT_INT, nullptr,
                                 nullptr, nullptr, 0, nullptr, OCI_DEFAULT),
            OCI_SUCCESS);
  ASSERT_EQ(Execute(insert, 10), OCI_SUCCESS);
  ASSERT_EQ(client->OCITransCommit(s.svc, s.err, 0), OCI_SUCCESS);

  int out[4] = {};
  OCIDefine* define = nullptr;
  OCIStmt* select = Prepare("select n from t_open order by n");
  ASSERT_EQ(client->OCIDefineByPos(select, &define, s.err, 1, out, sizeof(int), SQLT_INT, nullptr,
                                   nullptr, nullptr, OCI_DEFAULT),
            OCI_SUCCESS);
  ASSERT_EQ(Execute(select, 2), OCI_SUCCESS);
  EXPECT_EQ(out[1], 2);
  ASSERT_EQ(Exec(s, "insert into t_open values (99)"), OCI_SUCCESS);
  ASSERT_EQ(client->OCITransRollback(s.svc, s.err, 0), OCI_SUCCESS);
  ASSERT_EQ(client->OCIStmtFetch(select, s.err, 4, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_SUCCESS)
      << s.Error().text;
  EXPECT_EQ(out[0], 3);
  EXPECT_EQ(out[3], 6);
  ASSERT_EQ(Exec(s, "drop table t_open"), OCI_SUCCESS) << s.Error().text;
  EXPECT_EQ(client->OCIStmtFetch(select, s.err, 4, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_SUCCESS);
  EXPECT_EQ(out[0], 7);
  EXPECT_EQ(out[3], 10);
  EXPECT_EQ(client->OCIStmtFetch(select, s.err, 4, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_NO_DATA);
  EXPECT_EQ(Attribute<ub4>(select, OCI_HTYPE_STMT, OCI_ATTR_ROWS_FETCHED), 0u);
  EXPECT_EQ(Attribute<ub4>(select, OCI_HTYPE_STMT, OCI_ATTR_ROW_COUNT), 10u);
}

}  // namespace
}  // namespace ociemu::test
