// The data dictionary views over the server's catalogue, read the way a dataset that checks
// constraints on the client reads them: with string binds, Oracle's column names and types.
#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "ociemu/ClientFixture.h"

namespace ociemu::test {
namespace {

class DictionaryTest : public ClientTest {
 protected:
  void SetUp() override {
    ClientTest::SetUp();
    ASSERT_TRUE(s.LogOn("SCOTT", "TIGER")) << s.Error().text;
    for (const char* sql : {
             "create table dept (deptno number(2) constraint pk_dept primary key, "
             "dname varchar2(14) constraint uk_dname unique, loc varchar2(13) default 'NEW YORK' )",
             "create table emp (empno number(4) constraint pk_emp primary key, "
             "ename varchar2(10) not null, hiredate date default sysdate, "
             "sal number(7,2) constraint ck_sal check (sal > 0), "
             "deptno number(2) constraint fk_deptno references dept on delete cascade)",
             "create sequence emp_seq start with 8000",
             "create public synonym employees for scott.emp",
         }) {
      ASSERT_EQ(Exec(s, sql), OCI_SUCCESS) << sql << ": " << s.Error().text;
    }
  }
  void TearDown() override { s.LogOff(); }

  // A query with string binds by name, every column fetched as text.
  Rows Bound(const std::string& sql, const std::map<std::string, std::string>& binds) {
    OCIStmt* stmt = nullptr;
    client->OCIHandleAlloc(s.env, reinterpret_cast<void**>(&stmt), OCI_HTYPE_STMT, 0, nullptr);
    EXPECT_EQ(client->OCIStmtPrepare(stmt, s.err, reinterpret_cast<const OraText*>(sql.data()),
                                     static_cast<ub4>(sql.size()), OCI_NTV_SYNTAX, OCI_DEFAULT),
              OCI_SUCCESS);
    for (const auto& [name, value] : binds) {
      OCIBind* bind = nullptr;
      EXPECT_EQ(
          client->OCIBindByName(stmt, &bind, s.err, reinterpret_cast<const OraText*>(name.data()),
                                static_cast<sb4>(name.size()), const_cast<char*>(value.data()),
                                static_cast<sb4>(value.size()), SQLT_CHR, nullptr, nullptr, nullptr,
                                0, nullptr, OCI_DEFAULT),
          OCI_SUCCESS);
    }
    sword rc = client->OCIStmtExecute(s.svc, stmt, s.err, 0, 0, nullptr, nullptr, OCI_DEFAULT);
    EXPECT_EQ(rc, OCI_SUCCESS) << sql << ": " << s.Error().text;
    ub4 count = 0;
    client->OCIAttrGet(stmt, OCI_HTYPE_STMT, &count, nullptr, OCI_ATTR_PARAM_COUNT, s.err);
    std::vector<std::vector<char>> buffers(count, std::vector<char>(4001));
    std::vector<sb2> indicators(count);
    for (ub4 i = 0; i < count; ++i) {
      OCIDefine* def = nullptr;
      client->OCIDefineByPos(stmt, &def, s.err, i + 1, buffers[i].data(), 4001, SQLT_STR,
                             &indicators[i], nullptr, nullptr, OCI_DEFAULT);
    }
    Rows rows;
    while (rc == OCI_SUCCESS && (rc = client->OCIStmtFetch(stmt, s.err, 1, OCI_FETCH_NEXT,
                                                           OCI_DEFAULT)) == OCI_SUCCESS) {
      std::vector<std::string> row;
      for (ub4 i = 0; i < count; ++i) {
        row.push_back(indicators[i] == -1 ? "<null>" : std::string(buffers[i].data()));
      }
      rows.push_back(row);
    }
    EXPECT_EQ(rc, OCI_NO_DATA) << sql << ": " << s.Error().text;
    client->OCIHandleFree(stmt, OCI_HTYPE_STMT);
    return rows;
  }

  Oci8Session s{*client};
};

// The statements a dataset runs to learn a table's constraints and defaults.
TEST_F(DictionaryTest, ConstraintAndDefaultLookups) {
  const std::map<std::string, std::string> emp = {{":owner", "SCOTT"}, {":table_name", "EMP"}};
  EXPECT_EQ(Bound("select constraint_name, column_name from sys.all_cons_columns\n"
                  "where owner = :owner and table_name = :table_name\n"
                  "and constraint_name not like 'SYS_C%'\n"
                  "order by constraint_name, position",
                  emp),
            (Rows{{"CK_SAL", "SAL"}, {"FK_DEPTNO", "DEPTNO"}, {"PK_EMP", "EMPNO"}}));
  EXPECT_EQ(Bound("select column_name, data_default from sys.all_tab_columns\n"
                  "where owner = :owner and table_name = :table_name\n"
                  "and data_default is not null",
                  {{":owner", "SCOTT"}, {":table_name", "DEPT"}}),
            (Rows{{"LOC", "'NEW YORK' "}}));
  EXPECT_EQ(Bound("select column_name, data_default from sys.all_tab_columns\n"
                  "where owner = :owner and table_name = :table_name\n"
                  "and data_default is not null",
                  emp),
            (Rows{{"HIREDATE", "sysdate"}}));
  const std::string details =
      "select constraint_type, r_constraint_name, r_owner, search_condition\n"
      "  from sys.all_constraints\n"
      " where constraint_name = :constraint_name and owner = :owner\n"
      "   and status = 'ENABLED'";
  EXPECT_EQ(Bound(details, {{":constraint_name", "FK_DEPTNO"}, {":owner", "SCOTT"}}),
            (Rows{{"R", "PK_DEPT", "SCOTT", "<null>"}}));
  EXPECT_EQ(Bound(details, {{":constraint_name", "CK_SAL"}, {":owner", "SCOTT"}}),
            (Rows{{"C", "<null>", "<null>", "sal > 0"}}));
  EXPECT_EQ(Bound(details, {{":constraint_name", "UK_DNAME"}, {":owner", "SCOTT"}}),
            (Rows{{"U", "<null>", "<null>", "<null>"}}));
  EXPECT_TRUE(Bound(details, {{":constraint_name", "NO_SUCH"}, {":owner", "SCOTT"}}).empty());
  EXPECT_EQ(Bound("select table_name, column_name from sys.all_cons_columns\n"
                  " where owner = :owner and constraint_name = :constraint_name\n"
                  " order by position",
                  {{":owner", "SCOTT"}, {":constraint_name", "PK_DEPT"}}),
            (Rows{{"DEPT", "DEPTNO"}}));
  // The not-null constraint has a generated name and Oracle's condition text.
  EXPECT_EQ(Query(s,
                  "select search_condition, generated, delete_rule from user_constraints "
                  "where table_name = 'EMP' and constraint_type in ('C', 'R') "
                  "order by constraint_type, generated"),
            (Rows{{"\"ENAME\" IS NOT NULL", "GENERATED NAME", "<null>"},
                  {"sal > 0", "USER NAME", "<null>"},
                  {"<null>", "USER NAME", "CASCADE"}}));
}

TEST_F(DictionaryTest, TablesColumnsSequencesObjectsAndSynonyms) {
  EXPECT_EQ(Query(s, "select table_name from user_tables order by table_name"),
            (Rows{{"DEPT"}, {"EMP"}}));
  EXPECT_EQ(Query(s, "select owner, table_name from all_tables where table_name = 'DUAL'"),
            (Rows{{"SYS", "DUAL"}}));
  EXPECT_EQ(Query(s,
                  "select column_name, data_type, data_length, data_precision, data_scale, "
                  "nullable, column_id from user_tab_columns where table_name = 'EMP' "
                  "order by column_id"),
            (Rows{{"EMPNO", "NUMBER", "22", "4", "0", "N", "1"},
                  {"ENAME", "VARCHAR2", "10", "<null>", "<null>", "N", "2"},
                  {"HIREDATE", "DATE", "7", "<null>", "<null>", "Y", "3"},
                  {"SAL", "NUMBER", "22", "7", "2", "Y", "4"},
                  {"DEPTNO", "NUMBER", "22", "2", "0", "Y", "5"}}));
  EXPECT_EQ(Query(s,
                  "select sequence_name, min_value, max_value, increment_by, last_number "
                  "from user_sequences"),
            (Rows{{"EMP_SEQ", "1", "9999999999999999999999999999", "1", "8000"}}));
  EXPECT_EQ(Query(s,
                  "select object_name, object_type from user_objects order by object_type, "
                  "object_name"),
            (Rows{{"EMP_SEQ", "SEQUENCE"}, {"DEPT", "TABLE"}, {"EMP", "TABLE"}}));
  EXPECT_EQ(Query(s, "select owner, synonym_name, table_owner, table_name from all_synonyms"),
            (Rows{{"PUBLIC", "EMPLOYEES", "SCOTT", "EMP"}}));
  EXPECT_EQ(Query(s, "select count(*) from employees"), (Rows{{"0"}}));
  // The object number of a table is the one its ROWIDs carry.
  ASSERT_EQ(Exec(s, "insert into dept values (10, 'ACCOUNTING', 'NEW YORK')"), OCI_SUCCESS);
  const Rows ids = Query(s,
                         "select object_id, (select rowid from dept) from user_objects where "
                         "object_name = 'DEPT'");
  ASSERT_EQ(ids.size(), 1u);
  const std::string rowid = ids[0][1];
  const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  long object = 0;
  for (int i = 0; i < 6; ++i) object = object * 64 + static_cast<long>(alphabet.find(rowid[i]));
  EXPECT_EQ(std::to_string(object), ids[0][0]);
  // Dropping forgets what the catalogue knew.
  ASSERT_EQ(Exec(s, "drop public synonym employees"), OCI_SUCCESS);
  ASSERT_EQ(Exec(s, "drop table emp"), OCI_SUCCESS);
  EXPECT_EQ(Query(s, "select count(*) from user_constraints where table_name = 'EMP'"),
            (Rows{{"0"}}));
  EXPECT_EQ(Exec(s, "drop public synonym employees"), OCI_ERROR);
  EXPECT_EQ(s.Error().text, "ORA-01432: public synonym to be dropped does not exist\n");
}

// Describing a dictionary view gives Oracle's types: LONG for the condition text.
TEST_F(DictionaryTest, ViewsDescribeWithOraclesTypes) {
  OCIStmt* stmt = nullptr;
  const std::string sql = "select * from user_constraints";
  client->OCIHandleAlloc(s.env, reinterpret_cast<void**>(&stmt), OCI_HTYPE_STMT, 0, nullptr);
  client->OCIStmtPrepare(stmt, s.err, reinterpret_cast<const OraText*>(sql.data()),
                         static_cast<ub4>(sql.size()), OCI_NTV_SYNTAX, OCI_DEFAULT);
  ASSERT_EQ(client->OCIStmtExecute(s.svc, stmt, s.err, 0, 0, nullptr, nullptr, OCI_DESCRIBE_ONLY),
            OCI_SUCCESS);
  std::map<std::string, std::pair<ub2, ub2>> columns;
  for (ub4 i = 1;; ++i) {
    void* param = nullptr;
    if (client->OCIParamGet(stmt, OCI_HTYPE_STMT, s.err, &param, i) != OCI_SUCCESS) break;
    ub2 type = 0, size = 0;
    OraText* name = nullptr;
    ub4 length = 0;
    client->OCIAttrGet(param, OCI_DTYPE_PARAM, &type, nullptr, OCI_ATTR_DATA_TYPE, s.err);
    client->OCIAttrGet(param, OCI_DTYPE_PARAM, &size, nullptr, OCI_ATTR_DATA_SIZE, s.err);
    client->OCIAttrGet(param, OCI_DTYPE_PARAM, &name, &length, OCI_ATTR_NAME, s.err);
    columns[std::string(reinterpret_cast<char*>(name), length)] = {type, size};
    client->OCIDescriptorFree(param, OCI_DTYPE_PARAM);
  }
  client->OCIHandleFree(stmt, OCI_HTYPE_STMT);
  EXPECT_EQ(columns["OWNER"], (std::pair<ub2, ub2>{SQLT_CHR, 128}));
  EXPECT_EQ(columns["CONSTRAINT_TYPE"], (std::pair<ub2, ub2>{SQLT_CHR, 1}));
  EXPECT_EQ(columns["SEARCH_CONDITION"].first, SQLT_LNG);
  EXPECT_EQ(columns["LAST_CHANGE"].first, SQLT_DAT);
  EXPECT_EQ(columns.size(), 20u);
}

}  // namespace
}  // namespace ociemu::test
