// Names of types and operators, the result type rule, and the conversions of the base node.
#include "oracle/filter/Expression.h"

#include "oracle/filter/EExpression.h"
#include "oracle/filter/internal/LocaleRules.h"
#include "oracle/filter/internal/NodeOptions.h"

namespace oracle {
namespace {

using filter_internal::localeRules;

constexpr const char* kTypeNames[] = {"Date", "String", "Float", "Integer", "Boolean"};
constexpr const char* kOperatorNames[] = {
    "opNot",   "opMult", "opDivide", "opDiv", "opMod", "opAnd", "opShl", "opShr", "opPlus",
    "opMinus", "opOr",   "opXor",    "opEq",  "opNEQ", "opLT",  "opGT",  "opLTE", "opGTE"};
constexpr const char* kOperatorSymbols[] = {"NOT", "*",   "/", "DIV", "MOD", "AND",
                                            "SHL", "SHR", "+", "-",   "OR",  "XOR",
                                            "=",   "<>",  "<", ">",   "<=",  ">="};

[[noreturn]] void cannotRead(TExprType type, const char* as) {
  throw EExpression(std::string("Cannot read ") + ExprTypeName(type) + " as " + as);
}

thread_local filter_internal::NodeOptions tCurrentOptions;

}  // namespace

const char* ExprTypeName(TExprType type) {
  return type <= etBoolean ? kTypeNames[type] : "?";
}

const char* OperatorName(TOperator op) {
  return op <= opGTE ? kOperatorNames[op] : "?";
}

const char* OperatorSymbol(TOperator op) {
  return op <= opGTE ? kOperatorSymbols[op] : "?";
}

TExprType ResultType(TOperator op, TExprType t) {
  const bool relational = op >= opEq && op <= opGTE;
  switch (t) {
    case etDate:
      if (op == opPlus || op == opMinus) return etDate;
      if (relational) return etBoolean;
      break;
    case etString:
      if (op == opPlus) return etString;
      if (relational) return etBoolean;
      break;
    case etFloat:
      if (op == opMult || op == opDivide || op == opPlus || op == opMinus) return etFloat;
      if (relational) return etBoolean;
      break;
    case etInteger:
      if (op == opDivide) return etFloat;
      if (relational) return etBoolean;
      if (op <= opXor) return etInteger;  // NOT, *, DIV, MOD, AND, SHL, SHR, +, -, OR, XOR
      break;
    case etBoolean:
      if (op == opNot || op == opAnd || op == opOr || op == opXor || op == opEq || op == opNEQ)
        return etBoolean;
      break;
  }
  throw EExpression(std::string("Operator ") + OperatorName(op) + " incompatible with " +
                    ExprTypeName(t));
}

namespace filter_internal {

const NodeOptions& currentNodeOptions() {
  return tCurrentOptions;
}

NodeOptionsScope::NodeOptionsScope(const NodeOptions& options) : previous_(tCurrentOptions) {
  tCurrentOptions = options;
}

NodeOptionsScope::~NodeOptionsScope() {
  tCurrentOptions = previous_;
}

}  // namespace filter_internal

TExpression::TExpression()
    : caseInsensitive_(tCurrentOptions.caseInsensitive),
      partialMatch_(tCurrentOptions.partialMatch) {}

TExpression::~TExpression() = default;

// The diagonal of each conversion is an error here: every node overrides the read of its own type.

double TExpression::AsDate() const {
  const TExprType type = ExprType();
  switch (type) {
    case etString: {
      const std::string text = AsString();
      if (const auto value = filter_internal::parseDateTime(text, localeRules())) return *value;
      throw EExpression("'" + text + "' is not a valid date");
    }
    case etFloat:
      return AsFloat();
    case etInteger:
      return AsInteger();
    default:
      cannotRead(type, "Date");
  }
}

std::string TExpression::AsString() const {
  const TExprType type = ExprType();
  switch (type) {
    case etDate:
      return filter_internal::formatDateTime(AsDate(), localeRules());
    case etFloat:
      return filter_internal::formatFloat(AsFloat(), localeRules().decimalSeparator);
    case etInteger:
      return std::to_string(AsInteger());
    case etBoolean:
      return AsBoolean() ? "TRUE" : "FALSE";
    default:
      cannotRead(type, "String");
  }
}

double TExpression::AsFloat() const {
  const TExprType type = ExprType();
  switch (type) {
    case etDate:
      return AsDate();
    case etInteger:
      return AsInteger();
    case etBoolean:
      return AsBoolean() ? 1 : 0;
    default:
      cannotRead(type, "Float");
  }
}

std::int32_t TExpression::AsInteger() const {
  const TExprType type = ExprType();
  switch (type) {
    case etDate:
      return filter_internal::toInt32(AsDate());
    case etBoolean:
      return AsBoolean() ? 1 : 0;
    default:
      cannotRead(type, "integer");
  }
}

bool TExpression::AsBoolean() const {
  cannotRead(ExprType(), "boolean");
}

bool TExpression::IsNull() const {
  return false;
}

}  // namespace oracle
