// The one instance of the binding's process-wide state.
#include "oracle/client/internal/BindingState.h"

namespace oracle::internal {

BindingState& State() {
  // Created on first use and kept until the process ends, so that the lock outlives every user.
  static BindingState* state = new BindingState();
  return *state;
}

}  // namespace oracle::internal
