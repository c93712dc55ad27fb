// Client layouts and the path-splitting rules that go with them.
#include "oracle/client/ClientLayout.h"

namespace oracle {

ClientLayout ClientLayout::Windows() {
  ClientLayout l;
  l.libraryFolder = "bin";
  l.mainLibrary = "oci.dll";
  l.versionedPattern = "ora*.dll";
  l.searchVariables = {"PATH"};
  l.listSeparator = ';';
  l.pathSeparator = '\\';
  l.driveDelimiter = true;
  l.mtsLibrary = "oramts.dll";
  l.networkAdminFolder = "Network\\Admin";
  l.net80AdminFolder = "Net80\\Admin";
  l.adminFolder = "Admin";
  return l;
}

ClientLayout ClientLayout::Posix() {
  ClientLayout l;
  l.libraryFolder = "lib";
  l.mainLibrary = "libclntsh.so";
  l.versionedPattern = "";
  l.searchVariables = {"LD_LIBRARY_PATH", "PATH"};
  l.listSeparator = ':';
  l.pathSeparator = '/';
  l.driveDelimiter = false;
  l.mtsLibrary = "liboramts.so";
  l.networkAdminFolder = "network/admin";
  l.net80AdminFolder = "net80/admin";
  l.adminFolder = "admin";
  l.homeMayBeFolder = true;
  return l;
}

ClientLayout ClientLayout::Native() {
#ifdef _WIN32
  return Windows();
#else
  return Posix();
#endif
}

namespace {

// Index of the last delimiter, or npos.
std::size_t LastDelimiter(const ClientLayout& layout, const std::string& path) {
  for (std::size_t i = path.size(); i > 0; --i) {
    if (layout.isDelimiter(path[i - 1])) return i - 1;
  }
  return std::string::npos;
}

}  // namespace

std::string ClientLayout::extractFileDir(const std::string& path) const {
  std::size_t i = LastDelimiter(*this, path);
  if (i == std::string::npos) return "";
  // Keep the separator of a root: "C:\\x" gives "C:\\", "\\x" gives "\\".
  if (i > 0 && path[i] == pathSeparator && !isDelimiter(path[i - 1])) return path.substr(0, i);
  return path.substr(0, i + 1);
}

std::string ClientLayout::extractFilePath(const std::string& path) const {
  std::size_t i = LastDelimiter(*this, path);
  return i == std::string::npos ? "" : path.substr(0, i + 1);
}

std::string ClientLayout::extractFileName(const std::string& path) const {
  std::size_t i = LastDelimiter(*this, path);
  return i == std::string::npos ? path : path.substr(i + 1);
}

}  // namespace oracle
