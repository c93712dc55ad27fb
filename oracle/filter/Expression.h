// The nodes of a compiled filter: their value types, their operators and the abstract node with
// the conversions every node inherits when it is read as a kind other than its own type.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace oracle {

// Value types. The order matters: the common type of two operands is the lower one.
enum TExprType : std::uint8_t { etDate, etString, etFloat, etInteger, etBoolean };

enum TOperator : std::uint8_t {
  opNot,     // NOT     unary
  opMult,    // *       binary
  opDivide,  // /
  opDiv,     // DIV
  opMod,     // MOD
  opAnd,     // AND
  opShl,     // SHL
  opShr,     // SHR
  opPlus,    // +       unary or binary
  opMinus,   // -       unary or binary
  opOr,      // OR
  opXor,     // XOR
  opEq,      // =       relational
  opNEQ,     // <>
  opLT,      // <
  opGT,      // >
  opLTE,     // <=
  opGTE,     // >=
};

// "Date", "String", "Float", "Integer", "Boolean": the names messages use.
const char* ExprTypeName(TExprType type);
// "opNot" .. "opGTE": the member names messages use.
const char* OperatorName(TOperator op);
// "NOT", "*", "DIV", ..., ">=": what a filter text writes.
const char* OperatorSymbol(TOperator op);

// The type of a unary or binary node whose operand (or common operand) type is t. Raises
// EExpression "Operator <op> incompatible with <type>" for a pair the operator does not take.
TExprType ResultType(TOperator op, TExprType t);

// A node of an expression tree. A node owns its operands; trees are not copied.
//
// The reads are virtual: each node overrides the read of its own type (and whatever else its
// rules define); every other read falls back to the conversions below, which derive it from the
// node's own type, or raise "Cannot read <type> as ...".
class TExpression {
 public:
  // The two flags are those of the filter parse running on this thread, if any (see ParseFilter);
  // outside a parse they are those of empty filter options: not case-insensitive, partial match.
  TExpression();
  virtual ~TExpression();
  TExpression(const TExpression&) = delete;
  TExpression& operator=(const TExpression&) = delete;

  virtual double AsDate() const;  // days since 1899-12-30, fraction = time of day
  virtual std::string AsString() const;
  virtual double AsFloat() const;
  virtual std::int32_t AsInteger() const;
  virtual bool AsBoolean() const;
  virtual bool IsNull() const;  // false but for a column reference
  virtual TExprType ExprType() const = 0;

  bool CaseInsensitive() const { return caseInsensitive_; }
  void SetCaseInsensitive(bool value) { caseInsensitive_ = value; }
  bool PartialMatch() const { return partialMatch_; }
  void SetPartialMatch(bool value) { partialMatch_ = value; }

 private:
  bool caseInsensitive_;
  bool partialMatch_;
};

}  // namespace oracle
