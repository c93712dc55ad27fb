// The client library's version, asked of the library itself.
#include "oracle/client/ClientVersion.h"

#include "oracle/client/ClientLibrary.h"
#include "oracle/client/internal/BindingState.h"
#include "platform/Libraries.h"
#include "platform/Services.h"

namespace oracle {

std::string ClientLibraryVersion() {
  const auto& s = internal::State();
  if (s.OCILibHandle == nullptr) return {};
  // Not one of the bound groups: only clients from 10g on have it, and nothing else needs it.
  using ClientVersionCall = void (*)(int*, int*, int*, int*, int*);
  auto* call = reinterpret_cast<ClientVersionCall>(
      platform::libraries().symbol(s.OCILibHandle, "OCIClientVersion"));
  if (call == nullptr) return {};
  int part[5] = {};
  call(&part[0], &part[1], &part[2], &part[3], &part[4]);
  std::string text;
  for (int value : part) text += (text.empty() ? "" : ".") + std::to_string(value);
  return text;
}

std::string ClientInterfaceLevel() {
  if (!OCILoaded()) return {};
  if (!UseOCI8()) return "OCI7";
  std::string text = "OCI8";
  if (UseNet81()) text += UseNet9() ? " with the 8.1 and 9 calls" : " with the 8.1 calls";
  if (UseSessionPool()) text += ", session pool";
  return text;
}

}  // namespace oracle
