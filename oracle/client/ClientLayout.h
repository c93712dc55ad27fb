// Where a client installation keeps its libraries and network files, held as data so that the
// home discovery runs unchanged over the Windows layout and the POSIX one.
#pragma once

#include <string>
#include <vector>

namespace oracle {

// How messages name the store the Oracle homes are registered in: Windows has the registry itself,
// POSIX the .reg file standing in for it.
#ifdef _WIN32
inline constexpr const char* kRegistryWords = "the registry";
#else
inline constexpr const char* kRegistryWords = "the registry file";
#endif

struct ClientLayout {
  std::string libraryFolder;     // subfolder of a home that holds the libraries
  std::string mainLibrary;       // the client library proper
  std::string versionedPattern;  // wildcard of older version-numbered libraries; empty: none
  std::vector<std::string> searchVariables;  // PATH-like variables searched, in this order
  char listSeparator = ';';                  // between the entries of a search variable
  char pathSeparator = '\\';                 // between folder and file
  bool driveDelimiter = true;      // ':' also ends the folder part of a path (drive letters)
  std::string mtsLibrary;          // the transaction-coordinator support library
  std::string networkAdminFolder;  // network configuration below a home
  std::string net80AdminFolder;    // the same for a Net8 client without the 8.1 calls
  std::string adminFolder;         // appended to a network folder named in the registry
  // An ORACLEHOME= value that names no home of the registry may name the home's folder instead.
  // Homes there are rarely registered; a folder is how a user knows them.
  bool homeMayBeFolder = false;

  // "bin", "oci.dll", "ora*.dll", PATH with ';', '\\', "oramts.dll".
  static ClientLayout Windows();
  // "lib", "libclntsh.so", no versioned libraries, LD_LIBRARY_PATH then PATH with ':', '/',
  // "liboramts.so". An Instant Client folder holds libclntsh.so with no lib subfolder, which the
  // discovery recognises as a home without its library folder.
  static ClientLayout Posix();
  // The layout of the platform this program was built for.
  static ClientLayout Native();

  bool isDelimiter(char c) const { return c == pathSeparator || (driveDelimiter && c == ':'); }
  // The folder part of a path: the text before the last delimiter, without a trailing separator
  // except for a root ("C:\\", "\\", "/"). Empty when the path has no folder part.
  std::string extractFileDir(const std::string& path) const;
  // The folder part including the last delimiter; empty when there is none.
  std::string extractFilePath(const std::string& path) const;
  // The text after the last delimiter.
  std::string extractFileName(const std::string& path) const;
};

}  // namespace oracle
