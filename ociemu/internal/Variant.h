// Which interface generation this library presents, read from its own export list: the same
// code serves every variant, and the few behaviours that changed between client releases
// follow the entry points the variant exports.
#pragma once

#include "ociemu/Oci.h"

namespace ociemu {

// Whether this library exports name.
bool ExportsName(const char* name);
// The parse-error-offset attribute: 128 for a client without the 8.1 calls, 129 after.
ub4 ParseErrorOffsetAttribute();

}  // namespace ociemu
