// The OCI7 side: what a logon data area (LDA) and a cursor data area (CDA) in the caller's
// memory stand for. Data areas are known by their address; ociemu writes only the published
// fields of the first 44 bytes, so a caller's 64- or 88-byte area is never overrun, and it
// never touches the host data area.
#pragma once

#include <map>
#include <memory>
#include <mutex>

#include "ociemu/internal/Cursor.h"
#include "ociemu/internal/Handles.h"

namespace ociemu {

struct Logon7 {
  std::shared_ptr<Environment> env;  // an environment of its own for a native OCI7 logon
  std::shared_ptr<SvcCtxHandle> svc;
  bool converted = false;  // made by OCISvcCtxToLda from an OCI8 service context
  bool autocommit = false;
  int lastCode = 0;
  std::string lastText;  // the full message of the last error, for oerhms
};

// An open OCI7 cursor and the logon it was opened on.
struct Cursor7 {
  std::shared_ptr<Logon7> logon;
  Cursor cursor;
  // A DDL statement parsed without deferral has run already; executing it again does nothing.
  bool ranAtParse = false;
};

class Oci7Registry {
 public:
  std::shared_ptr<Cursor7> FindCursor(const void* cda) const;
  void PutCursor(const void* cda, std::shared_ptr<Cursor7> cursor);
  std::shared_ptr<Cursor7> TakeCursor(const void* cda);
  // Closes the cursors of a logon that goes away.
  void DropCursors(const Logon7* logon);
  static Oci7Registry& Instance();
  std::shared_ptr<Logon7> FindLogon(const void* lda) const;
  void PutLogon(const void* lda, std::shared_ptr<Logon7> logon);
  std::shared_ptr<Logon7> TakeLogon(const void* lda);

 private:
  mutable std::mutex mutex_;
  std::map<const void*, std::shared_ptr<Logon7>> logons_;
  std::map<const void*, std::shared_ptr<Cursor7>> cursors_;
};

// Writes the outcome of an OCI7 call into a data area: return code, V2 code, function code.
void SetReturnCode(Cda_Def* cda, int code, ub1 functionCode);

}  // namespace ociemu
