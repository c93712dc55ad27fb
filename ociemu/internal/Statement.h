// Statement handles and the handles they own (binds, defines, parameter descriptors).
#pragma once

#include "ociemu/internal/Handles.h"

namespace ociemu {

class StmtHandle : public Handle {
 public:
  using Handle::Handle;
  void Release() override {}
};

}  // namespace ociemu
