// What the server tells a describe: a select-list column, or a schema object as a tree of
// parameters (a table or view with its column list, a procedure or function with its argument
// list, a synonym with its translation). The
// tree is immutable once built, so the parameter descriptors handed to the application can
// share it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ociemu/Oci.h"
#include "ociemu/internal/ColumnType.h"

namespace ociemu {

class Connection;
struct ColumnDesc;

struct DescribedParam {
  ub1 ptype = OCI_PTYPE_UNK;
  // The column's or argument's name; for a schema object its own name.
  std::string name;
  // The top-level schema object this parameter belongs to.
  std::string objectName;
  std::string objectSchema;
  ub4 objectId = 0;

  // Columns and arguments.
  ColumnType type;
  bool nullable = true;
  ub2 position = 0;

  // Arguments of procedures and functions (position 0 is a function's result).
  ub4 ioMode = OCI_TYPEPARAM_IN;
  ub2 typecode = 0;
  ub1 radix = 0;

  // Synonyms: the object the synonym translates to.
  std::string targetSchema;
  std::string targetName;
  std::string targetLink;

  // Lists: their kind and elements; element i has position firstPosition + i.
  ub1 listType = OCI_LTYPE_UNK;
  ub4 firstPosition = 1;
  std::vector<std::shared_ptr<const DescribedParam>> items;

  // The column list of a table or view, the argument list of a procedure or function.
  std::shared_ptr<const DescribedParam> list;
};

// A select-list column as an implicit describe reports it.
std::shared_ptr<const DescribedParam> SelectListParam(const ColumnDesc& column, ub2 position);

// Describes the schema object named as OCIDescribeAny takes names: name1[.name2][@link],
// unquoted parts upper-cased. wanted is the OCI_PTYPE_* the caller asks for (OCI_PTYPE_UNK for
// whatever the name is). A synonym is itself described when the caller asks for a synonym or
// for anything; asked for another type, the synonym is followed to its object. Throws
// OracleError: ORA-04043 when there is no such object (or it is not of the wanted type),
// ORA-03001 for packages, whose subprogram lists are not described.
std::shared_ptr<const DescribedParam> DescribeSchemaObject(const std::shared_ptr<Connection>& conn,
                                                           const std::string& name, ub1 wanted,
                                                           bool publicSynonymsOnly);

}  // namespace ociemu
