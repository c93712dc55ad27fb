// The recursive-descent filter parser. Every level returns what it built in owning pointers, so
// an error anywhere unwinds and frees the partial tree. The state of a parse (text, position,
// decimal separator, resolver, limits) lives in one Parser object per call.
#include "oracle/filter/ParseFilter.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <vector>

#include "oracle/filter/BinaryOp.h"
#include "oracle/filter/Conditional.h"
#include "oracle/filter/EExpression.h"
#include "oracle/filter/Literals.h"
#include "oracle/filter/MathExpression.h"
#include "oracle/filter/RelationalOp.h"
#include "oracle/filter/StringExpression.h"
#include "oracle/filter/TypeCast.h"
#include "oracle/filter/UnaryOp.h"
#include "oracle/filter/internal/LocaleRules.h"
#include "oracle/filter/internal/NodeOptions.h"
#include "oracle/filter/internal/Text.h"

namespace oracle {
namespace {

using filter_internal::isAsciiDigit;
using filter_internal::isAsciiLetter;

constexpr std::size_t kMaxNumberLength = 28;
constexpr std::size_t kMaxStringLength = 256;

[[noreturn]] void fail(std::string message) {
  throw EExpression(std::move(message));
}

// A subtree with what the limits need to know of it: its height (the nesting of calls reading it
// takes; the parser's own recursion is limited apart, by DepthGuard), and how many node visits one
// read of it, and one question for its type, may take (IF conditions make these grow
// exponentially with nesting; everything else keeps them near the node count).
struct Parsed {
  std::unique_ptr<TExpression> node;
  int height = 0;
  double read = 0;
  double type = 0;
};

struct Word {
  enum Kind { kOperator, kTrue, kFalse, kName };
  std::string text;
  Kind kind = kName;
  TOperator op = opNot;
};

constexpr struct {
  const char* word;
  TOperator op;
} kOperatorWords[] = {{"NOT", opNot}, {"DIV", opDiv}, {"MOD", opMod}, {"AND", opAnd},
                      {"SHL", opShl}, {"SHR", opShr}, {"OR", opOr},   {"XOR", opXor}};

bool isRelationalChar(char c) {
  return c == '<' || c == '=' || c == '>';
}

class Parser {
 public:
  Parser(std::string_view text, char decimalSeparator, const NameResolver& resolver)
      : text_(text.substr(0, text.find('\0'))), separator_(decimalSeparator), resolver_(resolver) {}

  Parsed ParseExpression();

  bool AtEnd() const { return pos_ >= text_.size(); }
  // The whole (UTF-8) character at the position, for messages.
  std::string CurrentCharacter() const {
    return std::string(text_.substr(pos_, filter_internal::charLength(text_, pos_)));
  }

 private:
  Parsed ParseSimpleExpression();
  Parsed ParseTerm();
  Parsed ParseFactor();
  Parsed ParseWordFactor(Word word);
  Word ReadIdentifier();
  Parsed ReadNumber();
  std::string ReadQuoted(char close, const char* unterminated, const char* tooLong, bool doubling);

  Parsed MakeUnary(TOperator op, Parsed operand);
  Parsed MakeBinary(TOperator op, Parsed left, Parsed right);
  Parsed MakeRelational(TOperator op, Parsed left, Parsed right);
  Parsed MakeCall(const std::string& name, std::vector<Parsed>* params);
  void Check(const Parsed& parsed);

  char Current() const { return AtEnd() ? '\0' : text_[pos_]; }
  bool AtEndOfExpression() const {
    const char c = Current();
    return c == '\0' || c == ')' || c == ',';
  }
  void SkipBlanks() {
    while (!AtEnd() && text_[pos_] >= 1 && text_[pos_] <= 32) ++pos_;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  char separator_;
  const NameResolver& resolver_;
  int depth_ = 0;
  double parseWork_ = 0;  // node visits spent asking operand types while building
};

// Counts the factor nesting of the parse in progress; every recursion passes through a factor.
class DepthGuard {
 public:
  explicit DepthGuard(int& depth) : depth_(depth) {
    if (++depth_ > MaxFilterDepth) {
      --depth_;
      fail("Expression nested too deeply");
    }
  }
  ~DepthGuard() { --depth_; }
  DepthGuard(const DepthGuard&) = delete;
  DepthGuard& operator=(const DepthGuard&) = delete;

 private:
  int& depth_;
};

void Parser::Check(const Parsed& parsed) {
  if (parsed.height > MaxFilterDepth) fail("Expression nested too deeply");
  if (parsed.read > MaxFilterWork || parsed.type > MaxFilterWork || parseWork_ > MaxFilterWork)
    fail("Expression too complex");
}

Parsed Parser::MakeUnary(TOperator op, Parsed operand) {
  Parsed result;
  result.height = operand.height + 1;
  result.read = 1 + operand.read;
  result.type = 1;
  parseWork_ += operand.type;  // the node asks its operand's type when it is built
  Check(result);
  result.node = std::make_unique<TUnaryOp>(op, std::move(operand.node));
  return result;
}

Parsed Parser::MakeBinary(TOperator op, Parsed left, Parsed right) {
  Parsed result;
  result.read = 1 + left.read + right.read;
  result.type = 1;
  parseWork_ += left.type + right.type;
  const auto* leftLink = dynamic_cast<const TBinaryOp*>(left.node.get());
  const int leftHeight = left.height;
  const int rightHeight = right.height;
  result.node = std::make_unique<TBinaryOp>(op, std::move(left.node), std::move(right.node));
  // The height counts the recursion an evaluation needs. A left operand of the node's own type
  // that is itself binary continues a chain, which is read in a loop (see TBinaryOp): it adds
  // no level, so a flat chain of any length stays low.
  const bool continuesChain =
      leftLink != nullptr && leftLink->ExprType() == result.node->ExprType();
  result.height = std::max(continuesChain ? leftHeight : leftHeight + 1, rightHeight + 1);
  Check(result);
  return result;
}

Parsed Parser::MakeRelational(TOperator op, Parsed left, Parsed right) {
  Parsed result;
  result.height = std::max(left.height, right.height) + 1;
  // A comparison asks both operands for their types before it reads them.
  result.read = 1 + left.read + left.type + right.read + right.type;
  result.type = 1;
  Check(result);
  result.node = std::make_unique<TRelationalOp>(op, std::move(left.node), std::move(right.node));
  return result;
}

// A call of a built-in function or, failing that, of the resolver; params is null when the name
// had no parentheses.
Parsed Parser::MakeCall(const std::string& name, std::vector<Parsed>* params) {
  Parsed result;
  result.height = 1;
  result.read = 1;
  result.type = 1;
  std::unique_ptr<TParameterList> list;
  if (params) {
    list = std::make_unique<TParameterList>();
    double sum = 0;
    for (Parsed& p : *params) {
      result.height = std::max(result.height, p.height + 1);
      sum += p.read + p.type;
    }
    if (name == "IF" && params->size() == 3) {
      // Condition type and value, then the same question of one branch.
      const Parsed& c = (*params)[0];
      const Parsed& a = (*params)[1];
      const Parsed& b = (*params)[2];
      result.read = 1 + c.type + c.read + std::max(a.read, b.read);
      result.type = 1 + c.type + c.read + std::max(a.type, b.type);
    } else {
      result.read = 1 + sum;  // each parameter's type is checked, then its value read
    }
    for (Parsed& p : *params) list->Add(std::move(p.node));
  }
  Check(result);
  result.node = CreateFunction(name, list);
  if (!result.node && resolver_) {
    result.node = resolver_(name, list);
    result.height = 1;
    result.read = result.type = 1;
  }
  if (!result.node) fail("Unknown Identifier " + name);
  return result;
}

Parsed Parser::ParseExpression() {
  Parsed result;
  for (;;) {
    SkipBlanks();
    if (AtEndOfExpression()) return result;
    // Text that no level took after a complete expression: a second comparison (a = b = c) or
    // a NOT after an operand (a NOT b). Starting over there would drop what was parsed.
    if (result.node) fail("Syntax error");
    result = ParseSimpleExpression();
    if (isRelationalChar(Current())) {
      std::string symbol(1, Current());
      ++pos_;
      if (isRelationalChar(Current())) symbol += text_[pos_++];
      TOperator op;
      if (symbol == "=")
        op = opEq;
      else if (symbol == "<>")
        op = opNEQ;
      else if (symbol == "<")
        op = opLT;
      else if (symbol == ">")
        op = opGT;
      else if (symbol == "<=")
        op = opLTE;
      else if (symbol == ">=")
        op = opGTE;
      else
        fail(symbol + " not a valid operator");
      Parsed right = ParseSimpleExpression();
      result = MakeRelational(op, std::move(result), std::move(right));
    }
  }
}

Parsed Parser::ParseSimpleExpression() {
  Parsed result = ParseTerm();
  for (;;) {
    SkipBlanks();
    const char c = Current();
    if (AtEndOfExpression() || c == '*' || c == '/' || isRelationalChar(c)) return result;
    if (c == '+' || c == '-') {
      ++pos_;
      Parsed right = ParseTerm();
      result = MakeBinary(c == '+' ? opPlus : opMinus, std::move(result), std::move(right));
      continue;
    }
    const std::size_t start = pos_;
    const Word word = ReadIdentifier();
    switch (word.kind) {
      case Word::kOperator:
        if (word.op == opOr || word.op == opXor) {
          Parsed right = ParseTerm();
          result = MakeBinary(word.op, std::move(result), std::move(right));
          continue;
        }
        pos_ = start;  // an operator of a tighter level ends this expression
        return result;
      case Word::kTrue:
      case Word::kFalse:
        fail("Boolean literal not allowed here");
      case Word::kName:
        fail("Identifier " + word.text + " not allowed here");
    }
  }
}

Parsed Parser::ParseTerm() {
  Parsed result = ParseFactor();
  for (;;) {
    SkipBlanks();
    const char c = Current();
    if (AtEndOfExpression() || c == '+' || c == '-' || isRelationalChar(c)) return result;
    if (c == '*' || c == '/') {
      ++pos_;
      Parsed right = ParseFactor();
      result = MakeBinary(c == '*' ? opMult : opDivide, std::move(result), std::move(right));
      continue;
    }
    if (!isAsciiLetter(c) && c != '_') fail("char " + CurrentCharacter() + " in input stream");
    const std::size_t start = pos_;
    const Word word = ReadIdentifier();
    switch (word.kind) {
      case Word::kOperator:
        if (word.op == opNot || word.op == opOr || word.op == opXor) {
          pos_ = start;  // an operator of a looser level ends this term
          return result;
        }
        {
          Parsed right = ParseFactor();
          result = MakeBinary(word.op, std::move(result), std::move(right));
        }
        continue;
      case Word::kTrue:
      case Word::kFalse:
        fail("Boolean literal not allowed here");
      case Word::kName:
        fail("Identifier " + word.text + " not allowed here");
    }
  }
}

Parsed Parser::ParseFactor() {
  DepthGuard guard(depth_);
  SkipBlanks();
  const char c = Current();
  if (c == '\'') {
    Parsed result;
    result.node = std::make_unique<TStringLiteral>(
        ReadQuoted('\'', "Unterminated string", "String too long", true));
    result.height = 1;
    result.read = result.type = 1;
    return result;
  }
  if (c == '(') {
    ++pos_;
    Parsed inner = ParseExpression();
    if (!inner.node) fail("invalid sub-expression");
    if (Current() != ')') fail(" ) expected");
    ++pos_;
    return inner;
  }
  if (c == '+' || c == '-') {
    ++pos_;
    return MakeUnary(c == '+' ? opPlus : opMinus, ParseFactor());
  }
  if (isAsciiDigit(c)) return ReadNumber();
  if (isAsciiLetter(c) || c == '_') return ParseWordFactor(ReadIdentifier());
  if (c == '[') {
    const std::string name = ReadQuoted(']', "Unterminated fieldname", "Fieldname too long", false);
    Parsed result;
    std::unique_ptr<TParameterList> none;
    if (resolver_) result.node = resolver_(name, none);
    // Without a resolver (or when it declines) a bracketed name is as unknown as a bare one.
    if (!result.node) fail("Unknown Identifier " + name);
    result.height = 1;
    result.read = result.type = 1;
    return result;
  }
  if (AtEndOfExpression()) fail("Unexpected end of factor");
  fail("Syntax error");
}

Parsed Parser::ParseWordFactor(Word word) {
  switch (word.kind) {
    case Word::kOperator:
      if (word.op != opNot) fail(std::string(OperatorName(word.op)) + " not allowed here");
      return MakeUnary(opNot, ParseFactor());
    case Word::kTrue:
    case Word::kFalse: {
      Parsed result;
      result.node = std::make_unique<TBooleanLiteral>(word.kind == Word::kTrue);
      result.height = 1;
      result.read = result.type = 1;
      return result;
    }
    case Word::kName:
      break;
  }
  SkipBlanks();
  if (Current() != '(') return MakeCall(word.text, nullptr);
  ++pos_;
  std::vector<Parsed> params;
  for (;;) {
    params.push_back(ParseExpression());  // none for an empty parameter
    if (Current() != ',') break;
    ++pos_;
  }
  if (Current() != ')') fail("Incorrectly formed parameters");
  ++pos_;
  return MakeCall(word.text, &params);
}

// The character at the position whatever it is, then every letter, digit and "_" after it,
// upper-cased; then classified as operator keyword, TRUE, FALSE or plain name.
Word Parser::ReadIdentifier() {
  Word word;
  auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
  word.text += upper(text_[pos_++]);
  while (!AtEnd() &&
         (isAsciiLetter(text_[pos_]) || isAsciiDigit(text_[pos_]) || text_[pos_] == '_'))
    word.text += upper(text_[pos_++]);
  for (const auto& entry : kOperatorWords) {
    if (word.text == entry.word) {
      word.kind = Word::kOperator;
      word.op = entry.op;
      return word;
    }
  }
  if (word.text == "TRUE")
    word.kind = Word::kTrue;
  else if (word.text == "FALSE")
    word.kind = Word::kFalse;
  return word;
}

// Digits, at most one decimal separator (not after the exponent), an exponent "e" or "E" with
// an optional "-" and at least one digit; at most 28 characters in all.
Parsed Parser::ReadNumber() {
  const std::size_t start = pos_;
  bool separator = false;
  bool exponent = false;
  while (!AtEnd()) {
    const char c = text_[pos_];
    if (isAsciiDigit(c)) {
      ++pos_;
    } else if (c == separator_) {
      if (separator || exponent) fail("Bad numeric format");
      separator = true;
      ++pos_;
    } else if (c == 'e' || c == 'E') {
      if (exponent) fail("Bad numeric format");
      exponent = true;
      ++pos_;
      if (Current() == '-') ++pos_;
      if (!isAsciiDigit(Current())) fail("Bad numeric format");
    } else {
      break;
    }
    if (pos_ - start > kMaxNumberLength) fail("Bad numeric format");
  }
  const std::string_view digits = text_.substr(start, pos_ - start);
  Parsed result;
  result.height = 1;
  result.read = result.type = 1;
  if (!separator && !exponent) {
    std::int64_t value = 0;
    bool small = true;
    for (char d : digits) {
      value = value * 10 + (d - '0');
      if (value > INT32_MAX) {
        small = false;
        break;
      }
    }
    if (small) {
      result.node = std::make_unique<TIntegerLiteral>(static_cast<std::int32_t>(value));
      return result;
    }
  }
  std::string text(digits);
  std::replace(text.begin(), text.end(), separator_, '.');
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error == std::errc::result_out_of_range && text.find("e-") != std::string::npos) {
    value = 0;  // too small for a double: it is zero
  } else if (error != std::errc() || end != text.data() + text.size()) {
    fail("Bad numeric format");
  }
  result.node = std::make_unique<TFloatLiteral>(value);
  return result;
}

// The text after the opening character up to the closing one. With doubling, two closing
// characters in a row stand for one. At most 256 characters.
std::string Parser::ReadQuoted(char close, const char* unterminated, const char* tooLong,
                               bool doubling) {
  ++pos_;
  std::string value;
  std::size_t count = 0;
  for (;;) {
    if (AtEnd()) fail(unterminated);
    if (text_[pos_] == close) {
      if (!doubling || pos_ + 1 >= text_.size() || text_[pos_ + 1] != close) {
        ++pos_;
        return value;
      }
      ++pos_;  // the first of a doubled pair; the second is taken below
    }
    if (++count > kMaxStringLength) fail(tooLong);
    const std::size_t length = filter_internal::charLength(text_, pos_);
    value.append(text_.substr(pos_, length));
    pos_ += length;
  }
}

}  // namespace

std::unique_ptr<TExpression> CreateFunction(const std::string& name,
                                            std::unique_ptr<TParameterList>& params) {
  static constexpr const char* kCasts[] = {"DATE", "STRING", "FLOAT", "INTEGER", "BOOLEAN"};
  static constexpr const char* kMath[] = {"TRUNC", "ROUND", "ABS",  "ARCTAN", "COS",
                                          "EXP",   "FRAC",  "INT",  "LN",     "PI",
                                          "SIN",   "SQR",   "SQRT", "POWER"};
  static constexpr const char* kStrings[] = {"UPPER", "LOWER", "COPY", "POS", "LENGTH"};
  if (name == "IF") return std::make_unique<TConditional>(std::move(params));
  for (std::size_t i = 0; i < std::size(kCasts); ++i) {
    if (name == kCasts[i])
      return std::make_unique<TTypeCast>(static_cast<TExprType>(i), std::move(params));
  }
  for (std::size_t i = 0; i < std::size(kMath); ++i) {
    if (name == kMath[i])
      return std::make_unique<TMathExpression>(static_cast<TMathFunction>(i), std::move(params));
  }
  for (std::size_t i = 0; i < std::size(kStrings); ++i) {
    if (name == kStrings[i])
      return std::make_unique<TStringExpression>(static_cast<TStringFunction>(i),
                                                 std::move(params));
  }
  return nullptr;
}

std::unique_ptr<TExpression> ParseFilter(std::string_view text, TFilterOptions options,
                                         const NameResolver& resolver) {
  const filter_internal::NodeOptionsScope scope(
      {options.contains(foCaseInsensitive), !options.contains(foNoPartialCompare)});
  Parser parser(text, filter_internal::localeRules().decimalSeparator, resolver);
  Parsed root = parser.ParseExpression();
  if (!parser.AtEnd()) fail(parser.CurrentCharacter() + " not appropriate");
  return std::move(root.node);
}

}  // namespace oracle
