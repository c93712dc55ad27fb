// Evaluation of the string functions.
#include "oracle/filter/StringExpression.h"

#include <string_view>

#include "oracle/filter/EExpression.h"
#include "oracle/filter/internal/Text.h"

namespace oracle {
namespace {

using filter_internal::charLength;

constexpr const char* kNames[] = {"UPPER", "LOWER", "COPY", "POS", "LENGTH"};

// Byte offset of character number index (from 0), or text.size() past the end.
std::size_t byteOffset(std::string_view text, std::int64_t index) {
  std::size_t at = 0;
  for (; index > 0 && at < text.size(); --index) at += charLength(text, at);
  return index > 0 ? text.size() : at;
}

std::string copy(std::string_view text, std::int32_t from, std::int32_t count) {
  if (from < 1) from = 1;
  if (count <= 0) return {};
  const std::size_t begin = byteOffset(text, from - 1);
  const std::size_t end = begin + byteOffset(text.substr(begin), count);
  return std::string(text.substr(begin, end - begin));
}

std::int32_t pos(std::string_view sub, std::string_view text) {
  if (sub.empty()) return 0;  // nothing to look for
  std::int32_t position = 1;
  for (std::size_t at = 0; at < text.size(); at += charLength(text, at), ++position) {
    if (text.substr(at, sub.size()) == sub) return position;
  }
  return 0;
}

bool isIntegral(const TExpression* param) {
  if (!param) return false;
  const TExprType type = param->ExprType();
  return type == etInteger || type == etBoolean;
}

bool isNotDate(const TExpression* param) {
  return param && param->ExprType() != etDate;
}

}  // namespace

const char* StringFunctionName(TStringFunction function) {
  return function <= sfLength ? kNames[function] : "?";
}

TExprType TStringExpression::ExprType() const {
  return function_ == sfPos || function_ == sfLength ? etInteger : etString;
}

const TExpression& TStringExpression::Arg(int index) const {
  const TExpression* param = Param(index);
  if (!param) throw EExpression(std::string("Invalid parameter to ") + kNames[function_]);
  return *param;
}

void TStringExpression::CheckParams() const {
  bool valid = false;
  switch (function_) {
    case sfUpper:
    case sfLower:
    case sfLength:
      valid = ParamCount() == 1 && isNotDate(Param(0));
      break;
    case sfCopy:
      valid =
          ParamCount() == 3 && isNotDate(Param(0)) && isIntegral(Param(1)) && isIntegral(Param(2));
      break;
    case sfPos:
      valid = ParamCount() == 2 && isNotDate(Param(0)) && isNotDate(Param(1));
      break;
  }
  if (!valid) throw EExpression(std::string("Invalid parameter to ") + kNames[function_]);
}

std::string TStringExpression::AsString() const {
  if (ExprType() != etString) return TExpression::AsString();
  CheckParams();
  switch (function_) {
    case sfUpper:
      return filter_internal::upperAscii(Arg(0).AsString());
    case sfLower:
      return filter_internal::lowerAscii(Arg(0).AsString());
    default: {
      const std::string text = Arg(0).AsString();
      const std::int32_t from = Arg(1).AsInteger();
      return copy(text, from, Arg(2).AsInteger());
    }
  }
}

std::int32_t TStringExpression::AsInteger() const {
  if (ExprType() != etInteger) return TExpression::AsInteger();
  CheckParams();
  if (function_ == sfLength)
    return static_cast<std::int32_t>(filter_internal::charCount(Arg(0).AsString()));
  const std::string sub = Arg(0).AsString();
  return pos(sub, Arg(1).AsString());
}

}  // namespace oracle
