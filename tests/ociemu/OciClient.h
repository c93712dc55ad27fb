// The emulated client as a program sees it: a libclntsh.so loaded with dlopen and its entry
// points bound by name. Tests call ociemu only through this table.
#pragma once

#include <dlfcn.h>

#include <stdexcept>
#include <string>

#include "ociemu/Oci.h"

namespace ociemu::test {

#define OCIEMU_ENTRY(name) decltype(&::name) name = Bind<decltype(&::name)>(#name)

class OciClient {
 public:
  explicit OciClient(const std::string& path)
      : library_(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {
    if (!library_) throw std::runtime_error(dlerror());
  }
  ~OciClient() { dlclose(library_); }
  OciClient(const OciClient&) = delete;
  OciClient& operator=(const OciClient&) = delete;

  void* Library() const { return library_; }
  void* Symbol(const char* name) const { return dlsym(library_, name); }

 private:
  void* library_;

  template <class F>
  F Bind(const char* name) const {
    return reinterpret_cast<F>(dlsym(library_, name));
  }

 public:
  OCIEMU_ENTRY(OCIInitialize);
  OCIEMU_ENTRY(OCIEnvCreate);
  OCIEMU_ENTRY(OCIEnvInit);
  OCIEMU_ENTRY(OCIHandleAlloc);
  OCIEMU_ENTRY(OCIHandleFree);
  OCIEMU_ENTRY(OCIDescriptorAlloc);
  OCIEMU_ENTRY(OCIDescriptorFree);
  OCIEMU_ENTRY(OCIServerAttach);
  OCIEMU_ENTRY(OCIServerDetach);
  OCIEMU_ENTRY(OCISessionBegin);
  OCIEMU_ENTRY(OCISessionEnd);
  OCIEMU_ENTRY(OCILogon);
  OCIEMU_ENTRY(OCILogoff);
  OCIEMU_ENTRY(OCIPasswordChange);
  OCIEMU_ENTRY(OCIServerVersion);
  OCIEMU_ENTRY(OCIAttrSet);
  OCIEMU_ENTRY(OCIAttrGet);
  OCIEMU_ENTRY(OCIErrorGet);
  OCIEMU_ENTRY(OCITransCommit);
  OCIEMU_ENTRY(OCITransRollback);
  OCIEMU_ENTRY(OCITransStart);
  OCIEMU_ENTRY(OCIStmtGetPieceInfo);
  OCIEMU_ENTRY(OCIStmtSetPieceInfo);
  OCIEMU_ENTRY(OCIDefineDynamic);
  OCIEMU_ENTRY(OCIBindDynamic);
  OCIEMU_ENTRY(OCISvcCtxToLda);
  OCIEMU_ENTRY(OCILdaToSvcCtx);
  OCIEMU_ENTRY(OCIStmtPrepare);
  OCIEMU_ENTRY(OCIStmtPrepare2);
  OCIEMU_ENTRY(OCIStmtRelease);
  OCIEMU_ENTRY(OCIStmtExecute);
  OCIEMU_ENTRY(OCIStmtFetch);
  OCIEMU_ENTRY(OCIStmtFetch2);
  OCIEMU_ENTRY(OCIBindByName);
  OCIEMU_ENTRY(OCIBindByPos);
  OCIEMU_ENTRY(OCIDefineByPos);
  OCIEMU_ENTRY(OCIParamGet);
  OCIEMU_ENTRY(OCIDescribeAny);
  OCIEMU_ENTRY(OCILobRead);
  OCIEMU_ENTRY(OCIRefIsNull);
  OCIEMU_ENTRY(OCISessionPoolCreate);
  OCIEMU_ENTRY(OCISessionPoolDestroy);
  OCIEMU_ENTRY(OCISessionGet);
  OCIEMU_ENTRY(OCISessionRelease);
  OCIEMU_ENTRY(OCINumberFromInt);
  OCIEMU_ENTRY(OCINumberToInt);
  OCIEMU_ENTRY(OCINumberFromReal);
  OCIEMU_ENTRY(OCINumberToReal);
  OCIEMU_ENTRY(OCINumberToText);
  OCIEMU_ENTRY(OCINumberFromText);
  OCIEMU_ENTRY(opinit);
  OCIEMU_ENTRY(orlon);
  OCIEMU_ENTRY(olog);
  OCIEMU_ENTRY(ologof);
  OCIEMU_ENTRY(oerhms);
  OCIEMU_ENTRY(ocom);
  OCIEMU_ENTRY(orol);
  OCIEMU_ENTRY(ocon);
  OCIEMU_ENTRY(ocof);
  OCIEMU_ENTRY(oopen);
  OCIEMU_ENTRY(oparse);
  OCIEMU_ENTRY(oexec);
  OCIEMU_ENTRY(oexn);
  OCIEMU_ENTRY(odescr);
  OCIEMU_ENTRY(odefin);
  OCIEMU_ENTRY(ofen);
  OCIEMU_ENTRY(oexfet);
  OCIEMU_ENTRY(oclose);
  OCIEMU_ENTRY(obndra);
  OCIEMU_ENTRY(oflng);
  OCIEMU_ENTRY(obreak);
  OCIEMU_ENTRY(obndrv);
  OCIEMU_ENTRY(obndrn);
  OCIEMU_ENTRY(obindps);
  OCIEMU_ENTRY(odefinps);
  OCIEMU_ENTRY(ocan);
};

#undef OCIEMU_ENTRY

}  // namespace ociemu::test
