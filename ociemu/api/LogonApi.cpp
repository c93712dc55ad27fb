// Server attach and detach, user sessions, password change, server version and transactions.
#include <optional>

#include "ociemu/internal/Api.h"
#include "ociemu/internal/Database.h"

using namespace ociemu;

namespace {
constexpr ub4 kSessionModes =
    OCI_MIGRATE | OCI_SYSDBA | OCI_SYSOPER | OCI_PRELIM_AUTH | OCI_STMT_CACHE | OCI_SYSASM;
}  // namespace

namespace ociemu {

sword BeginSession(SvcCtxHandle& svc, SessionHandle& usr, Diagnostics* diag, bool external,
                   ub4 mode) {
  if (!svc.server || svc.server->Freed() || !svc.server->conn) throw OracleError(24327);
  Connection& conn = svc.server->Live();
  if (usr.begun) throw OracleError(24313);
  if (mode & ~kSessionModes) throw OracleError(24300);
  if (mode & OCI_SYSASM) throw OracleError(1031);
  conn.BeforeCall("OCISessionBegin");
  SessionInfo info = conn.Authenticate(usr.username, usr.password, external, mode);
  usr.info = info;
  usr.begun = true;
  usr.conn = svc.server->conn;
  if (info.warning) {
    const std::string days = std::to_string(info.graceDays);
    if (diag) diag->Add(info.warning, FormatError(info.warning, {days}));
    return OCI_SUCCESS_WITH_INFO;
  }
  return OCI_SUCCESS;
}

}  // namespace ociemu

namespace {

std::shared_ptr<SvcCtxHandle> SvcOf(void* hndlp, ub1 hndltype, std::shared_ptr<ServerHandle>& srv) {
  if (hndltype == OCI_HTYPE_SVCCTX) {
    auto svc = Require<SvcCtxHandle>(hndlp, OCI_HTYPE_SVCCTX);
    srv = svc->server;
    return svc;
  }
  if (hndltype == OCI_HTYPE_SERVER) {
    srv = Require<ServerHandle>(hndlp, OCI_HTYPE_SERVER);
    return nullptr;
  }
  throw InvalidHandle{};
}

}  // namespace

extern "C" {

sword OCIServerAttach(OCIServer* srvhp, OCIError* errhp, const OraText* dblink, sb4 dblink_len,
                      ub4 /*mode*/) {
  return WithError("OCIServerAttach", errhp, [&](Diagnostics*) -> sword {
    auto srv = Require<ServerHandle>(srvhp, OCI_HTYPE_SERVER);
    CallLock lock({srv.get()});
    if (srv->conn && srv->conn->Usable()) throw OracleError(24309);
    srv->conn.reset();
    srv->conn = Connection::Attach(TextArg(dblink, dblink_len), "OCIServerAttach");
    return OCI_SUCCESS;
  });
}

sword OCIServerDetach(OCIServer* srvhp, OCIError* errhp, ub4 /*mode*/) {
  return WithError("OCIServerDetach", errhp, [&](Diagnostics*) -> sword {
    auto srv = Require<ServerHandle>(srvhp, OCI_HTYPE_SERVER);
    CallLock lock({srv.get()});
    if (!srv->conn) throw OracleError(24324);
    // Sessions still begun on the connection lose their uncommitted work with it.
    srv->conn->Close();
    srv->conn.reset();
    return OCI_SUCCESS;
  });
}

sword OCISessionBegin(OCISvcCtx* svchp, OCIError* errhp, OCISession* usrhp, ub4 credt, ub4 mode) {
  return WithError("OCISessionBegin", errhp, [&](Diagnostics* diag) -> sword {
    auto svc = Require<SvcCtxHandle>(svchp, OCI_HTYPE_SVCCTX);
    auto usr = Require<SessionHandle>(usrhp, OCI_HTYPE_SESSION);
    CallLock lock({svc.get(), usr.get()});
    if (credt == OCI_CRED_PROXY) throw OracleError(3001);
    if (credt != OCI_CRED_RDBMS && credt != OCI_CRED_EXT) throw OracleError(24300);
    sword status = BeginSession(*svc, *usr, diag, credt == OCI_CRED_EXT, mode);
    svc->session = usr;
    return status;
  });
}

sword OCISessionEnd(OCISvcCtx* svchp, OCIError* errhp, OCISession* usrhp, ub4 /*mode*/) {
  return WithError("OCISessionEnd", errhp, [&](Diagnostics*) -> sword {
    auto svc = Require<SvcCtxHandle>(svchp, OCI_HTYPE_SVCCTX);
    std::shared_ptr<SessionHandle> usr =
        usrhp ? Require<SessionHandle>(usrhp, OCI_HTYPE_SESSION) : svc->session;
    CallLock lock({svc.get(), usr.get()});
    if (!usr || usr->Freed() || !usr->begun) throw OracleError(1012);
    // Cached statements belong to the session that prepared them.
    if (svc->session == usr) svc->DropStatementCache();
    if (usr->conn && usr->conn->Usable()) {
      try {
        usr->conn->BeforeCall("OCISessionEnd");
      } catch (const OracleError&) {
        usr->End(false);
        throw;
      }
    } else {
      usr->End(false);
      throw OracleError(3114);
    }
    usr->End(true);
    return OCI_SUCCESS;
  });
}

sword OCILogon(OCIEnv* envhp, OCIError* errhp, OCISvcCtx** svchp, const OraText* username,
               ub4 uname_len, const OraText* password, ub4 passwd_len, const OraText* dbname,
               ub4 dbname_len) {
  return WithError("OCILogon", errhp, [&](Diagnostics* diag) -> sword {
    auto env = Require<Environment>(envhp, OCI_HTYPE_ENV);
    if (!svchp) throw OracleError(1009);
    *svchp = nullptr;
    CallLock lock({env.get()});
    auto svc = std::static_pointer_cast<SvcCtxHandle>(MakeHandle(OCI_HTYPE_SVCCTX, env, true));
    svc->fromLogon = true;
    svc->server = std::static_pointer_cast<ServerHandle>(MakeHandle(OCI_HTYPE_SERVER, env, false));
    svc->session =
        std::static_pointer_cast<SessionHandle>(MakeHandle(OCI_HTYPE_SESSION, env, false));
    try {
      svc->server->conn = Connection::Attach(TextArg(dbname, dbname_len), "OCILogon");
      svc->session->username = TextArg(username, uname_len);
      svc->session->password = TextArg(password, passwd_len);
      sword status = BeginSession(*svc, *svc->session, diag, false, OCI_DEFAULT);
      *svchp = reinterpret_cast<OCISvcCtx*>(svc.get());
      return status;
    } catch (...) {
      FreeHandle(*svc);
      throw;
    }
  });
}

sword OCILogoff(OCISvcCtx* svchp, OCIError* errhp) {
  return WithError("OCILogoff", errhp, [&](Diagnostics*) -> sword {
    auto svc = Require<SvcCtxHandle>(svchp, OCI_HTYPE_SVCCTX);
    CallLock lock({svc.get()});
    std::optional<OracleError> failure;
    if (SessionHandle* s = svc->LiveSession()) {
      try {
        s->conn->BeforeCall("OCILogoff");
        s->End(true);
      } catch (const OracleError& e) {
        failure = e;
        s->End(false);
      }
    }
    if (svc->server && svc->server->conn) svc->server->conn->Close();
    if (svc->fromLogon) FreeHandle(*svc);
    if (failure) throw *failure;
    return OCI_SUCCESS;
  });
}

sword OCIPasswordChange(OCISvcCtx* svchp, OCIError* errhp, const OraText* user_name, ub4 usernm_len,
                        const OraText* opasswd, ub4 opasswd_len, const OraText* npasswd,
                        ub4 npasswd_len, ub4 /*mode*/) {
  return WithError("OCIPasswordChange", errhp, [&](Diagnostics* diag) -> sword {
    auto svc = Require<SvcCtxHandle>(svchp, OCI_HTYPE_SVCCTX);
    CallLock lock({svc.get()});
    if (!svc->server || svc->server->Freed() || !svc->server->conn) throw OracleError(24327);
    Connection& conn = svc->server->Live();
    conn.BeforeCall("OCIPasswordChange");
    const std::string user = TextArg(user_name, usernm_len);
    const std::string oldPassword = TextArg(opasswd, opasswd_len);
    const std::string newPassword = TextArg(npasswd, npasswd_len);
    if (SessionHandle* s = svc->LiveSession()) {
      const std::string account = user.empty() ? s->info.account : NormalizeName(user);
      if (account != s->info.account && s->info.user != "SYS") throw OracleError(1031);
      try {
        conn.ChangePassword(account, oldPassword, newPassword);
      } catch (const OracleError& e) {
        if (e.Code() == 1017) throw OracleError(28008);
        throw;
      }
      if (account == s->info.account) s->password = newPassword;
      return OCI_SUCCESS;
    }
    // No session yet (typically after ORA-28001): authenticate with the old password, change
    // it, and leave the session begun with the new one.
    if (user.empty()) throw OracleError(1017);
    conn.ChangePassword(NormalizeName(user), oldPassword, newPassword);
    std::shared_ptr<SessionHandle> usr = svc->session;
    if (!usr || usr->Freed() || usr->begun) {
      usr = std::static_pointer_cast<SessionHandle>(
          MakeHandle(OCI_HTYPE_SESSION, svc->EnvPtr(), false));
      svc->implicitSession = usr;
    }
    usr->username = user;
    usr->password = newPassword;
    sword status = BeginSession(*svc, *usr, diag, false, OCI_DEFAULT);
    svc->session = usr;
    return status;
  });
}

sword OCIServerVersion(void* hndlp, OCIError* errhp, OraText* bufp, ub4 bufsz, ub1 hndltype) {
  return WithError("OCIServerVersion", errhp, [&](Diagnostics*) -> sword {
    std::shared_ptr<ServerHandle> srv;
    auto svc = SvcOf(hndlp, hndltype, srv);
    Handle* target = svc ? static_cast<Handle*>(svc.get()) : srv.get();
    CallLock lock({target, srv.get()});
    if (!srv || srv->Freed()) throw OracleError(3114);
    Connection& conn = srv->Live();
    conn.BeforeCall("OCIServerVersion");
    CopyOut(conn.Banner(), bufp, bufsz);
    return OCI_SUCCESS;
  });
}

sword OCITransCommit(OCISvcCtx* svchp, OCIError* errhp, ub4 /*flags*/) {
  return WithError("OCITransCommit", errhp, [&](Diagnostics*) -> sword {
    auto svc = Require<SvcCtxHandle>(svchp, OCI_HTYPE_SVCCTX);
    CallLock lock({svc.get()});
    Connection& conn = svc->Live();
    conn.BeforeCall("OCITransCommit");
    conn.Commit();
    return OCI_SUCCESS;
  });
}

// Local transactions only: a new (or default) transaction on the session's connection. Joining,
// resuming or a two-phase branch belong to distributed transactions, which are not emulated.
sword OCITransStart(OCISvcCtx* svchp, OCIError* errhp, uword /*timeout*/, ub4 flags) {
  return WithError("OCITransStart", errhp, [&](Diagnostics*) -> sword {
    auto svc = Require<SvcCtxHandle>(svchp, OCI_HTYPE_SVCCTX);
    CallLock lock({svc.get()});
    Connection& conn = svc->Live();
    conn.BeforeCall("OCITransStart");
    if (flags & (OCI_TRANS_JOIN | OCI_TRANS_RESUME | OCI_TRANS_TWOPHASE)) throw OracleError(3001);
    conn.BeginTransaction();
    return OCI_SUCCESS;
  });
}

sword OCITransRollback(OCISvcCtx* svchp, OCIError* errhp, ub4 /*flags*/) {
  return WithError("OCITransRollback", errhp, [&](Diagnostics*) -> sword {
    auto svc = Require<SvcCtxHandle>(svchp, OCI_HTYPE_SVCCTX);
    CallLock lock({svc.get()});
    Connection& conn = svc->Live();
    conn.BeforeCall("OCITransRollback");
    conn.Rollback();
    return OCI_SUCCESS;
  });
}

// Nothing of ociemu runs asynchronously, so there is never a call to break.
sword OCIBreak(void* hndlp, OCIError* errhp) {
  return WithError("OCIBreak", errhp, [&](Diagnostics*) -> sword {
    if (!Find<Handle>(hndlp, OCI_HTYPE_SVCCTX) && !Find<Handle>(hndlp, OCI_HTYPE_SERVER)) {
      throw InvalidHandle{};
    }
    return OCI_SUCCESS;
  });
}

}  // extern "C"
