// Homes in temporary folders over the engine's database class.
#include "ociemu/testing/OracleHome.h"

#include <dlfcn.h>
#include <stdlib.h>

#include <algorithm>
#include <fstream>
#include <stdexcept>

#include "ociemu/internal/Database.h"
#include "ociemu/testing/VariantPaths.h"

namespace ociemu::testing {
namespace fs = std::filesystem;

namespace {

const char* StatusText(Status status) {
  switch (status) {
    case Status::Open:
      return kStatusOpen;
    case Status::Locked:
      return kStatusLocked;
    case Status::Expired:
      return kStatusExpired;
    case Status::ExpiredGrace:
      return kStatusGrace;
  }
  return kStatusOpen;
}

template <class F>
F Symbol(void* library, const char* name) {
  return library ? reinterpret_cast<F>(dlsym(library, name)) : nullptr;
}

}  // namespace

const char* VariantName(Variant variant) {
  switch (variant) {
    case Variant::Oci7:
      return "oci7";
    case Variant::Oci8:
      return "oci8";
    case Variant::Oci81:
      return "oci81";
    case Variant::Net9:
      return "net9";
    case Variant::Full:
      return "full";
  }
  return "full";
}

fs::path VariantLibrary(Variant variant) {
  return fs::path(kOciemuVariantsDir) / VariantName(variant) / "libclntsh.so";
}

fs::path VariantOraMts(Variant variant) {
  return fs::path(kOciemuVariantsDir) / VariantName(variant) / "liboramts.so";
}

fs::path DemoHome() {
  return fs::path(kOciemuDemoHome);
}

TestDatabase::TestDatabase(const fs::path& file)
    : file_(file), db_(Database::Open(file.string())) {}
TestDatabase::~TestDatabase() = default;
TestDatabase::TestDatabase(TestDatabase&&) noexcept = default;
TestDatabase& TestDatabase::operator=(TestDatabase&&) noexcept = default;

void TestDatabase::AddAccount(const std::string& name, const std::string& password, Status status,
                              Rights rights) {
  Account a;
  a.name = NormalizeName(name);
  a.status = StatusText(status);
  a.sysdba = rights.sysdba;
  a.sysoper = rights.sysoper;
  db_->PutAccount(a, password);
}

void TestDatabase::AddExternalAccount(const std::string& osUser, Rights rights) {
  Account a;
  a.name = NormalizeName("OPS$" + osUser);
  a.external = true;
  a.sysdba = rights.sysdba;
  a.sysoper = rights.sysoper;
  db_->PutAccount(a, "");
}

void TestDatabase::SetStatus(const std::string& name, Status status) {
  db_->SetStatus(NormalizeName(name), StatusText(status));
}

void TestDatabase::SetPassword(const std::string& name, const std::string& password) {
  db_->SetPassword(NormalizeName(name), password);
}

void TestDatabase::SetRights(const std::string& name, Rights rights) {
  db_->SetRights(NormalizeName(name), rights.sysdba, rights.sysoper);
}

void TestDatabase::SetGraceDays(const std::string& name, int days) {
  db_->SetGraceDays(NormalizeName(name), days);
}

bool TestDatabase::CheckPassword(const std::string& name, const std::string& password) const {
  return db_->CheckPassword(NormalizeName(name), password);
}

void TestDatabase::SetBanner(const std::string& banner) {
  db_->SetSetting("banner", banner);
}

void TestDatabase::SetCharacterSet(const std::string& charset) {
  db_->SetSetting("characterset", charset);
}

void TestDatabase::FailCall(const std::string& call, int oracleCode) {
  db_->AddFault(Fault{call, oracleCode, 0, 0, 0, 0});
}

void TestDatabase::FailNthCall(const std::string& call, int oracleCode, int nth) {
  db_->AddFault(Fault{call, oracleCode, 0, 0, nth, 0});
}

void TestDatabase::LoseConnectionInCall(const std::string& call, int units) {
  db_->AddFault(Fault{call, 0, 0, 0, 0, units});
}

void TestDatabase::DelayCall(const std::string& call, int milliseconds) {
  db_->AddFault(Fault{call, 0, milliseconds, 0, 0, 0});
}

void TestDatabase::LoseConnectionAfter(int calls) {
  db_->AddFault(Fault{"*", 0, 0, calls, 0, 0});
}

void TestDatabase::ClearFaults() {
  db_->ClearFaults();
}

void TestDatabase::ExecuteRaw(const std::string& sql) {
  db_->Exec(sql);
}

OracleHome::OracleHome(Variant variant) {
  std::string pattern = (fs::temp_directory_path() / "ociemu-home-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
  root_ = pattern;
  fs::create_directories(root_ / "lib");
  fs::create_directories(AdminFolder());
  fs::create_directories(DataFolder());
  fs::copy_file(VariantLibrary(variant), LibraryPath());
  fs::copy_file(VariantOraMts(variant), OraMtsPath());
}

OracleHome::~OracleHome() {
  std::error_code ec;
  fs::remove_all(root_, ec);
}

void OracleHome::WriteFile(const fs::path& relative, const std::string& text) {
  fs::path file = root_ / relative;
  fs::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << text;
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

void OracleHome::SetTnsNames(const std::string& text) {
  WriteFile("network/admin/tnsnames.ora", text);
}

void OracleHome::SetSqlNet(const std::string& text) {
  WriteFile("network/admin/sqlnet.ora", text);
}

fs::path OracleHome::DatabaseFile(const std::string& name) const {
  std::string lower = name;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return DataFolder() / (lower + ".db");
}

TestDatabase OracleHome::CreateDatabase(const std::string& name) {
  Database::Create(DatabaseFile(name).string());
  return TestDatabase(DatabaseFile(name));
}

TestDatabase OracleHome::OpenDatabase(const std::string& name) {
  return TestDatabase(DatabaseFile(name));
}

long LiveHandles(void* library) {
  auto f = Symbol<long (*)()>(library, "ociemu_live_handles");
  return f ? f() : -1;
}

long LiveConnections(void* library) {
  auto f = Symbol<long (*)()>(library, "ociemu_live_connections");
  return f ? f() : -1;
}

long CallCount(void* library, const char* entryPoint) {
  auto f = Symbol<long (*)(const char*)>(library, "ociemu_call_count");
  return f ? f(entryPoint) : -1;
}

void ResetCallCounts(void* library) {
  if (auto f = Symbol<void (*)()>(library, "ociemu_reset_call_counts")) f();
}

}  // namespace ociemu::testing
