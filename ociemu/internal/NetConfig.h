// Resolution of a database text given at logon, as the client's naming does it: a net service
// name from tnsnames.ora (with the sqlnet.ora default domain and ifile includes), a connect
// descriptor, an Easy Connect text, or empty for the local default database.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace ociemu {

struct ConnectTarget {
  std::string host;     // empty for a local (bequeath/IPC) connection
  std::string service;  // SERVICE_NAME or SID
};

// The aliases of a tnsnames.ora file and the files it includes, upper-cased, each with its
// value text. Later definitions do not replace earlier ones.
std::map<std::string, std::string> ReadTnsNames(const std::string& file);

// names.default_domain of the sqlnet.ora in folder, or "".
std::string ReadDefaultDomain(const std::string& folder);

// A connect descriptor's host and service. Throws OracleError 12154 for a malformed text and
// 12504 when it names no service.
ConnectTarget ParseDescriptor(std::string_view text);

// host[:port][/service[:server][/instance]], optionally led by "//".
ConnectTarget ParseEasyConnect(std::string_view text);

// The whole resolution; throws OracleError 12154 for an unknown name.
ConnectTarget ResolveConnectText(std::string_view text);

// Whether host names this machine.
bool IsLocalHost(const std::string& host);

// The database file for a service: <data folder>/<service>.db, trying the service without its
// domain as well. Throws OracleError 12514 when there is none.
std::string DatabaseFileFor(const std::string& service);

}  // namespace ociemu
