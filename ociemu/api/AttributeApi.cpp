// OCIAttrSet and OCIAttrGet: the attributes of each handle type, numbers as Oracle publishes
// them (the same number means different things on different handle types).
#include <cstring>

#include "ociemu/internal/Api.h"
#include "ociemu/internal/AttributeAccess.h"
#include "ociemu/internal/Statement.h"
#include "ociemu/internal/Variant.h"

using namespace ociemu;

namespace ociemu {

void PutAttribute(void* attributep, ub4* sizep, const void* value, ub4 size) {
  if (!attributep) throw OracleError(1009);
  std::memcpy(attributep, value, size);
  if (sizep) *sizep = size;
}

void PutTextAttribute(void* attributep, ub4* sizep, const std::string& text) {
  if (!attributep) throw OracleError(1009);
  const OraText* p = reinterpret_cast<const OraText*>(text.c_str());
  std::memcpy(attributep, &p, sizeof p);
  if (sizep) *sizep = static_cast<ub4>(text.size());
}

ub4 ReadUb4(const void* attributep) {
  if (!attributep) throw OracleError(1009);
  ub4 v;
  std::memcpy(&v, attributep, sizeof v);
  return v;
}

}  // namespace ociemu

namespace {

template <class T>
void Put(void* attributep, ub4* sizep, T value) {
  PutAttribute(attributep, sizep, &value, sizeof value);
}

void* HandlePointer(const std::shared_ptr<Handle>& h) {
  return h && !h->Freed() ? h.get() : nullptr;
}

// A handle given as an attribute value must be live and of the right type; null clears.
template <class T>
std::shared_ptr<T> HandleValue(void* attributep, ub4 type) {
  if (!attributep) return nullptr;
  auto h = Find<T>(attributep, type);
  if (!h) throw OracleError(24328);
  return h;
}

sword SetSvcCtx(SvcCtxHandle& svc, void* attributep, ub4 attrtype) {
  switch (attrtype) {
    case OCI_ATTR_SERVER:
      svc.server = HandleValue<ServerHandle>(attributep, OCI_HTYPE_SERVER);
      return OCI_SUCCESS;
    case OCI_ATTR_SESSION:
      svc.session = HandleValue<SessionHandle>(attributep, OCI_HTYPE_SESSION);
      return OCI_SUCCESS;
    case OCI_ATTR_TRANS:
      svc.trans = HandleValue<Handle>(attributep, OCI_HTYPE_TRANS);
      return OCI_SUCCESS;
    case OCI_ATTR_STMTCACHESIZE:
      svc.stmtCacheSize = ReadUb4(attributep);
      while (svc.stmtCache.size() > svc.stmtCacheSize) {
        FreeHandle(*svc.stmtCache.front().second);
        svc.stmtCache.erase(svc.stmtCache.begin());
      }
      return OCI_SUCCESS;
  }
  throw OracleError(24315);
}

sword GetSvcCtx(SvcCtxHandle& svc, void* attributep, ub4* sizep, ub4 attrtype) {
  switch (attrtype) {
    case OCI_ATTR_ENV:
      Put<void*>(attributep, sizep, svc.EnvPtr().get());
      return OCI_SUCCESS;
    case OCI_ATTR_SERVER:
      Put<void*>(attributep, sizep, HandlePointer(svc.server));
      return OCI_SUCCESS;
    case OCI_ATTR_SESSION:
      Put<void*>(attributep, sizep, HandlePointer(svc.session));
      return OCI_SUCCESS;
    case OCI_ATTR_TRANS:
      Put<void*>(attributep, sizep, HandlePointer(svc.trans));
      return OCI_SUCCESS;
    case OCI_ATTR_STMTCACHESIZE:
      Put<ub4>(attributep, sizep, svc.stmtCacheSize);
      return OCI_SUCCESS;
  }
  throw OracleError(24315);
}

sword SetSession(SessionHandle& s, void* attributep, ub4 size, ub4 attrtype) {
  const std::string value = TextArg(static_cast<const OraText*>(attributep), size);
  switch (attrtype) {
    case OCI_ATTR_USERNAME:
      s.username = value;
      return OCI_SUCCESS;
    case OCI_ATTR_PASSWORD:
      s.password = value;
      return OCI_SUCCESS;
  }
  throw OracleError(24315);
}

sword GetSession(SessionHandle& s, void* attributep, ub4* sizep, ub4 attrtype) {
  switch (attrtype) {
    case OCI_ATTR_ENV:
      Put<void*>(attributep, sizep, s.EnvPtr().get());
      return OCI_SUCCESS;
    case OCI_ATTR_USERNAME:
      PutTextAttribute(attributep, sizep, s.username);
      return OCI_SUCCESS;
  }
  throw OracleError(24315);
}

sword GetServer(ServerHandle& srv, void* attributep, ub4* sizep, ub4 attrtype) {
  switch (attrtype) {
    case OCI_ATTR_ENV:
      Put<void*>(attributep, sizep, srv.EnvPtr().get());
      return OCI_SUCCESS;
    case OCI_ATTR_SERVER_STATUS:
      Put<ub4>(attributep, sizep,
               srv.conn && srv.conn->Usable() ? OCI_SERVER_NORMAL : OCI_SERVER_NOT_CONNECTED);
      return OCI_SUCCESS;
  }
  throw OracleError(24315);
}

sword GetError(ErrorHandle& err, void* attributep, ub4* sizep, ub4 attrtype) {
  if (attrtype == ParseErrorOffsetAttribute()) {
    Put<ub2>(attributep, sizep, static_cast<ub2>(err.diagnostics.parseOffset));
    return OCI_SUCCESS;
  }
  if (attrtype == OCI_ATTR_ENV) {
    Put<void*>(attributep, sizep, err.EnvPtr().get());
    return OCI_SUCCESS;
  }
  if (attrtype == OCI_ATTR_DML_ROW_OFFSET) {
    Put<ub4>(attributep, sizep, err.rowOffset);
    return OCI_SUCCESS;
  }
  throw OracleError(24315);
}

}  // namespace

extern "C" {

sword OCIAttrSet(void* trgthndlp, ub4 trghndltyp, void* attributep, ub4 size, ub4 attrtype,
                 OCIError* errhp) {
  return WithOptionalError("OCIAttrSet", errhp, [&](Diagnostics*) -> sword {
    auto target = FindHandle(trgthndlp, trghndltyp);
    if (!target) throw InvalidHandle{};
    CallLock lock({target.get()});
    switch (trghndltyp) {
      case OCI_HTYPE_SVCCTX:
        return SetSvcCtx(static_cast<SvcCtxHandle&>(*target), attributep, attrtype);
      case OCI_HTYPE_SESSION:
        return SetSession(static_cast<SessionHandle&>(*target), attributep, size, attrtype);
      default:
        if (SetDescribeAttribute(*target, attributep, attrtype)) return OCI_SUCCESS;
        if (SetPoolAttribute(*target, attributep, attrtype)) return OCI_SUCCESS;
        if (SetStatementAttribute(*target, attributep, size, attrtype)) return OCI_SUCCESS;
        throw OracleError(24315);
    }
  });
}

sword OCIAttrGet(const void* trgthndlp, ub4 trghndltyp, void* attributep, ub4* sizep, ub4 attrtype,
                 OCIError* errhp) {
  return WithOptionalError("OCIAttrGet", errhp, [&](Diagnostics*) -> sword {
    auto target = FindHandle(trgthndlp, trghndltyp);
    if (!target) throw InvalidHandle{};
    CallLock lock({target.get()});
    switch (trghndltyp) {
      case OCI_HTYPE_SVCCTX:
        return GetSvcCtx(static_cast<SvcCtxHandle&>(*target), attributep, sizep, attrtype);
      case OCI_HTYPE_SESSION:
        return GetSession(static_cast<SessionHandle&>(*target), attributep, sizep, attrtype);
      case OCI_HTYPE_SERVER:
        return GetServer(static_cast<ServerHandle&>(*target), attributep, sizep, attrtype);
      case OCI_HTYPE_ERROR:
        return GetError(static_cast<ErrorHandle&>(*target), attributep, sizep, attrtype);
      default:
        if (GetDescribeAttribute(*target, attributep, sizep, attrtype)) return OCI_SUCCESS;
        if (GetPoolAttribute(*target, attributep, sizep, attrtype)) return OCI_SUCCESS;
        if (GetStatementAttribute(*target, attributep, sizep, attrtype)) return OCI_SUCCESS;
        throw OracleError(24315);
    }
  });
}

}  // extern "C"
