// Values of any length in pieces: binds whose value the application gives at execution
// (OCI_DATA_AT_EXEC, through a callback or OCIStmtGetPieceInfo / OCIStmtSetPieceInfo) and
// defines whose value goes to a callback piece by piece (OCIDefineDynamic), as LONG and
// LONG RAW columns are read and written.
#include <cstring>

#include "ociemu/internal/Api.h"
#include "ociemu/internal/Statement.h"

using namespace ociemu;

namespace {

// The statement's data-at-execution binds, in the order they were bound.
std::vector<BindHandle*> PiecewiseBinds(StmtHandle& stmt) {
  std::vector<BindHandle*> binds;
  for (const auto& h : stmt.owned) {
    if (h->Type() != OCI_HTYPE_BIND || h->Freed()) continue;
    auto* bind = static_cast<BindHandle*>(h.get());
    if (bind->atExecution) binds.push_back(bind);
  }
  return binds;
}

void Rebind(StmtHandle& stmt, BindHandle& bind) {
  BindBuffer buffer = bind.buffer;
  buffer.pieces = &bind.pieces;
  if (bind.placeholder.empty()) {
    stmt.cursor.BindPosition(bind.position, buffer);
  } else {
    stmt.cursor.BindName(bind.placeholder, buffer);
  }
}

// Asks the bind's callback for the value of one row, piece after piece.
void CallInCallback(BindHandle& bind, ub4 iteration, std::optional<std::string>& value) {
  std::string collected;
  bool isNull = false;
  for (int calls = 0;; ++calls) {
    void* buffer = nullptr;
    ub4 length = 0;
    ub1 piece = OCI_ONE_PIECE;
    void* indicator = nullptr;
    sb4 rc = bind.inCallback(bind.inContext, reinterpret_cast<OCIBind*>(&bind), iteration, 0,
                             &buffer, &length, &piece, &indicator);
    if (rc != OCI_CONTINUE) throw OracleError(24343);
    if (indicator && *static_cast<sb2*>(indicator) < 0) isNull = true;
    if (buffer && length) collected.append(static_cast<const char*>(buffer), length);
    if (piece == OCI_ONE_PIECE || piece == OCI_LAST_PIECE) break;
    if (piece != OCI_FIRST_PIECE && piece != OCI_NEXT_PIECE) throw OracleError(24343);
  }
  if (isNull) {
    value.reset();
  } else {
    value = std::move(collected);
  }
}

}  // namespace

namespace ociemu {

sword GatherPieces(StmtHandle& stmt, ub4 iters, ub4 rowoff) {
  const std::vector<BindHandle*> binds = PiecewiseBinds(stmt);
  PieceRequest& request = stmt.pieceRequest;
  if (binds.empty()) {
    request = PieceRequest{};
    return OCI_SUCCESS;
  }
  // The rows from rowoff up to iters run; the application supplies theirs only.
  const ub4 rows = iters > rowoff ? iters - rowoff : 1;
  if (!request.active) {
    request = PieceRequest{};
    request.iters = iters;
    request.rowoff = rowoff;
    for (BindHandle* bind : binds) {
      // Rows before the offset are not executed; they stay NULL.
      bind->pieces.assign(static_cast<size_t>(rowoff) + rows, std::nullopt);
      if (bind->inCallback) {
        for (ub4 r = 0; r < rows; ++r) {
          CallInCallback(*bind, rowoff + r, bind->pieces[rowoff + r]);
        }
      }
    }
    // Binds with callbacks are complete; the others are asked for in turn.
    request.bind = 0;
    while (request.bind < binds.size() && binds[request.bind]->inCallback) ++request.bind;
    request.active = request.bind < binds.size();
    request.row = 0;
    request.piece = OCI_FIRST_PIECE;
    if (request.active) {
      binds[request.bind]->pieces[rowoff] = std::string();
      return OCI_NEED_DATA;
    }
  } else {
    if (request.iters != iters || request.rowoff != rowoff || request.bind >= binds.size()) {
      request = PieceRequest{};
      throw OracleError(1002);
    }
    if (!request.supplied) return OCI_NEED_DATA;
    BindHandle& bind = *binds[request.bind];
    auto& value = bind.pieces[request.rowoff + request.row];
    const ub4 length = request.length ? *request.length : 0;
    if (request.indicator && *request.indicator < 0) {
      value.reset();
    } else {
      if (!value) value = std::string();
      if (request.buffer && length) {
        value->append(static_cast<const char*>(request.buffer), length);
      }
    }
    request.supplied = false;
    if (request.suppliedPiece == OCI_ONE_PIECE || request.suppliedPiece == OCI_LAST_PIECE) {
      // That value is complete: the next row of this bind, then the next bind.
      if (++request.row >= rows) {
        request.row = 0;
        do {
          ++request.bind;
        } while (request.bind < binds.size() && binds[request.bind]->inCallback);
      }
      if (request.bind < binds.size()) {
        request.piece = OCI_FIRST_PIECE;
        binds[request.bind]->pieces[request.rowoff + request.row] = std::string();
        return OCI_NEED_DATA;
      }
      request.active = false;
    } else {
      request.piece = OCI_NEXT_PIECE;
      return OCI_NEED_DATA;
    }
  }
  for (BindHandle* bind : binds) Rebind(stmt, *bind);
  return OCI_SUCCESS;
}

}  // namespace ociemu

extern "C" {

sword OCIBindDynamic(OCIBind* bindp, OCIError* errhp, void* ictxp, OCICallbackInBind icbfp,
                     void* /*octxp*/, OCICallbackOutBind ocbfp) {
  return WithError("OCIBindDynamic", errhp, [&](Diagnostics*) -> sword {
    auto bind = Require<BindHandle>(bindp, OCI_HTYPE_BIND);
    CallLock lock({bind.get()});
    if (!bind->atExecution) throw OracleError(24342);
    // Values returned piece by piece (RETURNING, PL/SQL OUT) are not emulated.
    if (ocbfp) throw OracleError(3001);
    bind->inCallback = icbfp;
    bind->inContext = ictxp;
    return OCI_SUCCESS;
  });
}

sword OCIStmtGetPieceInfo(OCIStmt* stmtp, OCIError* errhp, void** hndlpp, ub4* typep, ub1* in_outp,
                          ub4* iterp, ub4* idxp, ub1* piecep) {
  return WithError("OCIStmtGetPieceInfo", errhp, [&](Diagnostics*) -> sword {
    auto stmt = Require<StmtHandle>(stmtp, OCI_HTYPE_STMT);
    CallLock lock({stmt.get()});
    const PieceRequest& request = stmt->pieceRequest;
    if (!request.active) throw OracleError(24342);
    const auto binds = PiecewiseBinds(*stmt);
    if (request.bind >= binds.size()) throw OracleError(1002);
    if (hndlpp) *hndlpp = binds[request.bind];
    if (typep) *typep = OCI_HTYPE_BIND;
    if (in_outp) *in_outp = OCI_PARAM_IN;
    if (iterp) *iterp = request.rowoff + request.row;
    if (idxp) *idxp = 0;
    if (piecep) *piecep = request.piece;
    return OCI_SUCCESS;
  });
}

sword OCIStmtSetPieceInfo(void* hndlp, ub4 type, OCIError* errhp, const void* bufp, ub4* alenp,
                          ub1 piece, const void* indp, ub2* rcodep) {
  return WithError("OCIStmtSetPieceInfo", errhp, [&](Diagnostics*) -> sword {
    if (type == OCI_HTYPE_DEFINE) {
      if (!FindHandle(hndlp, type)) throw InvalidHandle{};
      throw OracleError(3001);  // defines are read through OCIDefineDynamic callbacks
    }
    auto bind = Require<BindHandle>(hndlp, OCI_HTYPE_BIND);
    CallLock lock({bind.get()});
    if (!bind->owner || !bind->atExecution) throw OracleError(24342);
    PieceRequest& request = bind->owner->pieceRequest;
    if (!request.active) throw OracleError(1002);
    if (piece > OCI_LAST_PIECE) throw OracleError(24343);
    request.supplied = true;
    request.buffer = bufp;
    request.length = alenp;
    request.suppliedPiece = piece;
    request.indicator = static_cast<const sb2*>(indp);
    if (rcodep) *rcodep = 0;
    return OCI_SUCCESS;
  });
}

sword OCIDefineDynamic(OCIDefine* defnp, OCIError* errhp, void* octxp, OCICallbackDefine ocbfp) {
  return WithError("OCIDefineDynamic", errhp, [&](Diagnostics*) -> sword {
    auto define = Require<DefineHandle>(defnp, OCI_HTYPE_DEFINE);
    CallLock lock({define.get()});
    if (!define->owner) throw OracleError(24342);
    if (!define->dynamic || !ocbfp) throw OracleError(24342);
    DefineHandle* handle = define.get();
    define->buffer.dynamic = [handle, octxp, ocbfp](ub4 row,
                                                    std::optional<std::string_view> value) {
      size_t offset = 0;
      ub1 piece = OCI_FIRST_PIECE;
      do {
        void* buffer = nullptr;
        ub4* length = nullptr;
        void* indicator = nullptr;
        ub2* returnCode = nullptr;
        sb4 rc = ocbfp(octxp, reinterpret_cast<OCIDefine*>(handle), row, &buffer, &length, &piece,
                       &indicator, &returnCode);
        if (rc != OCI_CONTINUE) throw OracleError(24343);
        const size_t room = length ? *length : 0;
        const size_t left = value ? value->size() - offset : 0;
        const size_t n = buffer ? std::min(room, left) : 0;
        if (n) std::memcpy(buffer, value->data() + offset, n);
        if (length) *length = static_cast<ub4>(n);
        if (indicator) *static_cast<sb2*>(indicator) = value ? 0 : -1;
        if (returnCode) *returnCode = value ? 0 : 1405;
        offset += n;
        // A callback that gives no room would never take the rest.
        if (n == 0 && left > 0) throw OracleError(24343);
        piece = OCI_NEXT_PIECE;
      } while (value && offset < value->size());
    };
    define->owner->cursor.Define(define->position, define->buffer);
    return OCI_SUCCESS;
  });
}

}  // extern "C"
