// The demo Oracle home: the emulated client, the demo net service names and the demo database
// with an account for every logon outcome, made in any folder. Everything in it is its own: the
// library is copied, and the one path in its files (the included names file) is its own folder.
#pragma once

#include <iosfwd>
#include <string>

namespace ociemu::admin {

struct DemoHomeParts {
  std::string library;  // the client library to copy in as lib/libclntsh.so
  std::string oramts;   // the transaction-coordinator library, lib/liboramts.so; empty: none
};

// Makes or remakes the home in `folder` (created when missing; the database is made afresh).
// Raises std::exception with the reason when a file cannot be written or a library read.
void MakeDemoHome(const std::string& folder, const DemoHomeParts& parts, std::ostream& out);

}  // namespace ociemu::admin
