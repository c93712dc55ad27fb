// The home is derived from the library's own path, so a copied or linked libclntsh.so serves
// the home it sits in.
#include "ociemu/internal/Home.h"

#include <dlfcn.h>

#include <cstdlib>

namespace ociemu {
namespace {

std::string Parent(const std::string& path) {
  auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

}  // namespace

std::string ModulePath() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&ModulePath), &info) == 0 || info.dli_fname == nullptr) {
    return "";
  }
  return info.dli_fname;
}

std::string OracleHome() {
  return Parent(Parent(ModulePath()));
}

std::string EnvironmentValue(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

std::string NetworkAdminFolder() {
  std::string tnsAdmin = EnvironmentValue("TNS_ADMIN");
  if (!tnsAdmin.empty()) return tnsAdmin;
  return OracleHome() + "/network/admin";
}

std::string DataFolder() {
  std::string data = EnvironmentValue("OCIEMU_DATA");
  if (!data.empty()) return data;
  return OracleHome() + "/oradata";
}

}  // namespace ociemu
