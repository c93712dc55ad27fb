// The expression tree built by hand: operator checks of the constructors, the result type rule,
// the common conversions, short-circuit evaluation and the flags copied into nodes.
#include <gtest/gtest.h>

#include <string>

#include "FilterFixture.h"
#include "oracle/filter/BinaryOp.h"
#include "oracle/filter/EExpression.h"
#include "oracle/filter/Literals.h"
#include "oracle/filter/RelationalOp.h"
#include "oracle/filter/UnaryOp.h"
#include "oracle/filter/internal/NodeOptions.h"

namespace oracle::filter_test {
namespace {

std::unique_ptr<TExpression> integer(int value) {
  return std::make_unique<TIntegerLiteral>(value);
}

template <typename F>
std::string messageOf(F&& f) {
  try {
    f();
  } catch (const EExpression& e) {
    return e.Message();
  }
  return "(no error)";
}

TEST(ExpressionConstruction, RefusesOperatorsOfTheWrongKind) {
  for (int i = opNot; i <= opGTE; ++i) {
    const auto op = static_cast<TOperator>(i);
    const std::string name = OperatorName(op);
    SCOPED_TRACE(name);
    const bool unary = op == opNot || op == opPlus || op == opMinus;
    const bool binary = op != opNot && op < opEq;
    const bool relational = op >= opEq;
    EXPECT_EQ(messageOf([&] { TUnaryOp node(op, integer(1)); }),
              unary ? "(no error)" : name + " is not simple unary operator");
    EXPECT_EQ(messageOf([&] { TBinaryOp node(op, integer(1), integer(2)); }),
              binary ? "(no error)" : name + " is not a simple binary operator");
    EXPECT_EQ(messageOf([&] { TRelationalOp node(op, integer(1), integer(2)); }),
              relational ? "(no error)" : name + " is not relational operator");
  }
}

TEST(ExpressionConstruction, TakesOperandTypesAtCreation) {
  TBinaryOp mixed(opPlus, std::make_unique<TStringLiteral>("a"), integer(1));
  EXPECT_EQ(mixed.CommonType(), etString);
  TUnaryOp negated(opMinus, std::make_unique<TFloatLiteral>(1.5));
  EXPECT_EQ(negated.OperandType(), etFloat);
  // An ill-typed operand fails as soon as a unary or binary node asks for its type.
  auto notString = std::make_unique<TUnaryOp>(opNot, std::make_unique<TStringLiteral>("a"));
  EXPECT_EQ(messageOf([&] { TBinaryOp node(opPlus, std::move(notString), integer(1)); }),
            "Operator opNot incompatible with String");
}

// One row per operand type; one column per operator from opNot to opGTE. D S F I B name the
// result type, "-" an incompatible pair.
TEST(ResultTypeRule, CoversEveryTypeAndOperator) {
  const char* const kRows[] = {
      "--------DD--BBBBBB",  // Date
      "--------S---BBBBBB",  // String
      "-FF-----FF--BBBBBB",  // Float
      "IIFIIIIIIIIIBBBBBB",  // Integer
      "B----B----BBBB----",  // Boolean
  };
  const std::string kLetters = "DSFIB";
  for (int t = etDate; t <= etBoolean; ++t) {
    for (int o = opNot; o <= opGTE; ++o) {
      const auto type = static_cast<TExprType>(t);
      const auto op = static_cast<TOperator>(o);
      SCOPED_TRACE(std::string(ExprTypeName(type)) + " " + OperatorName(op));
      const char expected = kRows[t][o];
      if (expected == '-') {
        EXPECT_EQ(messageOf([&] { ResultType(op, type); }),
                  std::string("Operator ") + OperatorName(op) + " incompatible with " +
                      ExprTypeName(type));
      } else {
        EXPECT_EQ(kLetters[ResultType(op, type)], expected);
      }
    }
  }
}

// A node that only knows its own type and the read of it.
class Typed : public TExpression {
 public:
  explicit Typed(TExprType type) : type_(type) {}
  double AsDate() const override { return type_ == etDate ? 1.5 : TExpression::AsDate(); }
  std::string AsString() const override {
    return type_ == etString ? "3/4/2005" : TExpression::AsString();
  }
  double AsFloat() const override { return type_ == etFloat ? 2.5 : TExpression::AsFloat(); }
  std::int32_t AsInteger() const override {
    return type_ == etInteger ? 7 : TExpression::AsInteger();
  }
  bool AsBoolean() const override { return type_ == etBoolean || TExpression::AsBoolean(); }
  TExprType ExprType() const override { return type_; }

 private:
  TExprType type_;
};

// A node that overrides no read at all: the base's diagonal.
class Bare : public TExpression {
 public:
  explicit Bare(TExprType type) : type_(type) {}
  TExprType ExprType() const override { return type_; }

 private:
  TExprType type_;
};

std::string readAs(const TExpression& e, int read) {
  try {
    switch (read) {
      case 0:
        return formatIsoDateTime(e.AsDate());
      case 1:
        return e.AsString();
      case 2:
        return filter_internal::formatFloat(e.AsFloat(), '.');
      case 3:
        return std::to_string(e.AsInteger());
      default:
        return e.AsBoolean() ? "true" : "false";
    }
  } catch (const EExpression& error) {
    return "!" + error.Message();
  }
}

TEST(CommonConversions, FollowTheTable) {
  // Rows: AsDate, AsString, AsFloat, AsInteger, AsBoolean. Columns: the node's type, Date (1.5),
  // String ("3/4/2005"), Float (2.5), Integer (7), Boolean (true).
  const std::string kTable[5][5] = {
      {"1899-12-31 12:00:00", "2005-03-04", "1900-01-01 12:00:00", "1900-01-06",
       "!Cannot read Boolean as Date"},
      {"12/31/1899 12:00:00 PM", "3/4/2005", "2.5", "7", "TRUE"},
      {"1.5", "!Cannot read String as Float", "2.5", "7", "1"},
      {"1", "!Cannot read String as integer", "!Cannot read Float as integer", "7", "1"},
      {"!Cannot read Date as boolean", "!Cannot read String as boolean",
       "!Cannot read Float as boolean", "!Cannot read Integer as boolean", "true"},
  };
  const filter_internal::ScopedLocaleRules locale(englishRules());
  for (int t = etDate; t <= etBoolean; ++t) {
    const Typed node(static_cast<TExprType>(t));
    for (int read = 0; read < 5; ++read) {
      SCOPED_TRACE(std::string(ExprTypeName(node.ExprType())) + " read " + std::to_string(read));
      EXPECT_EQ(readAs(node, read), kTable[read][t]);
    }
  }
  // Every node overrides the read of its own type; the base refuses it.
  const char* const kDiagonal[] = {"Date as Date", "String as String", "Float as Float",
                                   "Integer as integer", "Boolean as boolean"};
  for (int t = etDate; t <= etBoolean; ++t) {
    EXPECT_EQ(readAs(Bare(static_cast<TExprType>(t)), t),
              std::string("!Cannot read ") + kDiagonal[t]);
  }
}

// A Boolean operand that counts how often it is read.
class CountingBoolean : public TExpression {
 public:
  CountingBoolean(bool value, int& reads) : value_(value), reads_(reads) {}
  bool AsBoolean() const override {
    ++reads_;
    return value_;
  }
  TExprType ExprType() const override { return etBoolean; }

 private:
  bool value_;
  int& reads_;
};

TEST(BinaryBooleans, AndAndOrSkipTheRightOperandWhenTheLeftDecides) {
  struct Row {
    TOperator op;
    bool left;
    bool result;
    int rightReads;
  };
  const Row kRows[] = {
      {opAnd, false, false, 0}, {opAnd, true, true, 1},  {opOr, true, true, 0},
      {opOr, false, true, 1},   {opXor, true, false, 1}, {opXor, false, true, 1},
  };
  for (const Row& row : kRows) {
    SCOPED_TRACE(std::string(OperatorName(row.op)) + (row.left ? " true" : " false"));
    int reads = 0;
    TBinaryOp node(row.op, std::make_unique<TBooleanLiteral>(row.left),
                   std::make_unique<CountingBoolean>(true, reads));
    EXPECT_EQ(node.AsBoolean(), row.result);
    EXPECT_EQ(reads, row.rightReads);
  }
}

TEST(NodeFlags, ComeFromTheParseInProgressOnThisThread) {
  const TIntegerLiteral outside(1);
  EXPECT_FALSE(outside.CaseInsensitive());
  EXPECT_TRUE(outside.PartialMatch());
  {
    const filter_internal::NodeOptionsScope outer({true, false});
    const TIntegerLiteral first(1);
    {
      const filter_internal::NodeOptionsScope inner({false, true});
      const TIntegerLiteral nested(1);
      EXPECT_FALSE(nested.CaseInsensitive());
      EXPECT_TRUE(nested.PartialMatch());
    }
    const TIntegerLiteral after(1);
    for (const TExpression* node : {&first, &after}) {
      EXPECT_TRUE(node->CaseInsensitive());
      EXPECT_FALSE(node->PartialMatch());
    }
  }
  const TIntegerLiteral later(1);
  EXPECT_FALSE(later.CaseInsensitive());
}

TEST(NodeFlags, DecideHowStringsCompare) {
  TRelationalOp eq(opEq, std::make_unique<TStringLiteral>("Smith"),
                   std::make_unique<TStringLiteral>("SM*"));
  eq.SetPartialMatch(true);
  eq.SetCaseInsensitive(false);
  EXPECT_FALSE(eq.AsBoolean());
  eq.SetCaseInsensitive(true);
  EXPECT_TRUE(eq.AsBoolean());
  eq.SetPartialMatch(false);
  EXPECT_FALSE(eq.AsBoolean());
}

TEST(ColumnTypes, FollowTheFieldDataType) {
  const std::pair<TFieldDataType, TExprType> kRows[] = {
      {fdSmallint, etInteger}, {fdInteger, etInteger}, {fdWord, etInteger},
      {fdLargeint, etInteger}, {fdBoolean, etBoolean}, {fdFloat, etFloat},
      {fdCurrency, etFloat},   {fdBCD, etFloat},       {fdDate, etDate},
      {fdTime, etDate},        {fdDateTime, etDate},   {fdString, etString},
      {fdFixedChar, etString}, {fdMemo, etString},     {fdBytes, etString},
      {fdBlob, etString},      {fdUnknown, etString},
  };
  for (const auto& [field, type] : kRows) EXPECT_EQ(ExprTypeOfField(field), type) << int{field};
}

}  // namespace
}  // namespace oracle::filter_test
