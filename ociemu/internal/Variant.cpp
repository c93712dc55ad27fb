// Export-list probing through the dynamic linker: dlsym finds only exported names.
#include "ociemu/internal/Variant.h"

#include <dlfcn.h>

#include "ociemu/internal/Home.h"

namespace ociemu {

bool ExportsName(const char* name) {
  const std::string self = ModulePath();
  void* handle = dlopen(self.c_str(), RTLD_LAZY | RTLD_NOLOAD);
  if (!handle) return false;
  bool found = dlsym(handle, name) != nullptr;
  dlclose(handle);
  return found;
}

ub4 ParseErrorOffsetAttribute() {
  static const ub4 attribute = ExportsName("OCIEnvCreate") ? OCI_ATTR_PARSE_ERROR_OFFSET : 128;
  return attribute;
}

}  // namespace ociemu
