// Oracle's character sets as the client names and numbers them, for the sets ociemu knows.
#pragma once

#include <string>

#include "ociemu/Oci.h"

namespace ociemu {

// The id of an Oracle character set name (any case); 0 for one ociemu does not know.
ub2 CharacterSetId(const std::string& name);
// The name of an id; null for one ociemu does not know.
const char* CharacterSetName(ub2 id);
// The most bytes one character takes, and whether every character takes that many (1 or 0).
sb4 MaxBytesPerCharacter(ub2 id);
sb4 FixedWidth(ub2 id);
// The character set part of NLS_LANG (language_territory.charset); US7ASCII when it names none.
ub2 NlsLangCharacterSet();

}  // namespace ociemu
