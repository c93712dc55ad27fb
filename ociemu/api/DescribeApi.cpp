// OCIDescribeAny and the attributes of parameter descriptors, for select-list columns
// (implicit describe) and for described schema objects, their column and argument lists,
// columns and arguments (explicit describe), with the C types Oracle gives each attribute.
#include <cstring>

#include "ociemu/internal/Api.h"
#include "ociemu/internal/AttributeAccess.h"
#include "ociemu/internal/Param.h"

using namespace ociemu;

namespace ociemu {

void DescribeHandle::Clear() {
  auto params = std::move(params_);
  params_.clear();
  top.reset();
  for (auto& p : params) FreeHandle(*p);
}

std::shared_ptr<ParamHandle> DescribeHandle::MakeParam(std::shared_ptr<const DescribedParam> item) {
  auto p = std::make_shared<ParamHandle>(OCI_DTYPE_PARAM, EnvPtr());
  p->item = std::move(item);
  p->describe = this;
  p->charsetName = charsetName;
  Registry::Instance().Add(p);
  params_.push_back(p);
  return p;
}

}  // namespace ociemu

namespace {

template <class T>
void Put(void* attributep, ub4* sizep, T value) {
  PutAttribute(attributep, sizep, &value, sizeof value);
}

ub2 CharsetId(const std::string& charset, ub1 form) {
  if (form == SQLCS_NCHAR) return 2000;  // AL16UTF16
  if (charset == "UTF8") return 871;
  if (charset == "WE8MSWIN1252") return 178;
  if (charset == "WE8ISO8859P1") return 31;
  if (charset == "US7ASCII") return 1;
  return 873;  // AL32UTF8
}

bool IsCharacter(ub2 code) {
  return code == kTypeVarchar2 || code == kTypeChar || code == kTypeLong || code == kTypeClob;
}

// Bytes per character of the national character set (AL16UTF16).
constexpr ub2 kNationalCharWidth = 2;

// Attributes of a column or argument, implicit or explicit.
bool GetTypedAttribute(const ParamHandle& p, void* attributep, ub4* sizep, ub4 attrtype) {
  const DescribedParam& d = *p.item;
  const ColumnType& t = d.type;
  const ub1 form = IsCharacter(t.code) ? t.charsetForm : 0;
  const bool national = form == SQLCS_NCHAR;
  // National columns are declared in characters and stored two bytes to the character.
  const bool sized = t.code == kTypeVarchar2 || t.code == kTypeChar;
  const ub2 size = national && sized ? static_cast<ub2>(t.size * kNationalCharWidth) : t.size;
  switch (attrtype) {
    case OCI_ATTR_DATA_SIZE:
      Put<ub2>(attributep, sizep, size);
      return true;
    case OCI_ATTR_DATA_TYPE:
      Put<ub2>(attributep, sizep, t.code);
      return true;
    case OCI_ATTR_DISP_SIZE: {
      ub2 display = t.size;
      if (t.code == kTypeNumber) display = static_cast<ub2>(t.precision > 0 ? t.precision + 2 : 40);
      if (t.code == kTypeDate) display = 9;
      if (t.code == kTypeRaw) display = static_cast<ub2>(t.size * 2);
      if (t.code == kTypeRowid) display = 18;
      Put<ub2>(attributep, sizep, display);
      return true;
    }
    case OCI_ATTR_NAME:
      PutTextAttribute(attributep, sizep, d.name);
      return true;
    case OCI_ATTR_PRECISION:
      // A select list reports precision as an sb2, a described object as a ub1.
      if (p.describe) {
        Put<ub1>(attributep, sizep, static_cast<ub1>(t.precision));
      } else {
        Put<sb2>(attributep, sizep, t.precision);
      }
      return true;
    case OCI_ATTR_SCALE:
      Put<sb1>(attributep, sizep, t.scale);
      return true;
    case OCI_ATTR_IS_NULL:
      Put<ub1>(attributep, sizep, d.nullable ? 1 : 0);
      return true;
    case OCI_ATTR_TYPE_NAME:
    case OCI_ATTR_SCHEMA_NAME:
    case OCI_ATTR_SUB_NAME: {
      // Named types only; the built-in types have none.
      static const std::string none;
      PutTextAttribute(attributep, sizep, none);
      return true;
    }
    case OCI_ATTR_REF_TDO:
      Put<void*>(attributep, sizep, nullptr);
      return true;
    case OCI_ATTR_CHARSET_ID:
      Put<ub2>(attributep, sizep, form ? CharsetId(p.charsetName, form) : 0);
      return true;
    case OCI_ATTR_CHARSET_FORM:
      Put<ub1>(attributep, sizep, form);
      return true;
    case OCI_ATTR_CHAR_USED:
      Put<ub1>(attributep, sizep, national && sized ? 1 : 0);
      return true;
    case OCI_ATTR_CHAR_SIZE:
      Put<ub2>(attributep, sizep, sized ? t.size : 0);
      return true;
    case OCI_ATTR_POSITION:
      Put<ub2>(attributep, sizep, d.position);
      return true;
  }
  return false;
}

// Attributes every explicitly described parameter has.
bool GetCommonAttribute(const DescribedParam& d, void* attributep, ub4* sizep, ub4 attrtype) {
  switch (attrtype) {
    case OCI_ATTR_PTYPE:
      Put<ub1>(attributep, sizep, d.ptype);
      return true;
    case OCI_ATTR_OBJ_ID:
      Put<ub4>(attributep, sizep, d.objectId);
      return true;
    case OCI_ATTR_OBJ_NAME:
      PutTextAttribute(attributep, sizep, d.objectName);
      return true;
    case OCI_ATTR_OBJ_SCHEMA:
      PutTextAttribute(attributep, sizep, d.objectSchema);
      return true;
  }
  return false;
}

std::shared_ptr<ParamHandle> ListOf(ParamHandle& p) {
  if (!p.listParam) p.listParam = p.describe->MakeParam(p.item->list);
  return p.listParam;
}

bool GetObjectAttribute(ParamHandle& p, void* attributep, ub4* sizep, ub4 attrtype) {
  const DescribedParam& d = *p.item;
  switch (d.ptype) {
    case OCI_PTYPE_TABLE:
    case OCI_PTYPE_VIEW: {
      const bool table = d.ptype == OCI_PTYPE_TABLE;
      switch (attrtype) {
        case OCI_ATTR_OBJID:
          Put<ub4>(attributep, sizep, d.objectId);
          return true;
        case OCI_ATTR_NUM_COLS:
          Put<ub2>(attributep, sizep, static_cast<ub2>(d.list->items.size()));
          return true;
        case OCI_ATTR_LIST_COLUMNS:
          Put<void*>(attributep, sizep, ListOf(p).get());
          return true;
        case OCI_ATTR_REF_TDO:
          Put<void*>(attributep, sizep, nullptr);
          return true;
        case OCI_ATTR_IS_TEMPORARY:
        case OCI_ATTR_IS_TYPED:
          Put<ub1>(attributep, sizep, 0);
          return true;
        case OCI_ATTR_DURATION:
          Put<ub2>(attributep, sizep, OCI_DURATION_NULL);  // not a temporary table
          return true;
      }
      if (!table) return false;
      switch (attrtype) {
        case OCI_ATTR_RDBA:
          Put<ub4>(attributep, sizep, 0);
          return true;
        case OCI_ATTR_TABLESPACE:
          Put<sword>(attributep, sizep, 0);
          return true;
        case OCI_ATTR_CLUSTERED:
        case OCI_ATTR_PARTITIONED:
        case OCI_ATTR_INDEX_ONLY:
          Put<ub1>(attributep, sizep, 0);
          return true;
      }
      return false;
    }
    case OCI_PTYPE_SYN:
      switch (attrtype) {
        case OCI_ATTR_OBJID:
          Put<ub4>(attributep, sizep, d.objectId);
          return true;
        case OCI_ATTR_SCHEMA_NAME:
          PutTextAttribute(attributep, sizep, d.targetSchema);
          return true;
        case OCI_ATTR_NAME:
          PutTextAttribute(attributep, sizep, d.targetName);
          return true;
        case OCI_ATTR_LINK:
          PutTextAttribute(attributep, sizep, d.targetLink);
          return true;
      }
      return false;
    case OCI_PTYPE_LIST:
      switch (attrtype) {
        case OCI_ATTR_LTYPE:
          Put<ub1>(attributep, sizep, d.listType);
          return true;
        case OCI_ATTR_NUM_PARAMS:
          Put<ub2>(attributep, sizep, static_cast<ub2>(d.items.size()));
          return true;
      }
      return false;
    case OCI_PTYPE_PROC:
    case OCI_PTYPE_FUNC:
      switch (attrtype) {
        case OCI_ATTR_LIST_ARGUMENTS:
          Put<void*>(attributep, sizep, ListOf(p).get());
          return true;
        case OCI_ATTR_IS_INVOKER_RIGHTS:
          Put<ub1>(attributep, sizep, 0);
          return true;
      }
      return false;
    case OCI_PTYPE_COL:
      return GetTypedAttribute(p, attributep, sizep, attrtype);
    case OCI_PTYPE_ARG:
      switch (attrtype) {
        case OCI_ATTR_LEVEL:
          Put<ub2>(attributep, sizep, 0);  // scalar arguments only: no nested levels
          return true;
        case OCI_ATTR_HAS_DEFAULT:
          Put<ub1>(attributep, sizep, 0);
          return true;
        case OCI_ATTR_IOMODE:
          Put<ub4>(attributep, sizep, d.ioMode);  // an OCITypeParamMode, an enum
          return true;
        case OCI_ATTR_RADIX:
          Put<ub1>(attributep, sizep, d.radix);
          return true;
        case OCI_ATTR_TYPECODE:
          Put<ub2>(attributep, sizep, d.typecode);
          return true;
        case OCI_ATTR_LIST_ARGUMENTS:
          Put<void*>(attributep, sizep, nullptr);  // only record and collection arguments have one
          return true;
        case OCI_ATTR_LINK: {
          static const std::string none;
          PutTextAttribute(attributep, sizep, none);
          return true;
        }
      }
      return GetTypedAttribute(p, attributep, sizep, attrtype);
  }
  return false;
}

bool GetParam(ParamHandle& p, void* attributep, ub4* sizep, ub4 attrtype) {
  if (!p.describe) {
    if (GetTypedAttribute(p, attributep, sizep, attrtype)) return true;
    throw OracleError(24315);
  }
  if (GetCommonAttribute(*p.item, attributep, sizep, attrtype)) return true;
  if (GetObjectAttribute(p, attributep, sizep, attrtype)) return true;
  throw OracleError(24315);
}

}  // namespace

namespace ociemu {

bool GetDescribeAttribute(Handle& target, void* attributep, ub4* sizep, ub4 attrtype) {
  if (target.Type() == OCI_DTYPE_PARAM) {
    return GetParam(static_cast<ParamHandle&>(target), attributep, sizep, attrtype);
  }
  if (target.Type() != OCI_HTYPE_DESCRIBE) return false;
  auto& d = static_cast<DescribeHandle&>(target);
  switch (attrtype) {
    case OCI_ATTR_PARAM:
      if (!d.top) throw OracleError(24315);
      Put<void*>(attributep, sizep, d.top.get());
      return true;
    case OCI_ATTR_DESC_PUBLIC:
      Put<ub1>(attributep, sizep, d.publicSynonyms ? 1 : 0);
      return true;
    case OCI_ATTR_ENV:
      Put<void*>(attributep, sizep, d.EnvPtr().get());
      return true;
  }
  throw OracleError(24315);
}

bool SetDescribeAttribute(Handle& target, void* attributep, ub4 attrtype) {
  if (target.Type() == OCI_DTYPE_PARAM) throw OracleError(24315);
  if (target.Type() != OCI_HTYPE_DESCRIBE) return false;
  if (attrtype != OCI_ATTR_DESC_PUBLIC) throw OracleError(24315);
  if (!attributep) throw OracleError(1009);
  ub1 value;
  std::memcpy(&value, attributep, 1);
  static_cast<DescribeHandle&>(target).publicSynonyms = value != 0;
  return true;
}

std::shared_ptr<ParamHandle> ListElement(ParamHandle& list, ub4 position) {
  const DescribedParam& d = *list.item;
  if (!list.describe || d.ptype != OCI_PTYPE_LIST || position < d.firstPosition ||
      position - d.firstPosition >= d.items.size()) {
    throw OracleError(24334);
  }
  auto& slot = list.elementParams[position];
  if (!slot) slot = list.describe->MakeParam(d.items[position - d.firstPosition]);
  return slot;
}

}  // namespace ociemu

extern "C" {

sword OCIDescribeAny(OCISvcCtx* svchp, OCIError* errhp, void* objptr, ub4 objnm_len, ub1 objptr_typ,
                     ub1 /*info_level*/, ub1 objtyp, OCIDescribe* dschp) {
  return WithError("OCIDescribeAny", errhp, [&](Diagnostics*) -> sword {
    auto svc = Require<SvcCtxHandle>(svchp, OCI_HTYPE_SVCCTX);
    auto describe = Require<DescribeHandle>(dschp, OCI_HTYPE_DESCRIBE);
    CallLock lock({svc.get(), describe.get()});
    Connection& conn = svc->Live();
    conn.BeforeCall("OCIDescribeAny");
    describe->Clear();
    if (!objptr) throw OracleError(1009);
    // Types are described through their type descriptors, which this server does not keep.
    if (objptr_typ != OCI_OTYPE_NAME) throw OracleError(3001);
    if (objnm_len == 0) throw OracleError(1009);
    const std::string name(static_cast<const char*>(objptr), objnm_len);
    describe->charsetName = conn.characterSet;
    auto item = DescribeSchemaObject(svc->server->conn, name, objtyp, describe->publicSynonyms);
    describe->top = describe->MakeParam(std::move(item));
    return OCI_SUCCESS;
  });
}

}  // extern "C"
