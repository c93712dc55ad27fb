// Statement handles and the handles they own: binds, defines and the parameter descriptors of
// their select list (Param.h). A statement's own handles are freed with it.
#pragma once

#include <optional>
#include <string>
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
  // What the bind call said, so that a value given at execution can be bound again.
  std::string placeholder;  // empty for a bind by position
  ub4 position = 0;
  BindBuffer buffer;
  // OCI_DATA_AT_EXEC: the value comes piece by piece, from the callback OCIBindDynamic set or
  // through OCIStmtGetPieceInfo / OCIStmtSetPieceInfo between executions.
  bool atExecution = false;
  OCICallbackInBind inCallback = nullptr;
  void* inContext = nullptr;
  std::vector<std::optional<std::string>> pieces;
};

class DefineHandle : public Handle {
 public:
  using Handle::Handle;
  StmtHandle* owner = nullptr;
  ub4 position = 0;
  DefineBuffer buffer;
  bool dynamic = false;  // OCI_DYNAMIC_FETCH
};

// A piecewise execution in progress: the bind and row whose value the application supplies
// next, and the piece it named in OCIStmtSetPieceInfo.
struct PieceRequest {
  bool active = false;
  ub4 iters = 0;
  ub4 rowoff = 0;
  size_t bind = 0;  // index into the statement's data-at-execution binds
  ub4 row = 0;
  ub1 piece = OCI_FIRST_PIECE;
  bool supplied = false;
  const void* buffer = nullptr;
  ub4* length = nullptr;
  ub1 suppliedPiece = OCI_ONE_PIECE;
  const sb2* indicator = nullptr;
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
  // Rows the server sent ahead with the last round trip and the client has not handed out yet:
  // fetches they cover do not reach the server (nor its faults and delays).
  ub4 prefetched = 0;
  // The rows each round trip brings beyond those asked for, from the prefetch attributes.
  ub4 PrefetchCount() const;
  PieceRequest pieceRequest;
  bool fromCache = false;  // made by OCIStmtPrepare2, released with OCIStmtRelease
  std::string cacheKey;
  std::weak_ptr<SvcCtxHandle> cacheOwner;
};

// Gathers the values of the statement's OCI_DATA_AT_EXEC binds for an execution of iters rows
// from rowoff: from their callbacks, or one piece per call through OCIStmtGetPieceInfo and
// OCIStmtSetPieceInfo, in which case it returns OCI_NEED_DATA until the last piece is in.
// OCI_SUCCESS means every value is bound and the statement may run. Throws OracleError.
sword GatherPieces(StmtHandle& stmt, ub4 iters, ub4 rowoff);

}  // namespace ociemu
