// PL/SQL blocks through the OCI8 and OCI7 calls: binds as host variables (IN, OUT, IN OUT,
// PL/SQL tables, cursors), control flow, embedded SQL, exceptions with Oracle's error stacks,
// and stored procedures, functions and packages.
#include <gtest/gtest.h>

#include <cstring>

#include "ociemu/ClientFixture.h"

namespace ociemu::test {
namespace {

// A bind's buffers: elements of size bytes with their indicators and lengths.
struct Var {
  std::string name;
  ub2 type = SQLT_STR;
  sb4 size = 0;
  std::vector<char> data;
  std::vector<sb2> indicators;
  std::vector<ub2> lengths;
  ub4 capacity = 0;  // > 0: a PL/SQL table
  ub4 used = 0;

  Var(std::string n, ub2 t, sb4 s, ub4 elements = 1)
      : name(std::move(n)),
        type(t),
        size(s),
        data(static_cast<size_t>(s) * elements),
        indicators(elements, -1),
        lengths(elements, 0) {}
  static Var Text(std::string n, const char* value = nullptr, sb4 size = 200) {
    Var v(std::move(n), SQLT_STR, size);
    if (value) v.SetText(0, value);
    return v;
  }
  static Var Int(std::string n, std::optional<int> value = std::nullopt) {
    Var v(std::move(n), SQLT_INT, sizeof(int));
    if (value) v.SetInt(0, *value);
    return v;
  }
  static Var Table(std::string n, ub2 type, sb4 size, ub4 capacity) {
    Var v(std::move(n), type, size, capacity);
    v.capacity = capacity;
    return v;
  }
  void SetText(size_t i, const std::string& s) {
    std::memcpy(&data[i * static_cast<size_t>(size)], s.c_str(), s.size() + 1);
    indicators[i] = 0;
  }
  void SetInt(size_t i, int x) {
    std::memcpy(&data[i * static_cast<size_t>(size)], &x, sizeof x);
    indicators[i] = 0;
  }
  std::string TextAt(size_t i = 0) const {
    if (indicators[i] == -1) return "<null>";
    return std::string(&data[i * static_cast<size_t>(size)]);
  }
  int IntAt(size_t i = 0) const {
    int x;
    std::memcpy(&x, &data[i * static_cast<size_t>(size)], sizeof x);
    return x;
  }
};

class PlsqlTest : public ClientTest {
 protected:
  void SetUp() override {
    ClientTest::SetUp();
    ASSERT_TRUE(s.LogOn("SCOTT", "TIGER")) << s.Error().text;
  }
  void TearDown() override { s.LogOff(); }

  OCIStmt* NewStatement() {
    OCIStmt* stmt = nullptr;
    EXPECT_EQ(
        client->OCIHandleAlloc(s.env, reinterpret_cast<void**>(&stmt), OCI_HTYPE_STMT, 0, nullptr),
        OCI_SUCCESS);
    return stmt;
  }

  // Runs text once with the variables bound by name; the status of OCIStmtExecute.
  sword Run(const std::string& text, std::vector<Var*> vars = {}) {
    OCIStmt* stmt = NewStatement();
    EXPECT_EQ(client->OCIStmtPrepare(stmt, s.err, reinterpret_cast<const OraText*>(text.data()),
                                     static_cast<ub4>(text.size()), OCI_NTV_SYNTAX, OCI_DEFAULT),
              OCI_SUCCESS);
    for (Var* v : vars) {
      OCIBind* bind = nullptr;
      const std::string placeholder = ":" + v->name;
      EXPECT_EQ(client->OCIBindByName(
                    stmt, &bind, s.err, reinterpret_cast<const OraText*>(placeholder.c_str()), -1,
                    v->data.data(), v->size, v->type, v->indicators.data(), v->lengths.data(),
                    nullptr, v->capacity, v->capacity ? &v->used : nullptr, OCI_DEFAULT),
                OCI_SUCCESS);
    }
    sword rc = client->OCIStmtExecute(s.svc, stmt, s.err, 1, 0, nullptr, nullptr, OCI_DEFAULT);
    client->OCIHandleFree(stmt, OCI_HTYPE_STMT);
    return rc;
  }
  // The text a block leaves in :R (a string bind), or the error it fails with.
  std::string Result(const std::string& block) {
    Var r = Var::Text("R");
    if (Run(block, {&r}) != OCI_SUCCESS) return "error: " + s.Error().text;
    return r.TextAt();
  }

  Oci8Session s{*client};
};

TEST_F(PlsqlTest, BindsAreHostVariablesInOutAndInOut) {
  Var a = Var::Int("A", 40);
  Var b = Var::Text("B", "2.5");
  Var sum = Var::Text("SUM");
  Var name = Var::Text("NAME", "world");
  Var greeting = Var::Text("GREETING", "stale", 14);
  Var counter = Var::Int("COUNTER", 7);
  Var nothing = Var::Text("NOTHING", "was set");
  Var day(std::string("DAY"), SQLT_DAT, 7);
  ASSERT_EQ(Run("begin\n"
                "  :sum := :a + :b;\n"
                "  :greeting := 'Hello, ' || :name || '!';\n"
                "  :counter := :counter * 2 + 1;\n"
                "  :nothing := null;\n"
                "  :day := to_date('2024-02-29 13:45:10', 'YYYY-MM-DD HH24:MI:SS') + 1;\n"
                "end;",
                {&a, &b, &sum, &name, &greeting, &counter, &nothing, &day}),
            OCI_SUCCESS)
      << s.Error().text;
  EXPECT_EQ(sum.TextAt(), "42.5");
  EXPECT_EQ(greeting.TextAt(), "Hello, world!");
  EXPECT_EQ(counter.IntAt(), 15);
  EXPECT_EQ(nothing.indicators[0], -1);
  EXPECT_EQ(a.IntAt(), 40);  // not assigned: left as it was
  const unsigned char expected[7] = {120, 124, 3, 1, 14, 46, 11};
  EXPECT_EQ(std::memcmp(day.data.data(), expected, 7), 0);

  // A value longer than the OUT buffer is PL/SQL's VALUE_ERROR at the assignment.
  Var small = Var::Text("SMALL", nullptr, 4);
  EXPECT_EQ(Run("begin\n  :small := 'four';\nend;", {&small}), OCI_ERROR);
  EXPECT_EQ(s.Error().text,
            "ORA-06502: PL/SQL: numeric or value error: character string buffer too small\n"
            "ORA-06512: at line 2\n");
  EXPECT_EQ(Run("begin :small := 'abc'; end;", {&small}), OCI_SUCCESS);
  EXPECT_EQ(small.TextAt(), "abc");
}

struct BlockCase {
  const char* name;
  const char* block;
  const char* result;
};

void PrintTo(const BlockCase& c, std::ostream* os) {
  *os << c.name;
}

class BlockResultTest : public PlsqlTest, public ::testing::WithParamInterface<BlockCase> {};

TEST_P(BlockResultTest, LeavesItsResultInR) {
  EXPECT_EQ(Result(GetParam().block), GetParam().result);
}

const BlockCase kBlocks[] = {
    {"IfElsifElse",
     "declare n number := 15; begin if n < 10 then :r := 'small'; elsif n < 20 then :r := "
     "'medium'; else :r := 'large'; end if; end;",
     "medium"},
    {"NullIsNeitherTrueNorFalse",
     "declare n number; begin if n = n then :r := 'equal'; elsif not (n = n) then :r := 'not'; "
     "else :r := 'unknown'; end if; end;",
     "unknown"},
    {"LoopWithExitWhen",
     "declare i pls_integer := 0; s varchar2(50); begin loop i := i + 1; exit when i > 5; "
     "s := s || i; end loop; :r := s; end;",
     "12345"},
    {"WhileLoop",
     "declare i number := 1; begin while i < 1000 loop i := i * 3; end loop; :r := i; end;",
     "2187"},
    {"ReverseForLoop", "begin for i in reverse 1..4 loop :r := :r || i; end loop; end;", "4321"},
    {"ForLoopBoundsAreEvaluatedOnce",
     "declare n number := 3; c number := 0; begin for i in 1..n loop n := 10; c := c + 1; "
     "end loop; :r := c; end;",
     "3"},
    {"ExitAndContinueWithLabels",
     "declare s varchar2(100); begin <<outer>> for i in 1..3 loop for j in 1..3 loop "
     "continue when j = 2; exit outer when i = 3; s := s || i || j || ' '; end loop; end loop; "
     ":r := s; end;",
     "11 13 21 23 "},
    {"ConcatenationTreatsNullAsEmpty", "begin :r := 'a' || null || 'b'; end;", "ab"},
    {"NumberScaleRoundsOnAssignment", "declare x number(6,2); begin x := 3.14159; :r := x; end;",
     "3.14"},
    {"IntegerDivisionIsExact", "declare x number; begin x := 7 / 2; :r := x; end;", "3.5"},
    {"CaseExpression",
     "declare g char(1) := 'B'; begin :r := case g when 'A' then 'top' when 'B' then 'good' "
     "else 'other' end; end;",
     "good"},
    {"CaseStatement",
     "declare n number := 3; begin case when n < 3 then :r := 'low'; when n = 3 then "
     ":r := 'three'; end case; case n when 1 then null; else :r := :r || '!'; end case; end;",
     "three!"},
    {"CaseStatementWithoutMatch",
     "begin case 1 when 2 then null; end case; exception when case_not_found then "
     ":r := sqlerrm; end;",
     "ORA-06592: CASE not found while executing CASE statement"},
    {"BooleansAndConstants",
     "declare limit constant number := 10; ok boolean := 5 < limit; begin "
     "if ok and not (limit is null) then :r := 'yes'; end if; end;",
     "yes"},
    {"BuiltinFunctionsRunOnTheSqlEngine",
     "begin :r := upper(substr('plsql engine', 1, 5)) || nvl(null, '-') || "
     "to_char(to_date('2001-02-03', 'YYYY-MM-DD'), 'DD.MM.YYYY'); end;",
     "PLSQL-03.02.2001"},
    {"NestedBlocksShadowNames",
     "declare x varchar2(10) := 'outer'; begin declare x varchar2(10) := 'inner'; begin "
     ":r := x; end; :r := :r || '/' || x; end;",
     "inner/outer"},
    {"LocalRecursiveFunction",
     "declare function fact(n number) return number is begin if n <= 1 then return 1; end if; "
     "return n * fact(n - 1); end; begin :r := fact(10); end;",
     "3628800"},
    {"LocalProcedureWithOutParameterAndNamedNotation",
     "declare total number := 0; procedure add(amount in number, result out number) is begin "
     "result := total + amount; end; begin add(result => total, amount => 5); "
     "add(2, total); :r := total; end;",
     "7"},
    {"IndexByTables",
     "declare type names_t is table of varchar2(20) index by binary_integer; n names_t; "
     "begin n(5) := 'five'; n(-2) := 'minus two'; n(9) := 'nine'; :r := n.count || ' ' || "
     "n.first || ' ' || n.last || ' ' || n.next(-2) || ' ' || n(5); "
     "if not n.exists(6) then :r := :r || ' no6'; end if; end;",
     "3 -2 9 5 five no6"},
    {"ZeroDivideIsCaught",
     "declare x number; begin x := 1 / 0; exception when zero_divide then :r := sqlcode || ' ' "
     "|| sqlerrm; end;",
     "-1476 ORA-01476: divisor is equal to zero"},
    {"ValueErrorOnLongString",
     "declare s varchar2(3); begin s := 'abcd'; exception when value_error then :r := sqlerrm; "
     "end;",
     "ORA-06502: PL/SQL: numeric or value error: character string buffer too small"},
    {"ValueErrorOnBadNumber",
     "declare n number; begin n := 'twelve'; exception when value_error then :r := sqlerrm; "
     "end;",
     "ORA-06502: PL/SQL: numeric or value error: character to number conversion error"},
    {"UserDefinedException",
     "declare oops exception; begin raise oops; exception when oops then :r := sqlcode || ' ' "
     "|| sqlerrm; end;",
     "1 User-Defined Exception"},
    {"PragmaExceptionInit",
     "declare bad exception; pragma exception_init(bad, -20007); begin "
     "raise_application_error(-20007, 'custom text'); exception when bad then :r := sqlerrm; "
     "end;",
     "ORA-20007: custom text"},
    {"OthersAndReRaiseToAnOuterHandler",
     "begin begin raise no_data_found; exception when others then :r := 'inner '; raise; end; "
     "exception when no_data_found then :r := :r || sqlcode; end;",
     "inner 100"},
    {"ErrorInDeclarationGoesToTheEnclosingBlock",
     "begin declare s varchar2(2) := 'long'; begin :r := 'not here'; exception when others "
     "then :r := 'inner'; end; exception when value_error then :r := 'outer'; end;",
     "outer"},
    {"SqlcodeOutsideAHandler", "begin :r := sqlcode || ' ' || sqlerrm; end;",
     "0 ORA-0000: normal, successful completion"},
    {"ExplicitCursorWithParameter",
     "declare cursor c(n number) is select n * 2 as v from dual union all select n * 3 from "
     "dual; x number; s varchar2(50); begin open c(5); loop fetch c into x; exit when "
     "c%notfound; s := s || x || ','; end loop; :r := s || c%rowcount; close c; "
     "if not c%isopen then :r := :r || ' closed'; end if; end;",
     "10,15,2 closed"},
    {"CursorForLoopOverAQuery",
     "begin for r in (select 'a' as letter from dual union all select 'b' from dual) loop "
     ":r := :r || r.letter; end loop; end;",
     "ab"},
    {"CursorForLoopOverADeclaredCursor",
     "declare cursor c is select 7 as n, 'seven' as name from dual; begin for r in c loop "
     ":r := r.n || ' ' || r.name; end loop; end;",
     "7 seven"},
    {"RowtypeRecordFromSelectInto",
     "declare d dual%rowtype; begin select * into d from dual; d.dummy := lower(d.dummy); "
     ":r := d.dummy; end;",
     "x"},
    {"FetchFromAClosedCursor",
     "declare cursor c is select 1 from dual; x number; begin fetch c into x; exception when "
     "invalid_cursor then :r := sqlcode; end;",
     "-1001"},
    {"OpenAnOpenCursor",
     "declare cursor c is select 1 from dual; begin open c; open c; exception when "
     "cursor_already_open then :r := sqlerrm; end;",
     "ORA-06511: PL/SQL: cursor already open"},
};

INSTANTIATE_TEST_SUITE_P(Blocks, BlockResultTest, ::testing::ValuesIn(kBlocks),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(PlsqlTest, EmbeddedSqlSeesTheBlocksVariables) {
  ASSERT_EQ(Run("create table items (id number primary key, label varchar2(20))"), OCI_SUCCESS)
      << s.Error().text;
  Var n = Var::Int("N", 4);
  Var r = Var::Text("R");
  ASSERT_EQ(Run("declare\n"
                "  total number;\n"
                "  label varchar2(20);\n"
                "begin\n"
                "  for i in 1..:n loop\n"
                "    insert into items (id, label) values (i, 'item ' || i);\n"
                "  end loop;\n"
                "  update items set label = upper(label) where id > 2;\n"
                "  :r := sql%rowcount;\n"
                "  select count(*), max(label) into total, label from items where id <= :n;\n"
                "  :r := :r || ' ' || total || ' ' || label;\n"
                "  delete from items where id = 1;\n"
                "  :r := :r || ' ' || sql%rowcount;\n"
                "  begin\n"
                "    select label into label from items where id = 1;\n"
                "  exception when no_data_found then :r := :r || ' none';\n"
                "  end;\n"
                "  begin\n"
                "    select label into label from items;\n"
                "  exception when too_many_rows then :r := :r || ' many';\n"
                "  end;\n"
                "  execute immediate 'insert into items values (:1, :2)' using 9, 'dynamic';\n"
                "  execute immediate 'select label from items where id = :1' into label using 9;\n"
                "  :r := :r || ' ' || label;\n"
                "end;",
                {&n, &r}),
            OCI_SUCCESS)
      << s.Error().text;
  EXPECT_EQ(r.TextAt(), "2 4 item 2 1 none many dynamic");
  EXPECT_EQ(Query(s, "select id, label from items order by id"),
            (Rows{{"2", "item 2"}, {"3", "ITEM 3"}, {"4", "ITEM 4"}, {"9", "dynamic"}}));
}

// The blocks a dataset sends: column defaults, and a check constraint whose columns became binds.
TEST_F(PlsqlTest, DefaultAndCheckConstraintBlocks) {
  ASSERT_EQ(Run("create sequence order_seq start with 500"), OCI_SUCCESS) << s.Error().text;
  ASSERT_EQ(Run("create table orders (id number, status varchar2(1), amount number)"), OCI_SUCCESS);
  ASSERT_EQ(Run("insert into orders values (1, 'N', -5)"), OCI_SUCCESS);
  Var id = Var::Int("ID");
  Var status = Var::Text("STATUS", nullptr, 2);
  Var created(std::string("CREATED"), SQLT_DAT, 7);
  Var who = Var::Text("WHO");
  ASSERT_EQ(Run("begin\n  :ID := order_seq.nextval;\n  :STATUS := 'N';\n  :CREATED := sysdate;\n"
                "  :WHO := user;\nend;",
                {&id, &status, &created, &who}),
            OCI_SUCCESS)
      << s.Error().text;
  EXPECT_EQ(id.IntAt(), 500);
  EXPECT_EQ(status.TextAt(), "N");
  EXPECT_EQ(created.indicators[0], 0);
  EXPECT_EQ(who.TextAt(), "SCOTT");

  const std::string check =
      "begin\n"
      "  select AMOUNT into :AMOUNT from orders where rowid = :kvl__rowid;\n"
      "  if not (:STATUS in ('N', 'S') and (:AMOUNT is null or :AMOUNT >= 0)) then\n"
      "    :error := 2290;\n"
      "  else\n"
      "    :error := 0;\n"
      "  end if;\n"
      "exception\n"
      "  when others then :error := 0;\n"
      "end;";
  Rows rowids = Query(s, "select rowid from orders");
  ASSERT_EQ(rowids.size(), 1u);
  Var rowid = Var::Text("KVL__ROWID", rowids[0][0].c_str());
  Var amount(std::string("AMOUNT"), SQLT_FLT, 8);
  Var error = Var::Int("ERROR");
  ASSERT_EQ(Run(check, {&status, &rowid, &amount, &error}), OCI_SUCCESS) << s.Error().text;
  EXPECT_EQ(error.IntAt(), 2290);  // the stored amount is negative
  status.SetText(0, "X");
  ASSERT_EQ(Run("begin if not (:STATUS in ('N', 'S')) then :error := 2290; else :error := 0; "
                "end if; end;",
                {&status, &error}),
            OCI_SUCCESS);
  EXPECT_EQ(error.IntAt(), 2290);
  status.indicators[0] = -1;  // NULL satisfies a check constraint
  ASSERT_EQ(Run("begin if not (:STATUS in ('N', 'S')) then :error := 2290; else :error := 0; "
                "end if; end;",
                {&status, &error}),
            OCI_SUCCESS);
  EXPECT_EQ(error.IntAt(), 0);
}

TEST_F(PlsqlTest, AFailingBlockUndoesItsChanges) {
  ASSERT_EQ(Run("create table audit_log (msg varchar2(20))"), OCI_SUCCESS);
  ASSERT_EQ(Run("insert into audit_log values ('before')"), OCI_SUCCESS);
  EXPECT_EQ(Run("begin insert into audit_log values ('in block'); "
                "raise_application_error(-20001, 'stop'); end;"),
            OCI_ERROR);
  EXPECT_EQ(Query(s, "select msg from audit_log"), (Rows{{"before"}}));
  // A handled error keeps the block's work.
  EXPECT_EQ(Run("begin insert into audit_log values ('kept'); raise no_data_found; "
                "exception when others then null; end;"),
            OCI_SUCCESS);
  EXPECT_EQ(Query(s, "select msg from audit_log order by msg"), (Rows{{"before"}, {"kept"}}));
}

struct ErrorCase {
  const char* name;
  const char* block;
  sb4 code;
  const char* text;
};

void PrintTo(const ErrorCase& c, std::ostream* os) {
  *os << c.name;
}

class BlockErrorTest : public PlsqlTest, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(BlockErrorTest, ReportsOraclesErrorStack) {
  Var r = Var::Text("R");
  const std::string block = GetParam().block;
  std::vector<Var*> vars;
  if (block.find(":r") != std::string::npos) vars.push_back(&r);
  ASSERT_EQ(Run(block, vars), OCI_ERROR);
  ErrorRecord e = s.Error();
  EXPECT_EQ(e.code, GetParam().code);
  EXPECT_EQ(e.text, GetParam().text);
}

const ErrorCase kErrors[] = {
    {"UnhandledNoDataFound",
     "declare\n  x number;\nbegin\n  select 1 into x from dual where 1 = 0;\nend;", 1403,
     "ORA-01403: no data found\nORA-06512: at line 4\n"},
    {"RaiseApplicationError",
     "begin\n  null;\n  raise_application_error(-20123, 'Bad value');\nend;", 20123,
     "ORA-20123: Bad value\nORA-06512: at line 3\n"},
    {"RaiseApplicationErrorOutOfRange", "begin raise_application_error(-1, 'x'); end;", 21000,
     "ORA-21000: error number argument to raise_application_error of -1 is out of range\n"
     "ORA-06512: at line 1\n"},
    {"UnhandledUserException", "declare e exception; begin\n  raise e;\nend;", 6510,
     "ORA-06510: PL/SQL: unhandled user-defined exception\nORA-06512: at line 2\n"},
    {"UndeclaredIdentifier", "begin\n  :r := missing_name + 1;\nend;", 6550,
     "ORA-06550: line 2, column 9:\nPLS-00201: identifier 'MISSING_NAME' must be declared\n"
     "ORA-06550: line 2, column 3:\nPL/SQL: Statement ignored\n"},
    {"AssignmentToAConstant", "declare c constant number := 1; begin\n  c := 2;\nend;", 6550,
     "ORA-06550: line 2, column 3:\nPLS-00363: expression 'C' cannot be used as an assignment "
     "target\nORA-06550: line 2, column 3:\nPL/SQL: Statement ignored\n"},
    {"SyntaxError", "begin\n  if 1 = 1 them null; end if;\nend;", 6550,
     "ORA-06550: line 2, column 12:\nPLS-00103: Encountered the symbol \"THEM\" when expecting "
     "one of the following:\n\n   THEN\n"},
    {"ExitOutsideALoop", "begin\n  exit;\nend;", 6550,
     "ORA-06550: line 2, column 3:\nPLS-00376: illegal EXIT statement; it must appear inside a "
     "loop\nORA-06550: line 2, column 3:\nPL/SQL: Statement ignored\n"},
    {"MissingTableInStaticSql", "begin\n  insert into no_such_table values (1);\nend;", 6550,
     "ORA-06550: line 2, column 15:\nPL/SQL: ORA-00942: table or view does not exist\n"
     "ORA-06550: line 2, column 3:\nPL/SQL: SQL Statement ignored\n"},
    {"MissingTableInDynamicSql",
     "begin\n  execute immediate 'insert into no_such_table values (1)';\nend;", 942,
     "ORA-00942: table or view does not exist\nORA-06512: at line 2\n"},
    {"RuntimeSqlErrorInsideTheBlock",
     "declare n number;\nbegin\n  select to_number('abc') into n from dual;\nend;", 1722,
     "ORA-01722: invalid number\nORA-06512: at line 3\n"},
    {"NotAllVariablesBound", "begin :unbound := 1; end;", 1008,
     "ORA-01008: not all variables bound\n"},
};

INSTANTIATE_TEST_SUITE_P(Errors, BlockErrorTest, ::testing::ValuesIn(kErrors),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(PlsqlTest, RunawayRecursionIsAStorageErrorNotACrash) {
  Var r = Var::Text("R");
  ASSERT_EQ(Run("declare function f(n number) return number is begin return f(n + 1); end;\n"
                "begin :r := f(1); end;",
                {&r}),
            OCI_ERROR);
  EXPECT_EQ(s.Error().code, 6500);
  EXPECT_EQ(s.Error().text.rfind("ORA-06500: PL/SQL: storage error\nORA-06512: at line 1\n", 0),
            0u);
  // The session goes on.
  EXPECT_EQ(Result("begin :r := 'alive'; end;"), "alive");
}

TEST_F(PlsqlTest, ArrayExecutionRunsTheBlockPerElement) {
  Var in(std::string("IN_"), SQLT_INT, sizeof(int), 3);
  Var out(std::string("OUT_"), SQLT_STR, 10, 3);
  for (int i = 0; i < 3; ++i) in.SetInt(static_cast<size_t>(i), i + 1);
  OCIStmt* stmt = NewStatement();
  const std::string text = "begin :out_ := 'x' || :in_ * 10; end;";
  ASSERT_EQ(client->OCIStmtPrepare(stmt, s.err, reinterpret_cast<const OraText*>(text.data()),
                                   static_cast<ub4>(text.size()), OCI_NTV_SYNTAX, OCI_DEFAULT),
            OCI_SUCCESS);
  OCIBind* b1 = nullptr;
  OCIBind* b2 = nullptr;
  ASSERT_EQ(client->OCIBindByPos(stmt, &b1, s.err, 1, out.data.data(), out.size, SQLT_STR,
                                 out.indicators.data(), nullptr, nullptr, 0, nullptr, OCI_DEFAULT),
            OCI_SUCCESS);
  ASSERT_EQ(client->OCIBindByPos(stmt, &b2, s.err, 2, in.data.data(), in.size, SQLT_INT,
                                 in.indicators.data(), nullptr, nullptr, 0, nullptr, OCI_DEFAULT),
            OCI_SUCCESS);
  ASSERT_EQ(client->OCIStmtExecute(s.svc, stmt, s.err, 3, 0, nullptr, nullptr, OCI_DEFAULT),
            OCI_SUCCESS)
      << s.Error().text;
  EXPECT_EQ(out.TextAt(0), "x10");
  EXPECT_EQ(out.TextAt(2), "x30");
  ub4 rows = 0;
  client->OCIAttrGet(stmt, OCI_HTYPE_STMT, &rows, nullptr, OCI_ATTR_ROW_COUNT, s.err);
  EXPECT_EQ(rows, 3u);
  // Describing a block does not run it.
  Var r = Var::Text("R", "untouched");
  OCIBind* b3 = nullptr;
  const std::string block = "begin :r := 'ran'; end;";
  ASSERT_EQ(client->OCIStmtPrepare(stmt, s.err, reinterpret_cast<const OraText*>(block.data()),
                                   static_cast<ub4>(block.size()), OCI_NTV_SYNTAX, OCI_DEFAULT),
            OCI_SUCCESS);
  ASSERT_EQ(client->OCIBindByName(stmt, &b3, s.err, reinterpret_cast<const OraText*>(":r"), -1,
                                  r.data.data(), r.size, SQLT_STR, r.indicators.data(), nullptr,
                                  nullptr, 0, nullptr, OCI_DEFAULT),
            OCI_SUCCESS);
  EXPECT_EQ(client->OCIStmtExecute(s.svc, stmt, s.err, 1, 0, nullptr, nullptr, OCI_DESCRIBE_ONLY),
            OCI_SUCCESS);
  EXPECT_EQ(r.TextAt(), "untouched");
  client->OCIHandleFree(stmt, OCI_HTYPE_STMT);
}

TEST_F(PlsqlTest, PlsqlTablesBoundWithMaximumAndCurrentLength) {
  Var in = Var::Table("NUMS", SQLT_INT, sizeof(int), 5);
  for (int i = 0; i < 3; ++i) in.SetInt(static_cast<size_t>(i), (i + 1) * 10);
  in.used = 3;
  Var out = Var::Table("LABELS", SQLT_STR, 12, 5);
  out.used = 0;
  Var total = Var::Int("TOTAL");
  ASSERT_EQ(Run("begin\n"
                "  :total := 0;\n"
                "  for i in 1..:nums.count loop null; end loop;\n"
                "end;",
                {&in, &out, &total}),
            OCI_ERROR);  // a host table has no methods in this form
  ASSERT_EQ(Run("declare i pls_integer := 1; begin\n"
                "  :total := 0;\n"
                "  while i <= 3 loop\n"
                "    :total := :total + :nums(i);\n"
                "    :labels(i) := 'n' || :nums(i);\n"
                "    i := i + 1;\n"
                "  end loop;\n"
                "  :labels(4) := null;\n"
                "  :nums(2) := -1;\n"
                "end;",
                {&in, &out, &total}),
            OCI_SUCCESS)
      << s.Error().text;
  EXPECT_EQ(total.IntAt(), 60);
  EXPECT_EQ(out.used, 4u);
  EXPECT_EQ(out.TextAt(0), "n10");
  EXPECT_EQ(out.TextAt(2), "n30");
  EXPECT_EQ(out.indicators[3], -1);
  EXPECT_EQ(in.used, 3u);
  EXPECT_EQ(in.IntAt(1), -1);

  // Beyond maxarr_len, and reading past the current length.
  EXPECT_EQ(Run("begin\n  :labels(6) := 'x';\nend;", {&out}), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 6513);
  in.used = 1;
  EXPECT_EQ(Run("declare x number; begin x := :nums(2); end;", {&in}), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 1403);
}

TEST_F(PlsqlTest, OpenForFillsABoundStatementHandle) {
  ASSERT_EQ(Run("create table dept (deptno number(2), dname varchar2(14))"), OCI_SUCCESS);
  ASSERT_EQ(Run("insert into dept select 10, 'ACCOUNTING' from dual union all select 20, "
                "'RESEARCH' from dual union all select 30, 'SALES' from dual"),
            OCI_SUCCESS)
      << s.Error().text;
  OCIStmt* block = NewStatement();
  OCIStmt* rows = NewStatement();
  const std::string text =
      "declare low number := 15; begin open :c for select deptno, dname from dept where deptno > "
      "low and dname <> :skip order by deptno; end;";
  ASSERT_EQ(client->OCIStmtPrepare(block, s.err, reinterpret_cast<const OraText*>(text.data()),
                                   static_cast<ub4>(text.size()), OCI_NTV_SYNTAX, OCI_DEFAULT),
            OCI_SUCCESS);
  OCIBind* b1 = nullptr;
  OCIBind* b2 = nullptr;
  char skip[] = "SALES";
  ASSERT_EQ(
      client->OCIBindByName(block, &b1, s.err, reinterpret_cast<const OraText*>(":c"), -1, &rows, 0,
                            SQLT_RSET, nullptr, nullptr, nullptr, 0, nullptr, OCI_DEFAULT),
      OCI_SUCCESS);
  ASSERT_EQ(client->OCIBindByName(block, &b2, s.err, reinterpret_cast<const OraText*>(":skip"), -1,
                                  skip, sizeof skip, SQLT_STR, nullptr, nullptr, nullptr, 0,
                                  nullptr, OCI_DEFAULT),
            OCI_SUCCESS);
  ASSERT_EQ(client->OCIStmtExecute(s.svc, block, s.err, 1, 0, nullptr, nullptr, OCI_DEFAULT),
            OCI_SUCCESS)
      << s.Error().text;
  int deptno = 0;
  char dname[15] = {};
  OCIDefine* d1 = nullptr;
  OCIDefine* d2 = nullptr;
  ASSERT_EQ(client->OCIDefineByPos(rows, &d1, s.err, 1, &deptno, sizeof deptno, SQLT_INT, nullptr,
                                   nullptr, nullptr, OCI_DEFAULT),
            OCI_SUCCESS);
  ASSERT_EQ(client->OCIDefineByPos(rows, &d2, s.err, 2, dname, sizeof dname, SQLT_STR, nullptr,
                                   nullptr, nullptr, OCI_DEFAULT),
            OCI_SUCCESS);
  ASSERT_EQ(client->OCIStmtFetch(rows, s.err, 1, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_SUCCESS)
      << s.Error().text;
  EXPECT_EQ(deptno, 20);
  EXPECT_STREQ(dname, "RESEARCH");
  EXPECT_EQ(client->OCIStmtFetch(rows, s.err, 1, OCI_FETCH_NEXT, OCI_DEFAULT), OCI_NO_DATA);
  client->OCIHandleFree(rows, OCI_HTYPE_STMT);
  client->OCIHandleFree(block, OCI_HTYPE_STMT);
}

TEST_F(PlsqlTest, StoredProceduresFunctionsAndPackages) {
  ASSERT_EQ(Run("create or replace procedure split_name(full in varchar2, first out varchar2,\n"
                "                                       rest out varchar2) is\n"
                "  at pls_integer;\n"
                "begin\n"
                "  at := instr(full, ' ');\n"
                "  if at = 0 then\n"
                "    raise_application_error(-20010, 'no blank in ' || full);\n"
                "  end if;\n"
                "  first := substr(full, 1, at - 1);\n"
                "  rest := substr(full, at + 1);\n"
                "end;"),
            OCI_SUCCESS)
      << s.Error().text;
  ASSERT_EQ(Run("create function twice(n number) return number as begin return 2 * n; end;"),
            OCI_SUCCESS)
      << s.Error().text;
  ASSERT_EQ(Run("create or replace package counter is\n"
                "  procedure bump(by_ number default 1);\n"
                "  function current_value return number;\n"
                "end counter;"),
            OCI_SUCCESS)
      << s.Error().text;
  ASSERT_EQ(Run("create or replace package body counter is\n"
                "  total number := 100;\n"
                "  procedure bump(by_ number default 1) is begin total := total + twice(by_); "
                "end;\n"
                "  function current_value return number is begin return total; end;\n"
                "end counter;"),
            OCI_SUCCESS)
      << s.Error().text;

  EXPECT_EQ(Result("declare a varchar2(20); b varchar2(20); begin "
                   "split_name('Ada Lovelace', a, b); :r := b || ', ' || a; end;"),
            "Lovelace, Ada");
  EXPECT_EQ(Result("begin counter.bump; counter.bump(by_ => 5); :r := counter.current_value; "
                   "end;"),
            "112");
  // Package state lasts for the session.
  EXPECT_EQ(Result("begin scott.counter.bump(4); :r := counter.current_value(); end;"), "120");

  // An error inside a stored unit names it in the backtrace, line counted from its first line.
  EXPECT_EQ(Run("declare a varchar2(20); b varchar2(20);\nbegin\n  split_name('Nobody', a, b);\n"
                "end;"),
            OCI_ERROR);
  EXPECT_EQ(s.Error().text,
            "ORA-20010: no blank in Nobody\nORA-06512: at \"SCOTT.SPLIT_NAME\", line 7\n"
            "ORA-06512: at line 3\n");
  EXPECT_EQ(Run("begin split_name('x'); end;"), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 6550);
  EXPECT_NE(s.Error().text.find("PLS-00306: wrong number or types of arguments in call to "
                                "'SPLIT_NAME'"),
            std::string::npos);
  EXPECT_EQ(Run("create procedure twice is begin null; end;"), OCI_ERROR);
  EXPECT_EQ(s.Error().code, 955);

  // A stored procedure calls another; one created with errors is stored invalid.
  ASSERT_EQ(Run("create procedure log_twice(n in out number) is begin n := twice(n); "
                "split_name('a b', x, y); end;"),
            OCI_SUCCESS_WITH_INFO);
  EXPECT_EQ(s.Error().code, 24344);
  EXPECT_EQ(s.Error().text, "ORA-24344: success with compilation error\n");
  EXPECT_EQ(Run("begin\n  log_twice(2);\nend;"), OCI_ERROR);
  EXPECT_EQ(s.Error().text,
            "ORA-06550: line 2, column 3:\nPLS-00905: object SCOTT.LOG_TWICE is invalid\n"
            "ORA-06550: line 2, column 3:\nPL/SQL: Statement ignored\n");
  ASSERT_EQ(
      Run("create or replace procedure log_twice(n in out number) is x varchar2(9); "
          "y varchar2(9); begin n := twice(n); split_name('a b', x, y); n := n + length(y); end;"),
      OCI_SUCCESS)
      << s.Error().text;
  EXPECT_EQ(Result("declare n number := 21; begin log_twice(n); :r := n; end;"), "43");

  // The catalogue keeps the source and the arguments.
  EXPECT_EQ(Query(s,
                  "select type, substr(source, 1, 20) from ociemu_plsql_units where name = "
                  "'TWICE'"),
            (Rows{{"FUNCTION", "function twice(n num"}}));
  EXPECT_EQ(Query(s,
                  "select position, argument_name, data_type, in_out from "
                  "ociemu_plsql_arguments where object_name = 'SPLIT_NAME' order by position"),
            (Rows{{"1", "FULL", "VARCHAR2", "IN"},
                  {"2", "FIRST", "VARCHAR2", "OUT"},
                  {"3", "REST", "VARCHAR2", "OUT"}}));
}

// Every client generation with the OCI8 calls runs blocks the same way.
class PlsqlVariantTest : public ::testing::TestWithParam<testing::Variant> {};

TEST_P(PlsqlVariantTest, BlockWithBindsAndAnError) {
  struct Fixture : ClientTest {
    explicit Fixture(testing::Variant v) : ClientTest(v) {}
    void TestBody() override {}
    using ClientTest::client;
    using ClientTest::SetUp;
  } fixture(GetParam());
  fixture.SetUp();
  Oci8Session s(*fixture.client);
  ASSERT_TRUE(s.LogOn("SCOTT", "TIGER")) << s.Error().text;
  OCIStmt* stmt = nullptr;
  ASSERT_EQ(fixture.client->OCIHandleAlloc(s.env, reinterpret_cast<void**>(&stmt), OCI_HTYPE_STMT,
                                           0, nullptr),
            OCI_SUCCESS);
  const std::string block =
      "begin if :n > 0 then :r := 'n=' || :n; else raise_application_error(-20005, 'no'); "
      "end if; end;";
  ASSERT_EQ(
      fixture.client->OCIStmtPrepare(stmt, s.err, reinterpret_cast<const OraText*>(block.data()),
                                     static_cast<ub4>(block.size()), OCI_NTV_SYNTAX, OCI_DEFAULT),
      OCI_SUCCESS);
  int n = 5;
  char r[20] = {};
  OCIBind* b1 = nullptr;
  OCIBind* b2 = nullptr;
  ASSERT_EQ(fixture.client->OCIBindByName(stmt, &b1, s.err, reinterpret_cast<const OraText*>(":n"),
                                          -1, &n, sizeof n, SQLT_INT, nullptr, nullptr, nullptr, 0,
                                          nullptr, OCI_DEFAULT),
            OCI_SUCCESS);
  ASSERT_EQ(fixture.client->OCIBindByName(stmt, &b2, s.err, reinterpret_cast<const OraText*>(":r"),
                                          -1, r, sizeof r, SQLT_STR, nullptr, nullptr, nullptr, 0,
                                          nullptr, OCI_DEFAULT),
            OCI_SUCCESS);
  ASSERT_EQ(fixture.client->OCIStmtExecute(s.svc, stmt, s.err, 1, 0, nullptr, nullptr, OCI_DEFAULT),
            OCI_SUCCESS)
      << s.Error().text;
  EXPECT_STREQ(r, "n=5");
  n = 0;
  EXPECT_EQ(fixture.client->OCIStmtExecute(s.svc, stmt, s.err, 1, 0, nullptr, nullptr, OCI_DEFAULT),
            OCI_ERROR);
  EXPECT_EQ(s.Error().text, "ORA-20005: no\nORA-06512: at line 1\n");
  fixture.client->OCIHandleFree(stmt, OCI_HTYPE_STMT);
  s.LogOff();
}

INSTANTIATE_TEST_SUITE_P(Variants, PlsqlVariantTest,
                         ::testing::Values(testing::Variant::Oci8, testing::Variant::Oci81,
                                           testing::Variant::Net9, testing::Variant::Full),
                         [](const auto& row) {
                           return std::string(testing::VariantName(row.param));
                         });

class Oci7PlsqlTest : public ClientTest {
 protected:
  Oci7PlsqlTest() : ClientTest(testing::Variant::Oci7) {}
  void SetUp() override {
    ClientTest::SetUp();
    OraText connect[] = "scott/TIGER@ORCL";
    ASSERT_EQ(client->olog(&lda, hda, connect, -1, nullptr, -1, nullptr, -1, 0), 0);
    ASSERT_EQ(client->oopen(&cda, &lda, nullptr, -1, -1, nullptr, -1), 0);
    ASSERT_EQ(client->oopen(&rows, &lda, nullptr, -1, -1, nullptr, -1), 0);
  }
  void TearDown() override {
    client->oclose(&rows);
    client->oclose(&cda);
    client->ologof(&lda);
  }
  sword Run(const char* sql) {
    sword rc = client->oparse(&cda, reinterpret_cast<OraText*>(const_cast<char*>(sql)), -1, 0, 2);
    return rc ? rc : client->oexec(&cda);
  }
  Lda_Def lda{};
  ub1 hda[HDA_SIZE] = {};
  Cda_Def cda{};
  Cda_Def rows{};
};

TEST_F(Oci7PlsqlTest, CursorDataAreaAndPlsqlTableBinds) {
  ASSERT_EQ(Run("create table t7 (n number)"), 0);
  ASSERT_EQ(Run("insert into t7 select 1 from dual union all select 2 from dual"), 0);
  const char* block =
      "begin\n"
      "  for i in 1..3 loop :squares(i) := i * i; end loop;\n"
      "  open :c for select n * 100 from t7 order by n;\n"
      "end;";
  ASSERT_EQ(client->oparse(&cda, reinterpret_cast<OraText*>(const_cast<char*>(block)), -1, 0, 2),
            0);
  int squares[5] = {};
  sb2 indicators[5] = {};
  ub4 count = 0;
  OraText c[] = ":c", sq[] = ":squares";
  ASSERT_EQ(client->obndra(&cda, sq, -1, reinterpret_cast<ub1*>(squares), sizeof(int), SQLT_INT, -1,
                           indicators, nullptr, nullptr, 5, &count, nullptr, -1, -1),
            0);
  ASSERT_EQ(client->obndra(&cda, c, -1, reinterpret_cast<ub1*>(&rows), -1, SQLT_CUR, -1, nullptr,
                           nullptr, nullptr, 0, nullptr, nullptr, -1, -1),
            0);
  ASSERT_EQ(client->oexec(&cda), 0) << cda.rc;
  EXPECT_EQ(count, 3u);
  EXPECT_EQ(squares[2], 9);
  int value = 0;
  ASSERT_EQ(client->odefin(&rows, 1, reinterpret_cast<ub1*>(&value), sizeof value, SQLT_INT, -1,
                           nullptr, nullptr, -1, -1, nullptr, nullptr),
            0);
  ASSERT_EQ(client->ofen(&rows, 1), 0) << rows.rc;
  EXPECT_EQ(value, 100);
  ASSERT_EQ(client->ofen(&rows, 1), 0);
  EXPECT_EQ(value, 200);
  EXPECT_EQ(client->ofen(&rows, 1), 1403);

  // The error of a block reaches the cursor data area.
  EXPECT_EQ(Run("begin raise_application_error(-20002, 'seven'); end;"), 20002);
  EXPECT_EQ(cda.rc, 20002);
}

}  // namespace
}  // namespace ociemu::test
