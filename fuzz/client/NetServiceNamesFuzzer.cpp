// Reads arbitrary tnsnames.ora and sqlnet.ora texts, with the files they include, into the alias
// list. The input is cut at NUL bytes into up to five files of an in-memory file system:
// tnsnames.ora, the sqlnet.ora beside it, and three files an IFILE line may name (a.ora,
// sub/b.ora and the absolute /other/c.ora). The first byte switches the stripping of any default
// domain. Any crash, hang, leak or sanitizer report is a finding.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "oracle/client/NetServiceNames.h"
#include "oracle/client/internal/BindingState.h"
#include "platform/Services.h"
#include "support/FakeFileSystem.h"

namespace {

constexpr const char* kFiles[] = {"/admin/tnsnames.ora", "/admin/sqlnet.ora", "/admin/a.ora",
                                  "/admin/sub/b.ora", "/other/c.ora"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
  testsupport::FakeFileSystem files('/', false);
  for (const char* path : kFiles) {
    const std::size_t end = input.find('\0');
    files.addFile(path, std::string(input.substr(0, end)));
    if (end == std::string_view::npos) break;
    input.remove_prefix(end + 1);
  }
  platform::Services services;
  services.fileSystem = &files;
  platform::ScopedServices scope(services);

  auto& state = oracle::internal::State();
  state.TNSNamesFile = kFiles[0];  // located already: no client library is loaded
  state.StripDefaultDomain = (data[0] & 1) != 0;
  oracle::BuildAliasList();
  const oracle::SortedNameList* aliases = oracle::GetAliasList();
  if (aliases == nullptr) __builtin_trap();

  state.OracleAliases.reset();
  state.DefaultDomain.clear();
  state.includedFiles.clear();
  state.TNSNamesFile.clear();
  return 0;
}
