// The attributes a client of the 19c generation adds to the handles of the older ones.
#pragma once

#include "ociemu/internal/Handles.h"

namespace ociemu {

// True when the attribute is one of them and was set or read; throws OracleError otherwise
// when the handle knows the attribute but not the value.
bool SetClientAttribute(Handle& target, void* attributep, ub4 size, ub4 attrtype);
bool GetClientAttribute(Handle& target, void* attributep, ub4* sizep, ub4 attrtype);

// The character sets an environment was made with (OCIEnvNlsCreate; 0 means NLS_LANG's).
void SetEnvironmentCharacterSets(Environment& env, ub2 charset, ub2 ncharset);
ub2 EnvironmentCharacterSet(Environment& env);
ub2 EnvironmentNationalCharacterSet(Environment& env);

}  // namespace ociemu
