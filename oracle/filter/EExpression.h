// The exception of the filter expressions: every failure of building, parsing or evaluating an
// expression tree raises it with a fixed English message.
#pragma once

#include <string>

#include "oracle/core/Exception.h"

namespace oracle {

class EExpression : public Exception {
 public:
  explicit EExpression(std::string message) : Exception(std::move(message)) {}
};

}  // namespace oracle
