// Describe: the attributes a select-list column reports (implicit describe), and
// OCIDescribeAny's tree for tables, views and synonyms with their column lists.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ociemu/ClientFixture.h"

namespace ociemu::test {
namespace {

// The 8.0 client already describes; so does every later one.
class DescribeTest : public ClientTest, public ::testing::WithParamInterface<testing::Variant> {
 protected:
  DescribeTest() : ClientTest(GetParam()) {}
  void SetUp() override {
    ClientTest::SetUp();
    ASSERT_TRUE(s.LogOn("SCOTT", "TIGER")) << s.Error().text;
    ASSERT_EQ(Exec(s,
                   "create table kinds (n number(7,2) not null, nn number(5,-2), f float(10), "
                   "p number, v varchar2(30), c char(3), nv nvarchar2(10), nc nchar(5), "
                   "d date, r raw(16), l long, x varchar2(10))"),
              OCI_SUCCESS)
        << s.Error().text;
  }
  void TearDown() override { s.LogOff(); }

 public:
  // Every attribute a query engine reads of one parameter, read with the C type it has.
  struct Column {
    std::string name;
    ub2 type = 0, size = 0, charSize = 0, charsetId = 0;
    sb2 precision = 0;  // sb2 in a select list, ub1 in an explicit describe
    sb1 scale = 0;
    ub1 nullable = 0, form = 0, charUsed = 0;
    std::string typeName, schemaName;
  };

 protected:
  std::string Text(void* param, ub4 attr) {
    OraText* p = nullptr;
    ub4 n = 0;
    EXPECT_EQ(client->OCIAttrGet(param, OCI_DTYPE_PARAM, &p, &n, attr, s.err), OCI_SUCCESS) << attr;
    return p ? std::string(reinterpret_cast<char*>(p), n) : std::string("<null>");
  }
  template <class T>
  T Value(void* param, ub4 attr) {
    // A guard byte after the value catches an attribute written wider than its C type.
    struct {
      T value{};
      unsigned char guard = 0xA5;
    } v;
    EXPECT_EQ(client->OCIAttrGet(param, OCI_DTYPE_PARAM, &v.value, nullptr, attr, s.err),
              OCI_SUCCESS)
        << "attribute " << attr << ": " << s.Error().text;
    EXPECT_EQ(v.guard, 0xA5) << "attribute " << attr << " overran its type";
    return v.value;
  }
  Column Read(void* param, bool explicitDescribe) {
    Column c;
    c.name = Text(param, OCI_ATTR_NAME);
    c.type = Value<ub2>(param, OCI_ATTR_DATA_TYPE);
    c.size = Value<ub2>(param, OCI_ATTR_DATA_SIZE);
    c.precision = explicitDescribe ? Value<ub1>(param, OCI_ATTR_PRECISION)
                                   : Value<sb2>(param, OCI_ATTR_PRECISION);
    c.scale = Value<sb1>(param, OCI_ATTR_SCALE);
    c.nullable = Value<ub1>(param, OCI_ATTR_IS_NULL);
    c.form = Value<ub1>(param, OCI_ATTR_CHARSET_FORM);
    c.charsetId = Value<ub2>(param, OCI_ATTR_CHARSET_ID);
    c.charSize = Value<ub2>(param, OCI_ATTR_CHAR_SIZE);
    c.charUsed = Value<ub1>(param, OCI_ATTR_CHAR_USED);
    c.typeName = Text(param, OCI_ATTR_TYPE_NAME);
    c.schemaName = Text(param, OCI_ATTR_SCHEMA_NAME);
    return c;
  }

  OCIStmt* DescribeOnly(const std::string& sql) {
    OCIStmt* stmt = nullptr;
    EXPECT_EQ(
        client->OCIHandleAlloc(s.env, reinterpret_cast<void**>(&stmt), OCI_HTYPE_STMT, 0, nullptr),
        OCI_SUCCESS);
    EXPECT_EQ(client->OCIStmtPrepare(stmt, s.err, reinterpret_cast<const OraText*>(sql.data()),
                                     static_cast<ub4>(sql.size()), OCI_NTV_SYNTAX, OCI_DEFAULT),
              OCI_SUCCESS);
    EXPECT_EQ(client->OCIStmtExecute(s.svc, stmt, s.err, 0, 0, nullptr, nullptr, OCI_DESCRIBE_ONLY),
              OCI_SUCCESS)
        << s.Error().text;
    return stmt;
  }

  sword DescribeAny(OCIDescribe* d, const std::string& name, ub1 ptype) {
    return client->OCIDescribeAny(s.svc, s.err, const_cast<char*>(name.data()),
                                  static_cast<ub4>(name.size()), OCI_OTYPE_NAME, OCI_DEFAULT, ptype,
                                  d);
  }

  Oci8Session s{*client};
};

// The columns of KINDS as Oracle describes them, in a select list and in OCIDescribeAny.
struct Expected {
  const char* name;
  ub2 type, size;
  sb2 precision;
  sb1 scale;
  ub1 nullable, form;
  ub2 charsetId, charSize;
  ub1 charUsed;
};
const Expected kKinds[] = {
    {"N", 2, 22, 7, 2, 0, 0, 0, 0, 0},      {"NN", 2, 22, 5, -2, 1, 0, 0, 0, 0},
    {"F", 2, 22, 10, -127, 1, 0, 0, 0, 0},  {"P", 2, 22, 0, -127, 1, 0, 0, 0, 0},
    {"V", 1, 30, 0, 0, 1, 1, 873, 30, 0},   {"C", 96, 3, 0, 0, 1, 1, 873, 3, 0},
    {"NV", 1, 20, 0, 0, 1, 2, 2000, 10, 1}, {"NC", 96, 10, 0, 0, 1, 2, 2000, 5, 1},
    {"D", 12, 7, 0, 0, 1, 0, 0, 0, 0},      {"R", 23, 16, 0, 0, 1, 0, 0, 0, 0},
    {"L", 8, 0, 0, 0, 1, 1, 873, 0, 0},     {"X", 1, 10, 0, 0, 1, 1, 873, 10, 0},
};

void ExpectColumn(const DescribeTest::Column& c, const Expected& e) {
  SCOPED_TRACE(e.name);
  EXPECT_EQ(c.name, e.name);
  EXPECT_EQ(c.type, e.type);
  EXPECT_EQ(c.size, e.size);
  EXPECT_EQ(c.precision, e.precision);
  EXPECT_EQ(c.scale, e.scale);
  EXPECT_EQ(c.nullable, e.nullable);
  EXPECT_EQ(c.form, e.form);
  EXPECT_EQ(c.charsetId, e.charsetId);
  EXPECT_EQ(c.charSize, e.charSize);
  EXPECT_EQ(c.charUsed, e.charUsed);
  EXPECT_EQ(c.typeName, "");  // only named types have a type name and schema
  EXPECT_EQ(c.schemaName, "");
}

TEST_P(DescribeTest, SelectListColumnsReportEveryAttribute) {
  OCIStmt* stmt = DescribeOnly("select * from kinds");
  ub4 count = 0;
  client->OCIAttrGet(stmt, OCI_HTYPE_STMT, &count, nullptr, OCI_ATTR_PARAM_COUNT, s.err);
  ASSERT_EQ(count, std::size(kKinds));
  for (ub4 i = 0; i < count; ++i) {
    void* param = nullptr;
    ASSERT_EQ(client->OCIParamGet(stmt, OCI_HTYPE_STMT, s.err, &param, i + 1), OCI_SUCCESS);
    ExpectColumn(Read(param, false), kKinds[i]);
    EXPECT_EQ(Value<ub2>(param, OCI_ATTR_POSITION), i + 1);
    EXPECT_EQ(client->OCIDescriptorFree(param, OCI_DTYPE_PARAM), OCI_SUCCESS);
  }
  client->OCIHandleFree(stmt, OCI_HTYPE_STMT);
}

TEST_P(DescribeTest, ExpressionsDescribeAsOracleTypesThem) {
  struct Case {
    const char* expression;
    ub2 type, size;
    sb2 precision;
    sb1 scale;
  };
  const Case cases[] = {
      {"n * 2", 2, 22, 0, -127},     {"count(*)", 2, 22, 0, -127}, {"'abc'", 96, 3, 0, 0},
      {"sysdate", 12, 7, 0, 0},      {"d + 1", 12, 7, 0, 0},       {"rowid", 104, 10, 0, 0},
      {"length(v)", 2, 22, 0, -127}, {"v || 'x'", 1, 31, 0, 0},    {"c || 'ab'", 96, 5, 0, 0},
      {"upper(v)", 1, 30, 0, 0},     {"lower(c)", 96, 3, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expression);
    OCIStmt* stmt = DescribeOnly(std::string("select ") + c.expression + " from kinds");
    void* param = nullptr;
    ASSERT_EQ(client->OCIParamGet(stmt, OCI_HTYPE_STMT, s.err, &param, 1), OCI_SUCCESS);
    Column col = Read(param, false);
    EXPECT_EQ(col.type, c.type);
    EXPECT_EQ(col.size, c.size);
    EXPECT_EQ(col.precision, c.precision);
    EXPECT_EQ(col.scale, c.scale);
    EXPECT_EQ(col.nullable, 1);
    client->OCIHandleFree(stmt, OCI_HTYPE_STMT);
  }
}

TEST_P(DescribeTest, DescribeAnyTableGivesItsColumnList) {
  const long live = testing::LiveHandles(client->Library());
  OCIDescribe* d = nullptr;
  ASSERT_EQ(
      client->OCIHandleAlloc(s.env, reinterpret_cast<void**>(&d), OCI_HTYPE_DESCRIBE, 0, nullptr),
      OCI_SUCCESS);
  for (const char* name : {"kinds", "SCOTT.KINDS", "\"KINDS\""}) {
    SCOPED_TRACE(name);
    for (ub1 asked : {ub1{OCI_PTYPE_UNK}, ub1{OCI_PTYPE_TABLE}}) {
      ASSERT_EQ(DescribeAny(d, name, asked), OCI_SUCCESS) << s.Error().text;
      void* table = nullptr;
      ASSERT_EQ(client->OCIAttrGet(d, OCI_HTYPE_DESCRIBE, &table, nullptr, OCI_ATTR_PARAM, s.err),
                OCI_SUCCESS);
      EXPECT_EQ(Value<ub1>(table, OCI_ATTR_PTYPE), OCI_PTYPE_TABLE);
      EXPECT_EQ(Text(table, OCI_ATTR_OBJ_NAME), "KINDS");
      EXPECT_EQ(Text(table, OCI_ATTR_OBJ_SCHEMA), "SCOTT");
      const ub4 objid = Value<ub4>(table, OCI_ATTR_OBJID);
      EXPECT_NE(objid, 0u);
      EXPECT_EQ(Value<ub4>(table, OCI_ATTR_OBJ_ID), objid);
      EXPECT_EQ(Value<ub1>(table, OCI_ATTR_IS_TEMPORARY), 0);
      EXPECT_EQ(Value<ub1>(table, OCI_ATTR_INDEX_ONLY), 0);
      ASSERT_EQ(Value<ub2>(table, OCI_ATTR_NUM_COLS), std::size(kKinds));
      void* list = Value<void*>(table, OCI_ATTR_LIST_COLUMNS);
      ASSERT_NE(list, nullptr);
      EXPECT_EQ(Value<void*>(table, OCI_ATTR_LIST_COLUMNS), list);  // the same descriptor again
      EXPECT_EQ(Value<ub1>(list, OCI_ATTR_PTYPE), OCI_PTYPE_LIST);
      EXPECT_EQ(Value<ub1>(list, OCI_ATTR_LTYPE), OCI_LTYPE_COLUMN);
      EXPECT_EQ(Value<ub2>(list, OCI_ATTR_NUM_PARAMS), std::size(kKinds));
      for (ub4 i = 0; i < std::size(kKinds); ++i) {
        void* column = nullptr;
        ASSERT_EQ(client->OCIParamGet(list, OCI_DTYPE_PARAM, s.err, &column, i + 1), OCI_SUCCESS);
        EXPECT_EQ(Value<ub1>(column, OCI_ATTR_PTYPE), OCI_PTYPE_COL);
        ExpectColumn(Read(column, true), kKinds[i]);
      }
      void* none = nullptr;
      EXPECT_EQ(client->OCIParamGet(list, OCI_DTYPE_PARAM, s.err, &none, 0), OCI_ERROR);
      EXPECT_EQ(s.Error().code, 24334);
      EXPECT_EQ(client->OCIParamGet(list, OCI_DTYPE_PARAM, s.err, &none, std::size(kKinds) + 1),
                OCI_ERROR);
      EXPECT_EQ(s.Error().code, 24334);
      ub4 link = 0;
      EXPECT_EQ(client->OCIAttrGet(table, OCI_DTYPE_PARAM, &link, nullptr, OCI_ATTR_LINK, s.err),
                OCI_ERROR);
      EXPECT_EQ(s.Error().code, 24315);
    }
  }
  // The descriptors belong to the describe handle and go with it.
  EXPECT_EQ(client->OCIHandleFree(d, OCI_HTYPE_DESCRIBE), OCI_SUCCESS);
  EXPECT_EQ(testing::LiveHandles(client->Library()), live);
}

TEST_P(DescribeTest, ViewsSynonymsAndMissingObjects) {
  ASSERT_EQ(Exec(s, "create view kinds_v as select n, v, n * 2 twice from kinds"), OCI_SUCCESS)
      << s.Error().text;
  ASSERT_EQ(Exec(s, "create synonym k for kinds"), OCI_SUCCESS) << s.Error().text;
  ASSERT_EQ(Exec(s, "create public synonym public_k for scott.kinds_v"), OCI_SUCCESS)
      << s.Error().text;
  OCIDescribe* d = nullptr;
  ASSERT_EQ(
      client->OCIHandleAlloc(s.env, reinterpret_cast<void**>(&d), OCI_HTYPE_DESCRIBE, 0, nullptr),
      OCI_SUCCESS);
  auto top = [&] {
    void* p = nullptr;
    EXPECT_EQ(client->OCIAttrGet(d, OCI_HTYPE_DESCRIBE, &p, nullptr, OCI_ATTR_PARAM, s.err),
              OCI_SUCCESS);
    return p;
  };

  ASSERT_EQ(DescribeAny(d, "KINDS_V", OCI_PTYPE_VIEW), OCI_SUCCESS) << s.Error().text;
  void* view = top();
  EXPECT_EQ(Value<ub1>(view, OCI_ATTR_PTYPE), OCI_PTYPE_VIEW);
  ASSERT_EQ(Value<ub2>(view, OCI_ATTR_NUM_COLS), 3);
  void* column = nullptr;
  ASSERT_EQ(client->OCIParamGet(Value<void*>(view, OCI_ATTR_LIST_COLUMNS), OCI_DTYPE_PARAM, s.err,
                                &column, 3),
            OCI_SUCCESS);
  EXPECT_EQ(Text(column, OCI_ATTR_NAME), "TWICE");
  EXPECT_EQ(Value<ub2>(column, OCI_ATTR_DATA_TYPE), 2);
  ub1 clustered = 0;  // a table's storage attributes are not a view's
  EXPECT_EQ(
      client->OCIAttrGet(view, OCI_DTYPE_PARAM, &clustered, nullptr, OCI_ATTR_CLUSTERED, s.err),
      OCI_ERROR);
  EXPECT_EQ(s.Error().code, 24315);

  // A synonym describes as itself: its name attributes are its translation.
  ASSERT_EQ(DescribeAny(d, "k", OCI_PTYPE_UNK), OCI_SUCCESS) << s.Error().text;
  void* synonym = top();
  EXPECT_EQ(Value<ub1>(synonym, OCI_ATTR_PTYPE), OCI_PTYPE_SYN);
  EXPECT_EQ(Text(synonym, OCI_ATTR_OBJ_NAME), "K");
  EXPECT_EQ(Text(synonym, OCI_ATTR_SCHEMA_NAME), "SCOTT");
  EXPECT_EQ(Text(synonym, OCI_ATTR_NAME), "KINDS");
  EXPECT_EQ(Text(synonym, OCI_ATTR_LINK), "");
  // Asked for a table, the synonym leads to it.
  ASSERT_EQ(DescribeAny(d, "K", OCI_PTYPE_TABLE), OCI_SUCCESS) << s.Error().text;
  EXPECT_EQ(Text(top(), OCI_ATTR_OBJ_NAME), "KINDS");
  // A public synonym is found when the user has no object of that name, and on its own with
  // OCI_ATTR_DESC_PUBLIC.
  ASSERT_EQ(DescribeAny(d, "PUBLIC_K", OCI_PTYPE_VIEW), OCI_SUCCESS) << s.Error().text;
  EXPECT_EQ(Text(top(), OCI_ATTR_OBJ_NAME), "KINDS_V");
  ub1 yes = 1;
  ASSERT_EQ(client->OCIAttrSet(d, OCI_HTYPE_DESCRIBE, &yes, 0, OCI_ATTR_DESC_PUBLIC, s.err),
            OCI_SUCCESS);
  ASSERT_EQ(DescribeAny(d, "public_k", OCI_PTYPE_UNK), OCI_SUCCESS) << s.Error().text;
  EXPECT_EQ(Text(top(), OCI_ATTR_OBJ_SCHEMA), "PUBLIC");
  EXPECT_EQ(DescribeAny(d, "KINDS", OCI_PTYPE_UNK), OCI_ERROR);  // only public synonyms now
  EXPECT_EQ(s.Error().code, 4043);
  yes = 0;
  ASSERT_EQ(client->OCIAttrSet(d, OCI_HTYPE_DESCRIBE, &yes, 0, OCI_ATTR_DESC_PUBLIC, s.err),
            OCI_SUCCESS);

  struct Failure {
    const char* name;
    ub1 asked;
    sb4 code;
    const char* text;
  };
  const Failure failures[] = {
      {"nosuch", OCI_PTYPE_UNK, 4043, "ORA-04043: object nosuch does not exist\n"},
      {"KINDS_V", OCI_PTYPE_TABLE, 4043, "ORA-04043: object KINDS_V does not exist\n"},
      {"KINDS", OCI_PTYPE_SYN, 4043, "ORA-04043: object KINDS does not exist\n"},
      {"nobody.kinds", OCI_PTYPE_UNK, 4043, "ORA-04043: object nobody.kinds does not exist\n"},
      {"kinds@faraway", OCI_PTYPE_UNK, 2019,
       "ORA-02019: connection description for remote database not found\n"},
  };
  for (const Failure& f : failures) {
    SCOPED_TRACE(f.name);
    EXPECT_EQ(DescribeAny(d, f.name, f.asked), OCI_ERROR);
    EXPECT_EQ(s.Error().code, f.code);
    EXPECT_EQ(s.Error().text, f.text);
    void* p = nullptr;  // a failed describe leaves nothing to read
    EXPECT_EQ(client->OCIAttrGet(d, OCI_HTYPE_DESCRIBE, &p, nullptr, OCI_ATTR_PARAM, s.err),
              OCI_ERROR);
  }
  EXPECT_EQ(client->OCIHandleFree(d, OCI_HTYPE_DESCRIBE), OCI_SUCCESS);
}

TEST_P(DescribeTest, ProceduresAndFunctionsListTheirArguments) {
  ASSERT_EQ(Exec(s,
                 "create function f (a number, b in out varchar2) return date is "
                 "begin b := b || 'x'; return sysdate + a; end;"),
            OCI_SUCCESS)
      << s.Error().text;
  ASSERT_EQ(Exec(s, "create procedure p (x out binary_integer) is begin x := 1; end;"), OCI_SUCCESS)
      << s.Error().text;
  OCIDescribe* d = nullptr;
  ASSERT_EQ(
      client->OCIHandleAlloc(s.env, reinterpret_cast<void**>(&d), OCI_HTYPE_DESCRIBE, 0, nullptr),
      OCI_SUCCESS);
  struct Argument {
    ub4 position;
    const char* name;
    ub2 type, typecode;
    ub4 mode;
    ub1 radix;
  };
  struct Case {
    const char* name;
    ub1 ptype, ltype;
    std::vector<Argument> arguments;
  };
  const Case cases[] = {
      {"f",
       OCI_PTYPE_FUNC,
       OCI_LTYPE_ARG_FUNC,
       {{0, "", 12, 12, OCI_TYPEPARAM_OUT, 0},
        {1, "A", 2, 2, OCI_TYPEPARAM_IN, 10},
        {2, "B", 1, 9, OCI_TYPEPARAM_INOUT, 0}}},
      {"SCOTT.P", OCI_PTYPE_PROC, OCI_LTYPE_ARG_PROC, {{1, "X", 3, 3, OCI_TYPEPARAM_OUT, 10}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(DescribeAny(d, c.name, OCI_PTYPE_UNK), OCI_SUCCESS) << s.Error().text;
    void* routine = nullptr;
    ASSERT_EQ(client->OCIAttrGet(d, OCI_HTYPE_DESCRIBE, &routine, nullptr, OCI_ATTR_PARAM, s.err),
              OCI_SUCCESS);
    EXPECT_EQ(Value<ub1>(routine, OCI_ATTR_PTYPE), c.ptype);
    EXPECT_EQ(Value<ub1>(routine, OCI_ATTR_IS_INVOKER_RIGHTS), 0);
    void* list = Value<void*>(routine, OCI_ATTR_LIST_ARGUMENTS);
    EXPECT_EQ(Value<ub1>(list, OCI_ATTR_LTYPE), c.ltype);
    EXPECT_EQ(Value<ub2>(list, OCI_ATTR_NUM_PARAMS), c.arguments.size());
    for (const Argument& a : c.arguments) {
      SCOPED_TRACE(a.position);
      void* arg = nullptr;
      ASSERT_EQ(client->OCIParamGet(list, OCI_DTYPE_PARAM, s.err, &arg, a.position), OCI_SUCCESS)
          << s.Error().text;
      EXPECT_EQ(Value<ub1>(arg, OCI_ATTR_PTYPE), OCI_PTYPE_ARG);
      EXPECT_EQ(Text(arg, OCI_ATTR_NAME), a.name);
      EXPECT_EQ(Value<ub2>(arg, OCI_ATTR_POSITION), a.position);
      EXPECT_EQ(Value<ub2>(arg, OCI_ATTR_DATA_TYPE), a.type);
      EXPECT_EQ(Value<ub2>(arg, OCI_ATTR_TYPECODE), a.typecode);
      EXPECT_EQ(Value<ub4>(arg, OCI_ATTR_IOMODE), a.mode);
      EXPECT_EQ(Value<ub1>(arg, OCI_ATTR_RADIX), a.radix);
      EXPECT_EQ(Value<ub1>(arg, OCI_ATTR_PRECISION), 0);
      EXPECT_EQ(Value<ub1>(arg, OCI_ATTR_HAS_DEFAULT), 0);
      EXPECT_EQ(Value<ub2>(arg, OCI_ATTR_LEVEL), 0);
      EXPECT_EQ(Value<void*>(arg, OCI_ATTR_LIST_ARGUMENTS), nullptr);
    }
    // A procedure's list starts at 1, a function's at 0 (its result).
    void* none = nullptr;
    const ub4 before = c.ltype == OCI_LTYPE_ARG_FUNC ? 0 : 1;
    if (before == 1) {
      EXPECT_EQ(client->OCIParamGet(list, OCI_DTYPE_PARAM, s.err, &none, 0), OCI_ERROR);
      EXPECT_EQ(s.Error().code, 24334);
    }
    EXPECT_EQ(client->OCIParamGet(list, OCI_DTYPE_PARAM, s.err, &none,
                                  before + static_cast<ub4>(c.arguments.size())),
              OCI_ERROR);
    EXPECT_EQ(s.Error().code, 24334);
  }
  // Asked for the other kind, or for a table, the routine is not there.
  EXPECT_EQ(DescribeAny(d, "P", OCI_PTYPE_FUNC), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 4043);
  EXPECT_EQ(DescribeAny(d, "F", OCI_PTYPE_TABLE), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 4043);
  EXPECT_EQ(DescribeAny(d, "F", OCI_PTYPE_FUNC), OCI_SUCCESS);
  EXPECT_EQ(client->OCIHandleFree(d, OCI_HTYPE_DESCRIBE), OCI_SUCCESS);
}

INSTANTIATE_TEST_SUITE_P(Variants, DescribeTest,
                         ::testing::Values(testing::Variant::Oci8, testing::Variant::Full),
                         [](const auto& variant) { return testing::VariantName(variant.param); });

}  // namespace
}  // namespace ociemu::test
