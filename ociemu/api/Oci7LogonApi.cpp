// OCI7 logon, logoff, messages and transaction calls, and the conversions between an OCI8
// service context and an OCI7 logon data area.
#include <cstring>
#include <optional>
#include <vector>

#include "ociemu/internal/Api.h"
#include "ociemu/internal/Lasting.h"
#include "ociemu/internal/Oci7.h"

using namespace ociemu;

namespace ociemu {

Oci7Registry& Oci7Registry::Instance() {
  return Lasting<Oci7Registry>();
}

std::shared_ptr<Logon7> Oci7Registry::FindLogon(const void* lda) const {
  std::lock_guard<std::mutex> g(mutex_);
  auto it = logons_.find(lda);
  return it == logons_.end() ? nullptr : it->second;
}

void Oci7Registry::PutLogon(const void* lda, std::shared_ptr<Logon7> logon) {
  std::lock_guard<std::mutex> g(mutex_);
  logons_[lda] = std::move(logon);
}

std::shared_ptr<Logon7> Oci7Registry::TakeLogon(const void* lda) {
  std::lock_guard<std::mutex> g(mutex_);
  auto it = logons_.find(lda);
  if (it == logons_.end()) return nullptr;
  auto logon = std::move(it->second);
  logons_.erase(it);
  return logon;
}

std::shared_ptr<Cursor7> Oci7Registry::FindCursor(const void* cda) const {
  std::lock_guard<std::mutex> g(mutex_);
  auto it = cursors_.find(cda);
  return it == cursors_.end() ? nullptr : it->second;
}

void Oci7Registry::PutCursor(const void* cda, std::shared_ptr<Cursor7> cursor) {
  std::lock_guard<std::mutex> g(mutex_);
  cursors_[cda] = std::move(cursor);
}

std::shared_ptr<Cursor7> Oci7Registry::TakeCursor(const void* cda) {
  std::lock_guard<std::mutex> g(mutex_);
  auto it = cursors_.find(cda);
  if (it == cursors_.end()) return nullptr;
  auto cursor = std::move(it->second);
  cursors_.erase(it);
  return cursor;
}

void Oci7Registry::DropCursors(const Logon7* logon) {
  std::vector<std::shared_ptr<Cursor7>> dropped;  // destroyed after the lock is released
  std::lock_guard<std::mutex> g(mutex_);
  for (auto it = cursors_.begin(); it != cursors_.end();) {
    if (it->second->logon.get() == logon) {
      dropped.push_back(std::move(it->second));
      it = cursors_.erase(it);
    } else {
      ++it;
    }
  }
}

void SetReturnCode(Cda_Def* cda, int code, ub1 functionCode) {
  if (!cda) return;
  cda->rc = static_cast<ub2>(code);
  // The V2 code: 4 for "no data", -1 for other errors.
  cda->v2_rc = static_cast<sb2>(code == 0 ? 0 : (code == 1403 ? 4 : -1));
  cda->fc = functionCode;
  cda->ose = 0;
}

}  // namespace ociemu

namespace {

constexpr ub1 kFcLogon = 0;

struct Credentials {
  std::string user;
  std::string password;
  std::string database;
};

// "user/password@database" as OCI7 accepts it in the user argument; a password given apart
// and a database given apart take the place of missing parts.
Credentials SplitConnectString(const std::string& uid, const std::string& pwd,
                               const std::string& conn) {
  Credentials c;
  std::string rest = uid;
  auto slash = rest.find('/');
  if (slash != std::string::npos) {
    c.user = rest.substr(0, slash);
    rest = rest.substr(slash + 1);
    if (!rest.empty() && rest[0] == '"') {
      auto close = rest.find('"', 1);
      c.password = rest.substr(1, close == std::string::npos ? std::string::npos : close - 1);
      rest = close == std::string::npos ? "" : rest.substr(close + 1);
      auto at = rest.find('@');
      if (at != std::string::npos) c.database = rest.substr(at + 1);
    } else {
      auto at = rest.find('@');
      c.password = rest.substr(0, at);
      if (at != std::string::npos) c.database = rest.substr(at + 1);
    }
  } else {
    auto at = rest.find('@');
    c.user = rest.substr(0, at);
    if (at != std::string::npos) c.database = rest.substr(at + 1);
  }
  if (c.password.empty()) c.password = pwd;
  if (!conn.empty()) c.database = conn;
  return c;
}

sword Fail(Cda_Def* cda, Logon7* logon, const OracleError& e, ub1 fc) {
  SetReturnCode(cda, e.Code(), fc);
  if (logon) {
    logon->lastCode = e.Code();
    logon->lastText = e.Message();
  }
  return e.Code() ? e.Code() : -1;
}

// Makes a native OCI7 logon into lda.
sword LogOn7(const char* name, Cda_Def* lda, const Credentials& c) {
  if (!lda) return -1;
  auto logon = std::make_shared<Logon7>();
  try {
    if (auto old = Oci7Registry::Instance().TakeLogon(lda)) {
      // A data area logged on again replaces its old logon, which goes as if logged off.
      CallLock lock({old->svc.get()});
      if (old->env) FreeHandle(*old->env);
    }
    logon->env = std::make_shared<Environment>(OCI_THREADED);
    CallLock lock({logon->env.get()});
    auto& env = logon->env;
    logon->svc = std::static_pointer_cast<SvcCtxHandle>(MakeHandle(OCI_HTYPE_SVCCTX, env, false));
    logon->svc->server =
        std::static_pointer_cast<ServerHandle>(MakeHandle(OCI_HTYPE_SERVER, env, false));
    logon->svc->session =
        std::static_pointer_cast<SessionHandle>(MakeHandle(OCI_HTYPE_SESSION, env, false));
    SessionHandle& s = *logon->svc->session;
    s.username = c.user;
    s.password = c.password;
    auto conn = Connection::Attach(c.database, name);
    logon->svc->server->conn = conn;
    const bool external = c.user.empty() && c.password.empty();
    s.info = conn->Authenticate(c.user, c.password, external, OCI_DEFAULT);
    s.begun = true;
    s.conn = conn;
    if (s.info.warning) {
      OracleError warning(s.info.warning, {std::to_string(s.info.graceDays)});
      SetReturnCode(lda, warning.Code(), kFcLogon);
      logon->lastCode = warning.Code();
      logon->lastText = warning.Message();
    } else {
      SetReturnCode(lda, 0, kFcLogon);
    }
    Oci7Registry::Instance().PutLogon(lda, logon);
    return 0;
  } catch (const OracleError& e) {
    if (logon->env) {
      CallLock lock({logon->env.get()});
      FreeHandle(*logon->env);
    }
    return Fail(lda, nullptr, e, kFcLogon);
  } catch (...) {
    if (logon->env) FreeHandle(*logon->env);
    return Fail(lda, nullptr, OracleError(600, {"logon"}), kFcLogon);
  }
}

// Runs body on the logon of lda with its environment locked; unknown areas get ORA-01012.
template <class Body>
sword OnLogon(const char* name, Cda_Def* lda, ub1 fc, Body&& body) noexcept {
  try {
    CountCall(name);
    auto logon = Oci7Registry::Instance().FindLogon(lda);
    if (!logon) {
      SetReturnCode(lda, 1012, fc);
      return 1012;
    }
    try {
      CallLock lock({logon->svc.get()});
      body(*logon);
      SetReturnCode(lda, 0, fc);
      return 0;
    } catch (const OracleError& e) {
      return Fail(lda, logon.get(), e, fc);
    } catch (const InvalidHandle&) {
      return Fail(lda, logon.get(), OracleError(1012), fc);
    } catch (const std::exception& e) {
      return Fail(lda, logon.get(), OracleError(600, {e.what()}), fc);
    }
  } catch (...) {
    return -1;
  }
}

}  // namespace

extern "C" {

sword opinit(ub4 /*mode*/) {
  CountCall("opinit");
  return 0;
}

sword orlon(Cda_Def* lda, ub1* /*hda*/, OraText* uid, sword uidl, OraText* pswd, sword pswdl,
            sword /*audit*/) {
  try {
    CountCall("orlon");
    return LogOn7("orlon", lda, SplitConnectString(TextArg(uid, uidl), TextArg(pswd, pswdl), ""));
  } catch (...) {
    return -1;
  }
}

sword olog(Cda_Def* lda, ub1* /*hda*/, OraText* uid, sword uidl, OraText* psw, sword pswl,
           OraText* conn, sword connl, ub4 /*mode*/) {
  try {
    CountCall("olog");
    return LogOn7("olog", lda,
                  SplitConnectString(TextArg(uid, uidl), TextArg(psw, pswl), TextArg(conn, connl)));
  } catch (...) {
    return -1;
  }
}

sword ologof(Cda_Def* lda) {
  try {
    CountCall("ologof");
    auto logon = Oci7Registry::Instance().TakeLogon(lda);
    if (!logon) {
      SetReturnCode(lda, 1012, kFcLogon);
      return 1012;
    }
    CallLock lock({logon->svc.get()});
    Oci7Registry::Instance().DropCursors(logon.get());
    std::optional<OracleError> failure;
    if (SessionHandle* s = logon->svc->LiveSession()) {
      // Logging off commits, as it always did for OCI7.
      try {
        s->conn->BeforeCall("ologof");
        s->End(true);
      } catch (const OracleError& e) {
        failure = e;
        s->End(false);
      }
    } else if (!logon->converted) {
      failure = OracleError(3114);
    }
    if (logon->env) {
      FreeHandle(*logon->env);
    }
    if (failure) return Fail(lda, nullptr, *failure, kFcLogon);
    SetReturnCode(lda, 0, kFcLogon);
    return 0;
  } catch (...) {
    return -1;
  }
}

sword oerhms(Cda_Def* lda, sb2 rcode, OraText* buf, sword bufsiz) {
  try {
    CountCall("oerhms");
    if (!buf || bufsiz <= 0) return 0;
    std::string message;
    if (auto logon = Oci7Registry::Instance().FindLogon(lda)) {
      if (logon->lastCode == rcode) message = logon->lastText;
    }
    if (message.empty()) message = FormatError(rcode);
    return static_cast<sword>(CopyOut(message, buf, static_cast<size_t>(bufsiz)));
  } catch (...) {
    return 0;
  }
}

sword ocom(Cda_Def* lda) {
  return OnLogon("ocom", lda, kFcLogon, [](Logon7& logon) {
    Connection& conn = logon.svc->Live();
    conn.BeforeCall("ocom");
    conn.Commit();
  });
}

sword orol(Cda_Def* lda) {
  return OnLogon("orol", lda, kFcLogon, [](Logon7& logon) {
    Connection& conn = logon.svc->Live();
    conn.BeforeCall("orol");
    conn.Rollback();
  });
}

sword ocon(Cda_Def* lda) {
  return OnLogon("ocon", lda, kFcLogon, [](Logon7& logon) {
    logon.svc->Live();
    logon.autocommit = true;
  });
}

sword ocof(Cda_Def* lda) {
  return OnLogon("ocof", lda, kFcLogon, [](Logon7& logon) {
    logon.svc->Live();
    logon.autocommit = false;
  });
}

sword OCISvcCtxToLda(OCISvcCtx* svchp, OCIError* errhp, Lda_Def* ldap) {
  return WithError("OCISvcCtxToLda", errhp, [&](Diagnostics*) -> sword {
    auto svc = Require<SvcCtxHandle>(svchp, OCI_HTYPE_SVCCTX);
    CallLock lock({svc.get()});
    if (!ldap) throw OracleError(1009);
    svc->Live();
    auto logon = std::make_shared<Logon7>();
    logon->svc = svc;
    logon->converted = true;
    Oci7Registry::Instance().PutLogon(ldap, logon);
    SetReturnCode(ldap, 0, kFcLogon);
    return OCI_SUCCESS;
  });
}

sword OCILdaToSvcCtx(OCISvcCtx** svchpp, OCIError* errhp, Lda_Def* ldap) {
  return WithError("OCILdaToSvcCtx", errhp, [&](Diagnostics*) -> sword {
    if (!svchpp) throw OracleError(1009);
    auto logon = Oci7Registry::Instance().FindLogon(ldap);
    if (!logon) throw OracleError(1012);
    CallLock lock({logon->svc.get()});
    *svchpp = reinterpret_cast<OCISvcCtx*>(logon->svc.get());
    // A converted area goes back to being the service context it came from; a native OCI7
    // logon keeps its area and lends its service context.
    if (logon->converted) Oci7Registry::Instance().TakeLogon(ldap);
    return OCI_SUCCESS;
  });
}

}  // extern "C"
