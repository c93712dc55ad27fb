// ociemu-admin: makes and maintains emulated Oracle databases: accounts, banner, character set,
// faults, and SQL scripts run as the server would run them.
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "ociemu/admin/DemoHome.h"
#include "ociemu/admin/FaultSettings.h"
#include "ociemu/admin/SqlScript.h"
#include "ociemu/internal/Connection.h"
#include "ociemu/internal/Database.h"

namespace {

using ociemu::Account;
using ociemu::Database;

constexpr const char* kUsage = R"(usage: ociemu-admin [--data DIR | --home ORACLE_HOME] COMMAND ...

Databases are files DIR/<name>.db; DIR is --data, else --home/oradata, else $OCIEMU_DATA,
else $ORACLE_HOME/oradata. A name ending in .db is taken as a path.

  create DB                               make a new database
  account DB NAME PASSWORD [options]      add or replace an account
        --status OPEN|LOCKED|EXPIRED|GRACE  --sysdba  --sysoper  --grace-days N
  external DB OSUSER [--sysdba] [--sysoper]
                                          an account OPS$OSUSER identified by the system
  password DB NAME PASSWORD               change a password
  status DB NAME OPEN|LOCKED|EXPIRED|GRACE
  rights DB NAME [--sysdba] [--sysoper]   set the rights (those not given are taken away)
  drop-account DB NAME
  accounts DB                             list the accounts
  banner DB [TEXT]                        show or set the server banner
  charset DB NAME                         the character set (AL32UTF8, WE8MSWIN1252 ...)
  fault DB CALL [--code N [--nth N]] [--delay MS]
                                          fail an entry point ("*" for all) with ORA-N,
                                          only on its Nth call of each connection with
                                          --nth; hold it back MS milliseconds first
  lose DB N                               connections drop after N calls (ORA-03113, then
                                          ORA-03114)
  lose-in-call DB CALL N                  connections drop in the middle of CALL, after N
                                          rows fetched or written, or N PL/SQL statements
  faults DB                               list the faults
  clear-faults DB [CALL]                  remove all faults, or those set for CALL
  sql DB [--user NAME] [FILE]             run a SQL script (standard input without FILE)

  demo-home FOLDER [--library FILE] [--oramts FILE]
                                          make the demo Oracle home in FOLDER: the client
                                          library, the demo net service names and the demo
                                          database (made afresh); the libraries default to the
                                          ones built with this tool
)";

struct Options {
  std::string data;
  std::vector<std::string> args;
  std::map<std::string, std::string> flags;  // --name value, or "" for a switch
};

[[noreturn]] void Usage(const std::string& problem = "") {
  if (!problem.empty()) std::cerr << "ociemu-admin: " << problem << "\n";
  std::cerr << kUsage;
  std::exit(2);
}

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

std::string DatabaseFile(const Options& o, const std::string& name) {
  if (name.size() > 3 && name.substr(name.size() - 3) == ".db") return name;
  std::string folder = o.data;
  if (folder.empty()) folder = Env("OCIEMU_DATA");
  if (folder.empty() && !Env("ORACLE_HOME").empty()) folder = Env("ORACLE_HOME") + "/oradata";
  if (folder.empty()) Usage("no data folder: give --data or --home");
  std::string lower;
  for (char c : name) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return folder + "/" + lower + ".db";
}

std::string Status(std::string s) {
  for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (s == "GRACE") return ociemu::kStatusGrace;
  return s;
}

int Number(const std::string& text, int least = 0) {
  try {
    size_t used = 0;
    int v = std::stoi(text, &used);
    if (used != text.size() || v < least) throw std::invalid_argument(text);
    return v;
  } catch (const std::exception&) {
    Usage(least > 0 ? "not a positive number: " + text : "not a number: " + text);
  }
}

Options Parse(int argc, char** argv) {
  Options o;
  static const std::map<std::string, bool> withValue = {
      {"--data", true},    {"--home", true},     {"--status", true},  {"--grace-days", true},
      {"--code", true},    {"--delay", true},    {"--nth", true},     {"--user", true},
      {"--sysdba", false}, {"--sysoper", false}, {"--library", true}, {"--oramts", true}};
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "-h" || a == "--help") Usage();
    if (a.rfind("--", 0) == 0) {
      auto it = withValue.find(a);
      if (it == withValue.end()) Usage("unknown option " + a);
      if (it->second) {
        if (i + 1 >= argc) Usage(a + " needs a value");
        o.flags[a] = argv[++i];
      } else {
        o.flags[a] = "";
      }
    } else {
      o.args.push_back(a);
    }
  }
  if (o.flags.count("--data")) o.data = o.flags["--data"];
  if (o.flags.count("--home")) o.data = o.flags["--home"] + "/oradata";
  return o;
}

void Need(const Options& o, size_t count) {
  if (o.args.size() != count) Usage("wrong number of arguments for " + o.args[0]);
}

int Run(const Options& o) {
  if (o.args.empty()) Usage();
  const std::string& command = o.args[0];
  if (command == "demo-home") {
    Need(o, 2);
    const auto flag = [&o](const char* name, const char* fallback) {
      return o.flags.count(name) ? o.flags.at(name) : std::string(fallback);
    };
    ociemu::admin::MakeDemoHome(
        o.args[1], {flag("--library", OCIEMU_BUILT_LIBRARY), flag("--oramts", OCIEMU_BUILT_ORAMTS)},
        std::cout);
    return 0;
  }
  if (o.args.size() < 2) Usage("no database given");
  const std::string file = DatabaseFile(o, o.args[1]);
  if (command == "create") {
    Need(o, 2);
    Database::Create(file);
    std::cout << "Created " << file << "\n";
    return 0;
  }
  auto db = Database::Open(file);
  auto name = [&](size_t i) { return ociemu::NormalizeName(o.args.at(i)); };
  if (command == "account") {
    Need(o, 4);
    Account a;
    a.name = name(2);
    if (o.flags.count("--status")) a.status = Status(o.flags.at("--status"));
    if (o.flags.count("--grace-days")) a.graceDays = Number(o.flags.at("--grace-days"));
    a.sysdba = o.flags.count("--sysdba") > 0;
    a.sysoper = o.flags.count("--sysoper") > 0;
    db->PutAccount(a, o.args[3]);
    db->SetStatus(a.name, a.status);  // validates the status text
  } else if (command == "external") {
    Need(o, 3);
    Account a;
    a.name = ociemu::NormalizeName("OPS$" + o.args[2]);
    a.external = true;
    a.sysdba = o.flags.count("--sysdba") > 0;
    a.sysoper = o.flags.count("--sysoper") > 0;
    db->PutAccount(a, "");
  } else if (command == "password") {
    Need(o, 4);
    db->SetPassword(name(2), o.args[3]);
  } else if (command == "status") {
    Need(o, 4);
    db->SetStatus(name(2), Status(o.args[3]));
  } else if (command == "rights") {
    Need(o, 3);
    db->SetRights(name(2), o.flags.count("--sysdba") > 0, o.flags.count("--sysoper") > 0);
  } else if (command == "drop-account") {
    Need(o, 3);
    db->DropAccount(name(2));
  } else if (command == "accounts") {
    Need(o, 2);
    for (const auto& a : db->Accounts()) {
      std::cout << a.name << " " << a.status << (a.sysdba ? " SYSDBA" : "")
                << (a.sysoper ? " SYSOPER" : "") << (a.external ? " EXTERNAL" : "") << "\n";
    }
  } else if (command == "banner") {
    if (o.args.size() == 3) {
      db->SetSetting("banner", o.args[2]);
    } else {
      Need(o, 2);
      std::cout << db->Banner() << "\n";
    }
  } else if (command == "charset") {
    Need(o, 3);
    db->SetSetting("characterset", o.args[2]);
  } else if (command == "fault") {
    Need(o, 3);
    ociemu::Fault f;
    f.call = o.args[2];
    if (o.flags.count("--code")) f.code = Number(o.flags.at("--code"), 1);
    if (o.flags.count("--delay")) f.delayMs = Number(o.flags.at("--delay"), 1);
    if (o.flags.count("--nth")) f.nth = Number(o.flags.at("--nth"), 1);
    if (!f.code && !f.delayMs) Usage("a fault needs --code or --delay");
    if (f.nth && !f.code) Usage("--nth picks the call that fails: it needs --code");
    db->AddFault(f);
  } else if (command == "lose") {
    Need(o, 3);
    ociemu::Fault f;
    f.loseAfter = Number(o.args[2], 1);
    db->AddFault(f);
  } else if (command == "lose-in-call") {
    Need(o, 4);
    ociemu::Fault f;
    f.call = o.args[2];
    f.loseInCall = Number(o.args[3], 1);
    db->AddFault(f);
  } else if (command == "faults") {
    Need(o, 2);
    for (const auto& f : db->Faults()) std::cout << ociemu::admin::DescribeFault(f) << "\n";
  } else if (command == "clear-faults") {
    if (o.args.size() == 3) {
      ociemu::admin::ClearFaultsOf(*db, o.args[2]);
    } else {
      Need(o, 2);
      db->ClearFaults();
    }
  } else if (command == "sql") {
    if (o.args.size() > 3) Usage("sql takes one file at most");
    std::stringstream script;
    if (o.args.size() == 3) {
      std::ifstream in(o.args[2]);
      if (!in) Usage("cannot read " + o.args[2]);
      script << in.rdbuf();
    } else {
      script << std::cin.rdbuf();
    }
    const std::string user =
        ociemu::NormalizeName(o.flags.count("--user") ? o.flags.at("--user") : "SYSTEM");
    auto conn = ociemu::Connection::Open(std::move(db), o.args[1]);
    return ociemu::admin::RunScript(*conn, user, script.str(), std::cout, std::cerr) ? 0 : 1;
  } else {
    Usage("unknown command " + command);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(Parse(argc, argv));
  } catch (const std::exception& e) {
    std::cerr << "ociemu-admin: " << e.what() << "\n";
    return 1;
  }
}
