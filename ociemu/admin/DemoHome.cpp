// Making the demo home from the files built into ociemu-admin.
#include "ociemu/admin/DemoHome.h"

#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <stdexcept>

#include "ociemu/admin/DemoFiles.h"
#include "ociemu/admin/SqlScript.h"
#include "ociemu/internal/Connection.h"
#include "ociemu/internal/Database.h"

namespace ociemu::admin {
namespace {

namespace fs = std::filesystem;

void writeFile(const fs::path& path, const std::string& content) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << content;
  if (!file) throw std::runtime_error("cannot write " + path.string());
}

void copyLibrary(const std::string& from, const fs::path& to) {
  if (!fs::is_regular_file(from)) throw std::runtime_error("no library " + from);
  fs::copy_file(from, to, fs::copy_options::overwrite_existing);
}

std::string replaced(std::string text, const std::string& mark, const std::string& value) {
  for (std::size_t at = text.find(mark); at != std::string::npos;
       at = text.find(mark, at + value.size()))
    text.replace(at, mark.size(), value);
  return text;
}

}  // namespace

void MakeDemoHome(const std::string& folder, const DemoHomeParts& parts, std::ostream& out) {
  const fs::path home = fs::absolute(folder).lexically_normal();
  const fs::path admin = home / "network" / "admin";
  const fs::path data = home / "oradata";
  for (const fs::path& dir : {home / "lib", admin, data}) fs::create_directories(dir);

  copyLibrary(parts.library, home / "lib" / "libclntsh.so");
  if (!parts.oramts.empty()) copyLibrary(parts.oramts, home / "lib" / "liboramts.so");

  // The included file is named by its full path, as a client reads a relative one from the
  // current directory; that path is this home's own.
  writeFile(admin / "tnsnames.ora", replaced(kDemoTnsNames, "@DEMO_ADMIN@", admin.string()));
  writeFile(admin / "more_names.ora", kDemoMoreNames);
  writeFile(admin / "sqlnet.ora", kDemoSqlNet);

  const fs::path file = data / "demo.db";
  for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(file.string() + suffix);
  Database::Create(file.string());
  {
    auto db = Database::Open(file.string());
    const auto account = [&db](const char* name, const char* password, const char* status,
                               bool sysdba, bool sysoper, int graceDays = 0) {
      Account a;
      a.name = NormalizeName(name);
      a.status = status;
      a.sysdba = sysdba;
      a.sysoper = sysoper;
      if (graceDays > 0) a.graceDays = graceDays;
      db->PutAccount(a, password);
      db->SetStatus(a.name, a.status);
    };
    account("SCOTT", "tiger", "OPEN", false, false);
    account("SYSTEM", "manager", "OPEN", true, false);
    account("OPERATOR", "operator", "OPEN", false, true);
    account("LOCKED_USER", "locked", "LOCKED", false, false);
    account("EXPIRED_USER", "expired", "EXPIRED", false, false);
    account("GRACE_USER", "grace", kStatusGrace, false, false, 5);
    auto conn = Connection::Open(std::move(db), "demo");
    std::ostringstream log;
    if (!RunScript(*conn, NormalizeName("SCOTT"), kDemoSql, log, log))
      throw std::runtime_error("the demo script failed: " + log.str());
  }
  out << "Made the demo Oracle home " << home.string() << "\n"
      << "  export ORACLE_HOME=" << home.string() << "\n";
}

}  // namespace ociemu::admin
