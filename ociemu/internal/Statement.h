// Statement handles and the handles they own: binds, defines and the parameter descriptors of
// their select list (Param.h). A statement's own handles are freed with it.
#pragma once

#include <vector>

#include "ociemu/internal/Cursor.h"
#include "ociemu/internal/Handles.h"
#include "ociemu/internal/Param.h"

namespace ociemu {

class StmtHandle;

class BindHandle : public Handle {
 public:
  using Handle::Handle;
  StmtHandle* owner = nullptr;
};

class DefineHandle : public Handle {
 public:
  using Handle::Handle;
  StmtHandle* owner = nullptr;
};

class StmtHandle : public Handle {
 public:
  using Handle::Handle;
  void Release() override;
  // Makes a handle owned by this statement (registered, not counted as the application's).
  template <class T>
  std::shared_ptr<T> Own(ub4 type) {
    auto h = std::make_shared<T>(type, EnvPtr());
    Registry::Instance().Add(h);
    owned.push_back(h);
    return h;
  }

  Cursor cursor;
  std::vector<std::shared_ptr<Handle>> owned;
  ub4 prefetchRows = 1;
  ub4 prefetchMemory = 0;
  bool fromCache = false;  // made by OCIStmtPrepare2, released with OCIStmtRelease
  std::string cacheKey;
  std::weak_ptr<SvcCtxHandle> cacheOwner;
};

}  // namespace ociemu
