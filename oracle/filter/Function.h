// Function calls: the parameter list and the base of the built-in functions, whose parameter
// counts and types are checked when they are evaluated, not when they are built.
#pragma once

#include <memory>
#include <vector>

#include "oracle/filter/Expression.h"

namespace oracle {

// The parameters of a call, owned. An entry may be missing (null) where the text left a
// parameter empty, as in LENGTH() or COPY(a,,b); the functions refuse such a list when evaluated.
class TParameterList {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  // Null for an empty parameter; precondition 0 <= index < Count().
  const TExpression* Param(int index) const {
    return items_[static_cast<std::size_t>(index)].get();
  }
  void Add(std::unique_ptr<TExpression> param) { items_.push_back(std::move(param)); }

 private:
  std::vector<std::unique_ptr<TExpression>> items_;
};

class TFunction : public TExpression {
 public:
  // None when the function was written without parentheses (PI).
  const TParameterList* Params() const { return params_.get(); }

 protected:
  explicit TFunction(std::unique_ptr<TParameterList> params) : params_(std::move(params)) {}

  int ParamCount() const { return params_ ? params_->Count() : 0; }
  // Null when absent or empty; precondition 0 <= index.
  const TExpression* Param(int index) const {
    return index < ParamCount() ? params_->Param(index) : nullptr;
  }

 private:
  std::unique_ptr<TParameterList> params_;
};

}  // namespace oracle
