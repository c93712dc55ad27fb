// Parameter descriptors and describe handles. A parameter descriptor shows one node of a
// describe: a select-list column of a statement (implicit describe), or a schema object, list,
// column or argument from OCIDescribeAny (explicit describe). The descriptors an explicit
// describe hands out belong to its describe handle and go with it.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ociemu/internal/Describe.h"
#include "ociemu/internal/Handles.h"

namespace ociemu {

class DescribeHandle;

class ParamHandle : public Handle {
 public:
  using Handle::Handle;
  std::shared_ptr<const DescribedParam> item;
  // The database character set, for the character set id of character columns.
  std::string charsetName;
  // Made by OCIDescribeAny: some attributes have the explicit describe's C types (precision
  // is a ub1 there, an sb2 in a select list), and lists lead to further descriptors.
  DescribeHandle* describe = nullptr;
  // Descriptors already handed out for this one's list and its elements, so that asking
  // twice gives the same pointer.
  std::shared_ptr<ParamHandle> listParam;
  std::map<ub4, std::shared_ptr<ParamHandle>> elementParams;
};

class DescribeHandle : public Handle {
 public:
  using Handle::Handle;
  void Release() override { Clear(); }
  // Frees the descriptors of the previous describe.
  void Clear();
  // A descriptor for item, owned by this handle.
  std::shared_ptr<ParamHandle> MakeParam(std::shared_ptr<const DescribedParam> item);

  std::shared_ptr<ParamHandle> top;
  bool publicSynonyms = false;  // OCI_ATTR_DESC_PUBLIC
  std::string charsetName;

 private:
  std::vector<std::shared_ptr<ParamHandle>> params_;
};

// Attributes of parameter descriptors and describe handles; false when target is neither.
// Throws OracleError 24315 for an attribute the parameter does not have.
bool GetDescribeAttribute(Handle& target, void* attributep, ub4* sizep, ub4 attrtype);
bool SetDescribeAttribute(Handle& target, void* attributep, ub4 attrtype);
// OCIParamGet on a list parameter (htype OCI_DTYPE_PARAM).
std::shared_ptr<ParamHandle> ListElement(ParamHandle& list, ub4 position);

}  // namespace ociemu
