// The parser beyond the case table: what the resolver is given and may keep, the options every
// node receives, re-entrant and concurrent parses, failed parses that leave nothing allocated,
// and the limits that keep hostile texts from exhausting the stack or the processor.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "FilterFixture.h"
#include "oracle/filter/BinaryOp.h"
#include "oracle/filter/ColumnExpression.h"
#include "oracle/filter/Conditional.h"
#include "oracle/filter/EExpression.h"
#include "oracle/filter/MathExpression.h"
#include "oracle/filter/ParseFilter.h"
#include "oracle/filter/StringExpression.h"
#include "oracle/filter/TypeCast.h"

namespace oracle::filter_test {
namespace {

std::string parseError(std::string_view text, const NameResolver& resolver = nullptr) {
  try {
    ParseFilter(text, {}, resolver);
  } catch (const EExpression& e) {
    return e.Message();
  }
  return "(parsed)";
}

// A name node that counts the live instances and keeps the parameters it was given.
class Counted : public TExpression {
 public:
  Counted(std::string name, std::unique_ptr<TParameterList> params)
      : name_(std::move(name)), params_(std::move(params)) {
    ++live;
  }
  ~Counted() override { --live; }
  const std::string& Name() const { return name_; }
  const TParameterList* Params() const { return params_.get(); }
  std::int32_t AsInteger() const override { return 1; }
  bool AsBoolean() const override { return true; }
  TExprType ExprType() const override { return etInteger; }

  static inline int live = 0;

 private:
  std::string name_;
  std::unique_ptr<TParameterList> params_;
};

// Records every call; keeps the parameters of names that start with "KEEP".
struct RecordingResolver {
  struct Call {
    std::string name;
    int params;  // -1: none
  };
  std::vector<Call> calls;

  NameResolver get() {
    return [this](const std::string& name, std::unique_ptr<TParameterList>& params) {
      calls.push_back({name, params ? params->Count() : -1});
      std::unique_ptr<TParameterList> kept;
      if (name.rfind("KEEP", 0) == 0) kept = std::move(params);
      return std::make_unique<Counted>(name, std::move(kept));
    };
  }
};

TEST(ParseFilter, WithoutAResolverNamesAreUnknown) {
  EXPECT_EQ(parseError("ename"), "Unknown Identifier ENAME");
  EXPECT_EQ(parseError("foo(1, 2)"), "Unknown Identifier FOO");
  EXPECT_EQ(parseError("[Foo Bar]"), "Unknown Identifier Foo Bar");
  const NameResolver declines = [](const std::string&, std::unique_ptr<TParameterList>&) {
    return std::unique_ptr<TExpression>();
  };
  EXPECT_EQ(parseError("x", declines), "Unknown Identifier X");
  EXPECT_EQ(parseError("[x]", declines), "Unknown Identifier x");
  EXPECT_EQ(parseError("pi + upper('a')", declines), "(parsed)");
}

TEST(ParseFilter, GivesTheResolverUpperCasedBareNamesAndBracketedNamesAsWritten) {
  RecordingResolver resolver;
  const auto root =
      ParseFilter("ename + [eName x] + foo(1, 'a', ) + Upper(_x1) + PI + [PI]", {}, resolver.get());
  ASSERT_TRUE(root);
  ASSERT_EQ(resolver.calls.size(), 5u);
  EXPECT_EQ(resolver.calls[0].name, "ENAME");
  EXPECT_EQ(resolver.calls[0].params, -1);
  EXPECT_EQ(resolver.calls[1].name, "eName x");
  EXPECT_EQ(resolver.calls[1].params, -1);
  EXPECT_EQ(resolver.calls[2].name, "FOO");
  EXPECT_EQ(resolver.calls[2].params, 3);  // the empty third one included
  EXPECT_EQ(resolver.calls[3].name, "_X1");
  EXPECT_EQ(resolver.calls[3].params, -1);
  EXPECT_EQ(resolver.calls[4].name, "PI");  // a bracketed name is never a function
}

TEST(ParseFilter, FreesParametersTheResolverLeavesAndKeepsThoseItTakes) {
  RecordingResolver resolver;
  {
    const auto root = ParseFilter("drop(a, b) + keep(c, d(e))", {}, resolver.get());
    const auto& sum = dynamic_cast<const TBinaryOp&>(*root);
    const auto& kept = dynamic_cast<const Counted&>(sum.Right());
    ASSERT_NE(kept.Params(), nullptr);
    EXPECT_EQ(kept.Params()->Count(), 2);
    // DROP, KEEP, C and D alive; A, B and E were freed with the lists not taken.
    EXPECT_EQ(Counted::live, 4);
  }
  EXPECT_EQ(Counted::live, 0);
}

TEST(ParseFilter, FailedParsesLeaveNothingAllocated) {
  RecordingResolver resolver;
  const char* const kTexts[] = {
      "a + b + (c",
      "a * b #",
      "foo(a, b",
      "a + 'x",
      "(a + b) c",
      "a = b = c",
      "NOT a + 'x' * [b",
      "IF(a, b, c) d",
      "[a] > 1e+3",
      "keep(a, b) + #",
      "keep(a, keep(b, c)) = d = e",
      "a NOT b",
      "upper(a, b) ename",
      "a = (b < c",
      "(a + b) * NOT 'x' + 1",
  };
  for (const char* text : kTexts) {
    EXPECT_THROW(ParseFilter(text, {}, resolver.get()), EExpression) << text;
    EXPECT_EQ(Counted::live, 0) << text;
  }
}

struct Flags {
  bool caseInsensitive;
  bool partialMatch;
  bool operator==(const Flags&) const = default;
};

Flags flagsOf(const TExpression& e) {
  return {e.CaseInsensitive(), e.PartialMatch()};
}

TEST(ParseFilter, CopiesTheOptionsIntoEveryNodeIncludingTheResolvers) {
  const std::pair<TFilterOptions, Flags> kRows[] = {
      {{}, {false, true}},
      {{foCaseInsensitive}, {true, true}},
      {{foNoPartialCompare}, {false, false}},
      {{foCaseInsensitive, foNoPartialCompare}, {true, false}},
  };
  for (const auto& [options, expected] : kRows) {
    RecordingResolver resolver;
    const auto root = ParseFilter("x + 'a'", options, resolver.get());
    const auto& sum = dynamic_cast<const TBinaryOp&>(*root);
    EXPECT_EQ(flagsOf(sum), expected);
    EXPECT_EQ(flagsOf(sum.Left()), expected);  // made by the resolver
    EXPECT_EQ(flagsOf(sum.Right()), expected);
  }
}

TEST(ParseFilter, IsReentrantFromInsideAResolver) {
  SampleHost host;
  const NameResolver columns = ColumnResolver(host);
  const NameResolver resolver = [&](const std::string& name,
                                    std::unique_ptr<TParameterList>& params) {
    if (name == "INNER")
      return ParseFilter("[ename] = 'smith'", {foCaseInsensitive, foNoPartialCompare}, columns);
    return columns(name, params);
  };
  const auto root = ParseFilter("INNER AND ([ename] = 'SM*')", {}, resolver);
  const auto& conjunction = dynamic_cast<const TBinaryOp&>(*root);
  EXPECT_EQ(flagsOf(conjunction), (Flags{false, true}));         // built after the inner parse
  EXPECT_EQ(flagsOf(conjunction.Left()), (Flags{true, false}));  // the inner parse's options
  EXPECT_EQ(flagsOf(conjunction.Right()), (Flags{false, true}));
  EXPECT_TRUE(root->AsBoolean());  // SMITH
}

TEST(ParseFilter, ParsesOnSeveralThreadsAtOnce) {
  SampleHost host;
  auto work = [&host](TFilterOptions options, bool expected, bool& ok) {
    ok = true;
    for (int i = 0; i < 2000 && ok; ++i) {
      const auto root = ParseFilter("'smith' = 'SM*'", options, ColumnResolver(host));
      ok = root->AsBoolean() == expected;
    }
  };
  bool okA = false, okB = false;
  std::thread a(work, TFilterOptions{foCaseInsensitive}, true, std::ref(okA));
  std::thread b(work, TFilterOptions{}, false, std::ref(okB));
  a.join();
  b.join();
  EXPECT_TRUE(okA);
  EXPECT_TRUE(okB);
}

std::string repeat(const std::string& piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

TEST(ParseFilterLimits, DeepTextsAreRefusedWithoutExhaustingTheStack) {
  const int deep = 200000;
  const std::string kTooDeep = "Expression nested too deeply";
  EXPECT_EQ(parseError(repeat("(", deep) + "1" + repeat(")", deep)), kTooDeep);
  EXPECT_EQ(parseError(repeat("NOT ", deep) + "TRUE"), kTooDeep);
  EXPECT_EQ(parseError(repeat("-", deep) + "1"), kTooDeep);
  EXPECT_EQ(parseError(repeat("UPPER(", deep) + "'a'" + repeat(")", deep)), kTooDeep);
  EXPECT_EQ(parseError("'a'" + repeat(" = 'a'", 3)), "Syntax error");
}

TEST(ParseFilterLimits, TextsJustInsideTheLimitsEvaluateAndFree) {
  const int levels = MaxFilterDepth - 1;
  const auto nested = ParseFilter(repeat("(", levels) + "1" + repeat(")", levels), {});
  EXPECT_EQ(nested->AsInteger(), 1);
  const auto chain = ParseFilter("1" + repeat(" + 1", levels - 1), {});
  EXPECT_EQ(chain->AsInteger(), levels);
  const auto negations = ParseFilter(repeat("NOT ", levels - 1) + "TRUE", {});
  EXPECT_EQ(negations->AsBoolean(), (levels - 1) % 2 == 0);
}

// Generated filters are often one flat chain of conditions. Parsing a chain needs no recursion,
// so its length is not limited by the nesting limit; it evaluates and frees without recursing
// once per link either.
TEST(ParseFilterLimits, FlatChainsOfAnyLengthParseEvaluateAndFree) {
  SampleHost host;  // current record: EMPNO 7369
  const int links = 50000;
  std::string conditions = "([EMPNO] = 0)";
  for (int i = 1; i < links; ++i) conditions += " OR ([EMPNO] = " + std::to_string(i) + ")";
  const auto anyOf = ParseFilter(conditions, {}, ColumnResolver(host));
  EXPECT_TRUE(anyOf->AsBoolean());
  host.SetCurrentRecord(2);  // EMPNO 7900
  EXPECT_TRUE(anyOf->AsBoolean());
  host.SetCurrentRecord(1);  // EMPNO 7566
  EXPECT_TRUE(anyOf->AsBoolean());
  const auto noneOf =
      ParseFilter("([EMPNO] = -1)" + repeat(" OR ([EMPNO] = -1)", links), {}, ColumnResolver(host));
  EXPECT_FALSE(noneOf->AsBoolean());
  const auto allOf =
      ParseFilter("([X] = -3)" + repeat(" AND ([X] <> 4)", links), {}, ColumnResolver(host));
  EXPECT_TRUE(allOf->AsBoolean());

  const int deep = 200000;
  EXPECT_EQ(ParseFilter("1" + repeat(" + 1", deep), {})->AsInteger(), deep + 1);
  EXPECT_EQ(ParseFilter("1" + repeat(" - 0.5", deep), {})->AsFloat(), 1 - 0.5 * deep);
  EXPECT_EQ(ParseFilter("'a'" + repeat(" + 'b'", deep), {})->AsString().size(),
            static_cast<std::size_t>(deep + 1));
  EXPECT_EQ(ParseFilter("TRUE" + repeat(" XOR TRUE", deep), {})->AsBoolean(), deep % 2 == 0);
  // A chain inside each of many nested parentheses is still limited by the nesting alone.
  const std::string level = "1 + 1 + 1 + (";
  EXPECT_EQ(ParseFilter(repeat(level, 300) + "0" + repeat(")", 300), {})->AsInteger(), 900);
}

// IF(IF(...) = TRUE, TRUE, FALSE): every level asks its condition's type and then reads it, so
// each level doubles the work of evaluating the whole.
std::string nestedConditions(int levels) {
  std::string text = "TRUE";
  for (int i = 0; i < levels; ++i) text = "IF(" + text + " = TRUE, TRUE, FALSE)";
  return text;
}

TEST(ParseFilterLimits, ExponentialEvaluationIsRefused) {
  const auto modest = ParseFilter(nestedConditions(12), {});
  EXPECT_TRUE(modest->AsBoolean());
  EXPECT_EQ(parseError(nestedConditions(60)), "Expression too complex");
  EXPECT_EQ(parseError(nestedConditions(60) + " + 1"), "Expression too complex");
}

TEST(CreateFunction, KnowsTheBuiltInNamesAndLeavesOthersAlone) {
  auto make = [](const std::string& name) {
    auto params = std::make_unique<TParameterList>();
    auto node = CreateFunction(name, params);
    EXPECT_EQ(params == nullptr, node != nullptr) << name;  // taken over exactly when created
    return node;
  };
  EXPECT_TRUE(dynamic_cast<TConditional*>(make("IF").get()));
  const char* const kCasts[] = {"DATE", "STRING", "FLOAT", "INTEGER", "BOOLEAN"};
  for (int i = 0; i < 5; ++i) {
    const auto node = make(kCasts[i]);
    const auto* cast = dynamic_cast<const TTypeCast*>(node.get());
    ASSERT_TRUE(cast) << kCasts[i];
    EXPECT_EQ(cast->Target(), static_cast<TExprType>(i));
  }
  for (int i = mfTrunc; i <= mfPower; ++i) {
    const auto function = static_cast<TMathFunction>(i);
    const auto node = make(MathFunctionName(function));
    const auto* math = dynamic_cast<const TMathExpression*>(node.get());
    ASSERT_TRUE(math) << MathFunctionName(function);
    EXPECT_EQ(math->Function(), function);
  }
  for (int i = sfUpper; i <= sfLength; ++i) {
    const auto function = static_cast<TStringFunction>(i);
    const auto node = make(StringFunctionName(function));
    const auto* string = dynamic_cast<const TStringExpression*>(node.get());
    ASSERT_TRUE(string) << StringFunctionName(function);
    EXPECT_EQ(string->Function(), function);
  }
  EXPECT_FALSE(make("FOO"));
  EXPECT_FALSE(make("upper"));  // names arrive upper-cased
}

}  // namespace
}  // namespace oracle::filter_test
