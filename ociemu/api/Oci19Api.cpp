// The calls a client of the 19c generation adds: its version, the server's release as a
// number, the round trip of OCIPing, the character sets of the environment, the bind and
// define calls with 4-byte lengths, arrays of descriptors and the (absent) implicit results.
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

#include "ociemu/Oci19.h"
#include "ociemu/internal/Api.h"
#include "ociemu/internal/CharacterSets.h"
#include "ociemu/internal/ClientAttributes.h"
#include "ociemu/internal/Lasting.h"
#include "ociemu/internal/Statement.h"

using namespace ociemu;

namespace {

// The release the 19c generation's base version for Linux reports.
constexpr sword kClientRelease[5] = {19, 3, 0, 0, 0};

// The five numbers of "Version a.b.c.d.e" (18c and later banners) or else "Release a.b.c.d.e".
void ReleaseNumbers(const std::string& banner, int out[5]) {
  size_t at = banner.find("Version ");
  if (at == std::string::npos) at = banner.find("Release ");
  for (int i = 0; i < 5; ++i) out[i] = 0;
  if (at == std::string::npos) {
    out[0] = 19;
    return;
  }
  const char* p = banner.c_str() + at + 8;
  for (int i = 0; i < 5 && *p; ++i) {
    char* end = nullptr;
    out[i] = static_cast<int>(std::strtol(p, &end, 10));
    if (end == p || *end != '.') break;
    p = end + 1;
  }
}

// The server handle behind a service context or server handle.
std::shared_ptr<ServerHandle> ServerOf(void* hndlp, ub1 hndltype) {
  if (hndltype == OCI_HTYPE_SVCCTX) {
    auto svc = Require<SvcCtxHandle>(hndlp, OCI_HTYPE_SVCCTX);
    return svc->server;
  }
  if (hndltype == OCI_HTYPE_SERVER) return Require<ServerHandle>(hndlp, OCI_HTYPE_SERVER);
  throw InvalidHandle{};
}

// The sizes of the descriptor arrays handed out, by the address of their first descriptor.
struct DescriptorArrays {
  std::mutex mutex;
  std::map<const void*, ub4> sizes;
};

// Gives the 4-byte length array to a bind the 2-byte call has just made, and binds again.
void UseLongLengths(OCIBind* bind, ub4* alenp) {
  auto h = Require<BindHandle>(bind, OCI_HTYPE_BIND);
  CallLock lock({h.get()});
  if (!h->owner) return;
  h->buffer.length4 = alenp;
  if (h->placeholder.empty()) {
    h->owner->cursor.BindPosition(h->position, h->buffer);
  } else {
    h->owner->cursor.BindName(h->placeholder, h->buffer);
  }
}

template <class Call>
sword WithLongLengths(const char* name, OCIError* errhp, OCIBind** bindp, ub4* alenp, Call&& call) {
  sword status = call();
  if (status != OCI_SUCCESS || !alenp) return status;
  return WithError(name, errhp, [&](Diagnostics*) -> sword {
    UseLongLengths(*bindp, alenp);
    return OCI_SUCCESS;
  });
}

}  // namespace

extern "C" {

void OCIClientVersion(sword* major_version, sword* minor_version, sword* update_num,
                      sword* patch_num, sword* port_update_num) {
  CountCall("OCIClientVersion");
  sword* out[5] = {major_version, minor_version, update_num, patch_num, port_update_num};
  for (int i = 0; i < 5; ++i) {
    if (out[i]) *out[i] = kClientRelease[i];
  }
}

sword OCIServerRelease2(void* hndlp, OCIError* errhp, OraText* bufp, ub4 bufsz, ub1 hndltype,
                        ub4* version, ub4 /*mode*/) {
  return WithError("OCIServerRelease2", errhp, [&](Diagnostics*) -> sword {
    auto srv = ServerOf(hndlp, hndltype);
    CallLock lock({srv.get()});
    if (!srv || srv->Freed()) throw OracleError(3114);
    Connection& conn = srv->Live();
    conn.BeforeCall("OCIServerRelease2");
    const std::string banner = conn.Banner();
    CopyOut(banner, bufp, bufsz);
    if (version) {
      int n[5];
      ReleaseNumbers(banner, n);
      *version = (static_cast<ub4>(n[0] & 0xFF) << 24) | (static_cast<ub4>(n[1] & 0xFF) << 16) |
                 (static_cast<ub4>(n[2] & 0x0F) << 12) | (static_cast<ub4>(n[3] & 0xFF) << 4) |
                 static_cast<ub4>(n[4] & 0x0F);
    }
    return OCI_SUCCESS;
  });
}

sword OCIPing(OCISvcCtx* svchp, OCIError* errhp, ub4 /*mode*/) {
  return WithError("OCIPing", errhp, [&](Diagnostics*) -> sword {
    auto svc = Require<SvcCtxHandle>(svchp, OCI_HTYPE_SVCCTX);
    CallLock lock({svc.get()});
    svc->Live().BeforeCall("OCIPing");
    return OCI_SUCCESS;
  });
}

sword OCINlsNumericInfoGet(void* envhp, OCIError* errhp, sb4* val, ub2 item) {
  return WithError("OCINlsNumericInfoGet", errhp, [&](Diagnostics*) -> sword {
    auto h = FindHandle(envhp, OCI_HTYPE_ENV);
    if (!h) h = FindHandle(envhp, OCI_HTYPE_SESSION);
    if (!h) throw InvalidHandle{};
    if (!val) throw OracleError(1009);
    const ub2 charset = EnvironmentCharacterSet(h->Env());
    switch (item) {
      case OCI_NLS_CHARSET_MAXBYTESZ:
        *val = MaxBytesPerCharacter(charset);
        return OCI_SUCCESS;
      case OCI_NLS_CHARSET_FIXEDWIDTH:
        *val = FixedWidth(charset);
        return OCI_SUCCESS;
    }
    throw OracleError(24315);
  });
}

// The id of a name (0 for one not known) and the name of an id (OCI_ERROR for an id not known
// or a buffer too small); neither takes an error handle.
ub2 OCINlsCharSetNameToId(void* envhp, const oratext* name) {
  CountCall("OCINlsCharSetNameToId");
  if (!envhp || !name) return 0;
  return CharacterSetId(reinterpret_cast<const char*>(name));
}

sword OCINlsCharSetIdToName(void* envhp, oratext* buf, size_t buflen, ub2 id) {
  CountCall("OCINlsCharSetIdToName");
  const char* name = CharacterSetName(id);
  if (!envhp || !buf || !name || std::strlen(name) + 1 > buflen) return OCI_ERROR;
  CopyOut(name, buf, buflen);
  return OCI_SUCCESS;
}

// ociemu's server returns no implicit results (DBMS_SQL.RETURN_RESULT), so there is never a
// next one.
sword OCIStmtGetNextResult(OCIStmt* stmthp, OCIError* errhp, void** result, ub4* rtype,
                           ub4 /*mode*/) {
  return WithError("OCIStmtGetNextResult", errhp, [&](Diagnostics*) -> sword {
    Require<StmtHandle>(stmthp, OCI_HTYPE_STMT);
    if (result) *result = nullptr;
    if (rtype) *rtype = 0;
    return OCI_NO_DATA;
  });
}

sword OCIBindByPos2(OCIStmt* stmtp, OCIBind** bindp, OCIError* errhp, ub4 position, void* valuep,
                    sb8 value_sz, ub2 dty, void* indp, ub4* alenp, ub2* rcodep, ub4 maxarr_len,
                    ub4* curelep, ub4 mode) {
  if (value_sz < 0 || value_sz > 0x7FFFFFFF) {
    return WithError("OCIBindByPos2", errhp,
                     [](Diagnostics*) -> sword { throw OracleError(1459); });
  }
  return WithLongLengths("OCIBindByPos2", errhp, bindp, alenp, [&] {
    return OCIBindByPos(stmtp, bindp, errhp, position, valuep, static_cast<sb4>(value_sz), dty,
                        indp, nullptr, rcodep, maxarr_len, curelep, mode);
  });
}

sword OCIBindByName2(OCIStmt* stmtp, OCIBind** bindp, OCIError* errhp, const OraText* placeholder,
                     sb4 placeh_len, void* valuep, sb8 value_sz, ub2 dty, void* indp, ub4* alenp,
                     ub2* rcodep, ub4 maxarr_len, ub4* curelep, ub4 mode) {
  if (value_sz < 0 || value_sz > 0x7FFFFFFF) {
    return WithError("OCIBindByName2", errhp,
                     [](Diagnostics*) -> sword { throw OracleError(1459); });
  }
  return WithLongLengths("OCIBindByName2", errhp, bindp, alenp, [&] {
    return OCIBindByName(stmtp, bindp, errhp, placeholder, placeh_len, valuep,
                         static_cast<sb4>(value_sz), dty, indp, nullptr, rcodep, maxarr_len,
                         curelep, mode);
  });
}

sword OCIDefineByPos2(OCIStmt* stmtp, OCIDefine** defnp, OCIError* errhp, ub4 position,
                      void* valuep, sb8 value_sz, ub2 dty, void* indp, ub4* rlenp, ub2* rcodep,
                      ub4 mode) {
  if (value_sz < 0 || value_sz > 0x7FFFFFFF) {
    return WithError("OCIDefineByPos2", errhp,
                     [](Diagnostics*) -> sword { throw OracleError(1459); });
  }
  sword status = OCIDefineByPos(stmtp, defnp, errhp, position, valuep, static_cast<sb4>(value_sz),
                                dty, indp, nullptr, rcodep, mode);
  if (status != OCI_SUCCESS || !rlenp) return status;
  return WithError("OCIDefineByPos2", errhp, [&](Diagnostics*) -> sword {
    auto h = Require<DefineHandle>(*defnp, OCI_HTYPE_DEFINE);
    CallLock lock({h.get()});
    if (!h->owner) return OCI_SUCCESS;
    h->buffer.length4 = rlenp;
    h->owner->cursor.Define(h->position, h->buffer);
    return OCI_SUCCESS;
  });
}

// An array of descriptors is array_size descriptors allocated one by one; the caller's array
// receives their addresses.
sword OCIArrayDescriptorAlloc(const void* parenth, void** descpp, ub4 type, ub4 array_size,
                              size_t xtramem_sz, void** usrmempp) {
  CountCall("OCIArrayDescriptorAlloc");
  if (!descpp || array_size == 0) return OCI_ERROR;
  for (ub4 i = 0; i < array_size; ++i) {
    void** userMemory = usrmempp ? &usrmempp[i] : nullptr;
    sword status = OCIDescriptorAlloc(parenth, &descpp[i], type, xtramem_sz, userMemory);
    if (status != OCI_SUCCESS) {
      for (ub4 k = 0; k < i; ++k) OCIDescriptorFree(descpp[k], type);
      return status;
    }
  }
  try {
    auto& arrays = Lasting<DescriptorArrays>();
    std::lock_guard<std::mutex> g(arrays.mutex);
    arrays.sizes[descpp[0]] = array_size;
  } catch (...) {
    for (ub4 k = 0; k < array_size; ++k) OCIDescriptorFree(descpp[k], type);
    return OCI_ERROR;
  }
  return OCI_SUCCESS;
}

sword OCIArrayDescriptorFree(void** descp, ub4 type) {
  CountCall("OCIArrayDescriptorFree");
  if (!descp) return OCI_INVALID_HANDLE;
  ub4 size = 0;
  {
    auto& arrays = Lasting<DescriptorArrays>();
    std::lock_guard<std::mutex> g(arrays.mutex);
    auto it = arrays.sizes.find(descp[0]);
    if (it == arrays.sizes.end() || !FindHandle(descp[0], type)) return OCI_INVALID_HANDLE;
    size = it->second;
    arrays.sizes.erase(it);
  }
  for (ub4 i = 0; i < size; ++i) OCIDescriptorFree(descp[i], type);
  return OCI_SUCCESS;
}

sword OCIRowidToChar(OCIRowid* rowidDesc, OraText* outbfp, ub2* outbflp, OCIError* errhp) {
  return WithError("OCIRowidToChar", errhp, [&](Diagnostics*) -> sword {
    auto d = Require<RowidDescriptor>(rowidDesc, OCI_DTYPE_ROWID);
    if (!outbflp) throw OracleError(1009);
    const ub2 needed = static_cast<ub2>(d->rowid.size());
    if (!outbfp || *outbflp < needed) {
      *outbflp = needed;
      throw OracleError(1406);
    }
    std::memcpy(outbfp, d->rowid.data(), needed);
    *outbflp = needed;
    return OCI_SUCCESS;
  });
}

}  // extern "C"
