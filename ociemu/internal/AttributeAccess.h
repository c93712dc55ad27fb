// Attribute plumbing shared by the handle families: writing a value of the attribute's C type
// to the caller's variable, and the statement family's own attributes.
#pragma once

#include <string>

#include "ociemu/internal/Handles.h"

namespace ociemu {

// Copies size bytes of value to attributep and reports the size.
void PutAttribute(void* attributep, ub4* sizep, const void* value, ub4 size);
// Hands out a pointer to text the handle keeps, with its length in *sizep.
void PutTextAttribute(void* attributep, ub4* sizep, const std::string& text);
ub4 ReadUb4(const void* attributep);

// Attributes of statements, binds, defines, parameters and ROWID descriptors; false when the
// handle is not one of those (OracleError 24315 for an unknown attribute of one).
bool SetStatementAttribute(Handle& target, void* attributep, ub4 size, ub4 attrtype);
bool GetStatementAttribute(Handle& target, void* attributep, ub4* sizep, ub4 attrtype);

// Attributes of session pools; false when the handle is no session pool.
bool SetPoolAttribute(Handle& target, void* attributep, ub4 attrtype);
bool GetPoolAttribute(Handle& target, void* attributep, ub4* sizep, ub4 attrtype);

}  // namespace ociemu
