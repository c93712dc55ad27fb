// The in-memory loader: exports resolve to small functions of this file.
#include "FakeLibraries.h"

namespace oracle::testing {
namespace {

struct StartCalls {
  std::mutex mutex;
  std::map<std::string, int> count;
  std::map<std::string, unsigned> mode;
};

StartCalls& Recorded() {
  static StartCalls calls;
  return calls;
}

void Record(const char* name, unsigned mode) {
  std::lock_guard lock(Recorded().mutex);
  ++Recorded().count[name];
  Recorded().mode[name] = mode;
}

int FakeOpinit(unsigned mode) {
  Record("opinit", mode);
  return 0;
}

int FakeOCIInitialize(unsigned mode, void*, void*, void*, void*) {
  Record("OCIInitialize", mode);
  return 0;
}

// Every other export: never called by the binding, only resolved.
int FakeExport() { return 0; }

}  // namespace

int FakeLibraries::Calls(const std::string& name) {
  std::lock_guard lock(Recorded().mutex);
  return Recorded().count[name];
}

unsigned FakeLibraries::LastMode(const std::string& name) {
  std::lock_guard lock(Recorded().mutex);
  return Recorded().mode[name];
}

void FakeLibraries::ResetCalls() {
  std::lock_guard lock(Recorded().mutex);
  Recorded().count.clear();
  Recorded().mode.clear();
}

platform::LoadResult FakeLibraries::load(const std::string& path) {
  platform::LoadResult result;
  const auto it = libraries_.find(path);
  if (it == libraries_.end()) {
    result.error = path + ": cannot open shared object file: No such file or directory";
  } else if (!it->second.loadsOnlyFrom.empty() &&
             currentDirectory_() != it->second.loadsOnlyFrom) {
    result.error = "dependency of " + path + " not found";
  } else {
    ++loads_;
    result.handle = &it->second;
  }
  return result;
}

void* FakeLibraries::symbol(platform::LibraryHandle library, const char* name) {
  const auto* served = static_cast<const Library*>(library);
  if (served == nullptr || served->exports.count(name) == 0) return nullptr;
  const std::string n(name);
  if (n == "opinit") return reinterpret_cast<void*>(&FakeOpinit);
  if (n == "OCIInitialize") return reinterpret_cast<void*>(&FakeOCIInitialize);
  return reinterpret_cast<void*>(&FakeExport);
}

void FakeLibraries::free(platform::LibraryHandle library) {
  if (library != nullptr) ++frees_;
}

std::string FakeLibraries::pathOf(platform::LibraryHandle library) {
  for (const auto& [path, served] : libraries_) {
    if (&served == library) return path;
  }
  return "";
}

}  // namespace oracle::testing
