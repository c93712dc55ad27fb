// dlopen and friends; the path of a loaded library from its link map.
#include "platform/DlLibraries.h"

#include <dlfcn.h>

#include <cstdlib>
#if defined(__GLIBC__) || defined(__FreeBSD__)
#define DBL_HAVE_DLINFO 1
#include <link.h>
#endif

namespace platform {

LoadResult DlLibraries::load(const std::string& path) {
  LoadResult result;
  if (path.empty()) {
    result.error = "empty library file name";
    return result;
  }
  ::dlerror();
  result.handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (result.handle == nullptr) {
    const char* reason = ::dlerror();
    result.error = reason != nullptr ? reason : "the library could not be loaded";
  }
  return result;
}

void* DlLibraries::symbol(LibraryHandle library, const char* name) {
  if (library == nullptr || name == nullptr) return nullptr;
  return ::dlsym(library, name);
}

void DlLibraries::free(LibraryHandle library) {
  if (library != nullptr) ::dlclose(library);
}

std::string DlLibraries::pathOf(LibraryHandle library) {
  if (library == nullptr) return {};
#ifdef DBL_HAVE_DLINFO  // RTLD_DI_LINKMAP is an enumerator in glibc, not a macro
  link_map* map = nullptr;
  if (::dlinfo(library, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr || map->l_name == nullptr ||
      map->l_name[0] == '\0') {
    return {};
  }
  // The link map holds the name as the loader found it, relative when it was loaded so.
  char* real = ::realpath(map->l_name, nullptr);
  if (real == nullptr) return map->l_name;
  std::string path(real);
  std::free(real);
  return path;
#else
  return {};
#endif
}

}  // namespace platform
