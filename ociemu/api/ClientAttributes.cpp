// The 19c generation's attributes. Most are settings the server keeps for monitoring (driver
// name, client identifier, module and action); ociemu keeps them on the handle and gives them
// back. The environment's character sets are those OCIEnvNlsCreate was given.
#include "ociemu/internal/ClientAttributes.h"

#include <cstring>

#include "ociemu/Oci19.h"
#include "ociemu/internal/AttributeAccess.h"
#include "ociemu/internal/CharacterSets.h"
#include "ociemu/internal/SqlId.h"
#include "ociemu/internal/Statement.h"
#include "ociemu/internal/Variant.h"

namespace ociemu {
namespace {

bool Generation19() {
  static const bool exported = ExportsName("OCIClientVersion");
  return exported;
}

template <class T>
void Put(void* attributep, ub4* sizep, T value) {
  PutAttribute(attributep, sizep, &value, sizeof value);
}

void Keep(Handle& h, ub4 attrtype, const void* value, size_t size) {
  if (!value && size) throw OracleError(1009);
  h.keptAttributes[attrtype] =
      size ? std::string(static_cast<const char*>(value), size) : std::string();
}

// A kept text is read as Oracle gives texts: a pointer to it and its length.
bool GiveText(Handle& h, ub4 attrtype, void* attributep, ub4* sizep) {
  // The pointer given out is the kept text's own, valid while the handle lives.
  PutTextAttribute(attributep, sizep, h.keptAttributes[attrtype]);
  return true;
}

bool IsSessionText(ub4 attrtype) {
  switch (attrtype) {
    case OCI_ATTR_DRIVER_NAME:
    case OCI_ATTR_CLIENT_IDENTIFIER:
    case OCI_ATTR_MODULE:
    case OCI_ATTR_ACTION:
    case OCI_ATTR_CLIENT_INFO:
    case OCI_ATTR_DBOP:
    case OCI_ATTR_ECONTEXT_ID:
    case OCI_ATTR_EDITION:
    case OCI_ATTR_CONNECTION_CLASS:
      return true;
  }
  return false;
}

ub2 KeptUb2(Handle& h, ub4 attrtype, ub2 otherwise) {
  auto it = h.keptAttributes.find(attrtype);
  if (it == h.keptAttributes.end() || it->second.size() != sizeof(ub2)) return otherwise;
  ub2 v;
  std::memcpy(&v, it->second.data(), sizeof v);
  return v;
}

}  // namespace

void SetEnvironmentCharacterSets(Environment& env, ub2 charset, ub2 ncharset) {
  if (charset) Keep(env, OCI_ATTR_ENV_CHARSET_ID, &charset, sizeof charset);
  if (ncharset) Keep(env, OCI_ATTR_ENV_NCHARSET_ID, &ncharset, sizeof ncharset);
}

ub2 EnvironmentCharacterSet(Environment& env) {
  return KeptUb2(env, OCI_ATTR_ENV_CHARSET_ID, NlsLangCharacterSet());
}

ub2 EnvironmentNationalCharacterSet(Environment& env) {
  return KeptUb2(env, OCI_ATTR_ENV_NCHARSET_ID, EnvironmentCharacterSet(env));
}

bool SetClientAttribute(Handle& target, void* attributep, ub4 size, ub4 attrtype) {
  if (!Generation19()) return false;
  switch (target.Type()) {
    case OCI_HTYPE_SESSION:
      if (IsSessionText(attrtype)) {
        Keep(target, attrtype, attributep, size);
        return true;
      }
      if (attrtype == OCI_ATTR_PURITY) {
        Keep(target, attrtype, attributep, sizeof(ub4));
        return true;
      }
      return false;
    case OCI_HTYPE_SVCCTX:
      if (attrtype == OCI_ATTR_CALL_TIMEOUT) {
        Keep(target, attrtype, attributep, sizeof(ub4));
        return true;
      }
      return false;
    case OCI_HTYPE_SERVER:
      if (attrtype == OCI_ATTR_INTERNAL_NAME || attrtype == OCI_ATTR_EXTERNAL_NAME) {
        Keep(target, attrtype, attributep, size);
        return true;
      }
      return false;
  }
  return false;
}

bool GetClientAttribute(Handle& target, void* attributep, ub4* sizep, ub4 attrtype) {
  if (target.Type() == OCI_HTYPE_ENV && ExportsName("OCIEnvNlsCreate")) {
    auto& env = static_cast<Environment&>(target);
    if (attrtype == OCI_ATTR_ENV_CHARSET_ID) {
      Put<ub2>(attributep, sizep, EnvironmentCharacterSet(env));
      return true;
    }
    if (attrtype == OCI_ATTR_ENV_NCHARSET_ID) {
      Put<ub2>(attributep, sizep, EnvironmentNationalCharacterSet(env));
      return true;
    }
  }
  if (!Generation19()) return false;
  switch (target.Type()) {
    case OCI_HTYPE_SESSION: {
      auto& session = static_cast<SessionHandle&>(target);
      if (IsSessionText(attrtype)) return GiveText(target, attrtype, attributep, sizep);
      if (attrtype == OCI_ATTR_TRANSACTION_IN_PROGRESS) {
        const bool pending = session.begun && session.conn && session.conn->InTransaction();
        Put<boolean>(attributep, sizep, pending ? 1 : 0);
        return true;
      }
      return false;
    }
    case OCI_DTYPE_PARAM:
      // ociemu has no columns of the JSON check kind, so no column is one.
      if (attrtype != OCI_ATTR_JSON_COL) return false;
      Put<boolean>(attributep, sizep, 0);
      return true;
    case OCI_HTYPE_SERVER: {
      // The database's character set.
      auto& server = static_cast<ServerHandle&>(target);
      if (attrtype != OCI_ATTR_CHARSET_ID) return false;
      Put<ub2>(attributep, sizep, CharacterSetId(server.Live().characterSet));
      return true;
    }
    case OCI_HTYPE_ERROR: {
      // Errors after which the session is gone while the database may still be there: a
      // driver may connect again and repeat the work.
      if (attrtype != OCI_ATTR_ERROR_IS_RECOVERABLE) return false;
      Diagnostics::Record record;
      const bool known = static_cast<ErrorHandle&>(target).diagnostics.Get(1, record);
      const bool recoverable =
          known && (record.code == 3113 || record.code == 3114 || record.code == 3135);
      Put<boolean>(attributep, sizep, recoverable ? 1 : 0);
      return true;
    }
    case OCI_HTYPE_SVCCTX:
      if (attrtype == OCI_ATTR_CALL_TIMEOUT) {
        auto it = target.keptAttributes.find(attrtype);
        ub4 v = 0;
        if (it != target.keptAttributes.end()) std::memcpy(&v, it->second.data(), sizeof v);
        Put<ub4>(attributep, sizep, v);
        return true;
      }
      return false;
    case OCI_HTYPE_STMT: {
      const Cursor& c = static_cast<StmtHandle&>(target).cursor;
      switch (attrtype) {
        case OCI_ATTR_UB8_ROW_COUNT:
          Put<ub8>(attributep, sizep, c.RowCount());
          return true;
        case OCI_ATTR_STMT_IS_RETURNING:
          Put<ub1>(attributep, sizep, c.IsReturning() ? 1 : 0);
          return true;
        case OCI_ATTR_IMPLICIT_RESULT_COUNT:
          Put<ub4>(attributep, sizep, 0);
          return true;
        case OCI_ATTR_SQL_ID: {
          // Read as a pointer to text that stays valid while the statement lives.
          auto& kept = target.keptAttributes[OCI_ATTR_SQL_ID];
          kept = c.Text().empty() ? std::string() : SqlId(c.Text());
          PutTextAttribute(attributep, sizep, kept);
          return true;
        }
      }
      return false;
    }
  }
  return false;
}

}  // namespace ociemu
