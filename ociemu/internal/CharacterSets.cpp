// The numbers are those of Oracle's NLS data (NLS_CHARSET_ID gives the same).
#include "ociemu/internal/CharacterSets.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace ociemu {
namespace {

struct CharacterSet {
  ub2 id;
  const char* name;
  sb4 maxBytes;
  bool fixed;
};

constexpr CharacterSet kSets[] = {
    {1, "US7ASCII", 1, true},       {31, "WE8ISO8859P1", 1, true}, {46, "WE8ISO8859P15", 1, true},
    {178, "WE8MSWIN1252", 1, true}, {871, "UTF8", 3, false},       {873, "AL32UTF8", 4, false},
    {2000, "AL16UTF16", 2, true},
};

const CharacterSet* ById(ub2 id) {
  for (const auto& s : kSets) {
    if (s.id == id) return &s;
  }
  return nullptr;
}

}  // namespace

ub2 CharacterSetId(const std::string& name) {
  std::string upper;
  for (char c : name) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  for (const auto& s : kSets) {
    if (upper == s.name) return s.id;
  }
  return 0;
}

const char* CharacterSetName(ub2 id) {
  const CharacterSet* s = ById(id);
  return s ? s->name : nullptr;
}

sb4 MaxBytesPerCharacter(ub2 id) {
  const CharacterSet* s = ById(id);
  return s ? s->maxBytes : 1;
}

sb4 FixedWidth(ub2 id) {
  const CharacterSet* s = ById(id);
  return s && s->fixed ? 1 : 0;
}

ub2 NlsLangCharacterSet() {
  const char* lang = std::getenv("NLS_LANG");
  const char* dot = lang ? std::strrchr(lang, '.') : nullptr;
  const ub2 id = dot ? CharacterSetId(dot + 1) : 0;
  return id ? id : 1;
}

}  // namespace ociemu
