// Each variant library exports exactly the entry-point groups of the client generation it
// stands for.
#include <dlfcn.h>
#include <elf.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include "ociemu/testing/OracleHome.h"

namespace ociemu::test {
namespace {

using testing::Variant;

std::vector<std::string> Words(const char* text) {
  std::istringstream in(text);
  std::vector<std::string> out;
  for (std::string w; in >> w;) out.push_back(w);
  return out;
}

const char* kOci7 =
    "orlon ologof oerhms oopen oparse odefin oexfet ofen oflng oclose odescr oexec oexn ocom "
    "orol ocon ocof obreak obndra odessp olog opinit obndrv obndrn obindps odefinps ocan";
const char* kOci8 =
    "OCIInitialize OCIHandleAlloc OCIHandleFree OCIDescriptorAlloc OCIDescriptorFree OCIEnvInit "
    "OCIServerAttach OCIServerDetach OCISessionBegin OCISessionEnd OCILogon OCILogoff "
    "OCIPasswordChange OCIStmtPrepare OCIBindByPos OCIBindByName OCIBindObject OCIBindDynamic "
    "OCIBindArrayOfStruct OCIStmtGetPieceInfo OCIStmtSetPieceInfo OCIStmtExecute OCIDefineByPos "
    "OCIDefineObject OCIDefineDynamic OCIDefineArrayOfStruct OCIStmtFetch OCIStmtGetBindInfo "
    "OCIDescribeAny OCIParamGet OCIParamSet OCITransStart OCITransDetach OCITransCommit "
    "OCITransRollback OCITransPrepare OCITransForget OCIErrorGet OCILobAppend OCILobAssign "
    "OCILobCharSetForm OCILobCharSetId OCILobCopy OCILobDisableBuffering OCILobEnableBuffering "
    "OCILobErase OCILobFileClose OCILobFileCloseAll OCILobFileExists OCILobFileGetName "
    "OCILobFileIsOpen OCILobFileOpen OCILobFileSetName OCILobFlushBuffer OCILobGetLength "
    "OCILobIsEqual OCILobLoadFromFile OCILobLocatorIsInit OCILobRead OCILobTrim OCILobWrite "
    "OCIBreak OCIServerVersion OCIAttrGet OCIAttrSet OCISvcCtxToLda OCILdaToSvcCtx "
    "OCIResultSetToStmt OCIObjectUnpin OCIObjectLock OCIObjectMarkUpdate OCIObjectUnmark "
    "OCIObjectMarkDelete OCIObjectFlush OCIObjectCopy OCIObjectGetTypeRef OCIObjectGetObjectRef "
    "OCIObjectGetInd OCIObjectExists OCIObjectIsLocked OCIObjectIsDirty OCIObjectRefresh "
    "OCIObjectPinTable OCIObjectNew OCIObjectPin OCIObjectFree OCITypeByName OCIObjectGetAttr "
    "OCIObjectSetAttr OCIStringPtr OCIStringAssignText OCINumberFromInt OCINumberToInt "
    "OCINumberFromReal OCINumberToReal OCINumberToText OCINumberFromText OCIRawPtr OCIRawSize "
    "OCIRawAssignBytes OCIRefAssign OCIRefClear OCIRefIsNull OCIRefFromHex OCIRefHexSize "
    "OCIRefToHex OCICollSize OCICollTrim OCICollMax OCICollGetElem OCICollAssignElem "
    "OCICollAppend OCITableDelete OCICacheFlush ociepgoe ociepmsg";
const char* kOci81 =
    "OCIEnvCreate OCIDirPathAbort OCIDirPathFinish OCIDirPathPrepare OCIDirPathColArrayEntrySet "
    "OCIDirPathColArrayToStream OCIDirPathLoadStream OCIDirPathStreamReset OCILobCreateTemporary "
    "OCILobFreeTemporary OCILobIsTemporary OCIDateTimeToText OCIDateTimeFromText "
    "OCIDateTimeGetDate OCIDateTimeGetTime OCIDateTimeConstruct OCIDateTimeAssign "
    "OCIDateTimeGetTimeZoneOffset";
// What the 8.0 clients already had beside the handle calls: the date and number helpers.
const char* kOci8Date =
    "OCIDateAssign OCIDateToText OCIDateFromText OCIDateCompare OCIDateAddMonths OCIDateAddDays "
    "OCIDateLastDay OCIDateDaysBetween OCIDateZoneToZone OCIDateNextDay OCIDateCheck "
    "OCIDateSysDate";
const char* kOci8Number =
    "OCINumberAssign OCINumberCmp OCINumberSign OCINumberIsZero OCINumberIsInt OCINumberSetZero "
    "OCINumberSetPi OCINumberNeg OCINumberAbs OCINumberAdd OCINumberSub OCINumberMul OCINumberDiv "
    "OCINumberMod OCINumberInc OCINumberDec OCINumberRound OCINumberTrunc OCINumberPrec "
    "OCINumberShift OCINumberFloor OCINumberCeil OCINumberIntPower OCINumberSqrt OCINumberPower "
    "OCINumberExp OCINumberLn OCINumberLog OCINumberSin OCINumberArcSin OCINumberHypSin "
    "OCINumberCos OCINumberArcCos OCINumberHypCos OCINumberTan OCINumberArcTan OCINumberArcTan2 "
    "OCINumberHypTan";
const char* kOci81Thread =
    "OCIThreadProcessInit OCIThreadInit OCIThreadTerm OCIThreadIsMulti OCIThreadMutexInit "
    "OCIThreadMutexDestroy OCIThreadMutexAcquire OCIThreadMutexRelease OCIThreadKeyInit "
    "OCIThreadKeyDestroy OCIThreadKeyGet OCIThreadKeySet OCIThreadIdInit OCIThreadIdDestroy "
    "OCIThreadIdSet OCIThreadIdSetNull OCIThreadIdGet OCIThreadIdSame OCIThreadIdNull "
    "OCIThreadHndInit OCIThreadHndDestroy OCIThreadCreate OCIThreadJoin OCIThreadClose "
    "OCIThreadHandleGet";
const char* kNet9 = "OCIStmtFetch2";
const char* kNet92 =
    "OCISessionPoolCreate OCISessionPoolDestroy OCISessionGet OCISessionRelease OCIStmtPrepare2 "
    "OCIStmtRelease OCIEnvNlsCreate";
const char* kDiagnostics =
    "ociemu_live_handles ociemu_live_connections ociemu_call_count ociemu_reset_call_counts";

// The functions a shared library defines in its dynamic symbol table, read from its ELF file.
size_t ExportedFunctionCount(const std::filesystem::path& library) {
  std::ifstream in(library, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  Elf64_Ehdr header;
  if (bytes.size() < sizeof header) return 0;
  std::memcpy(&header, bytes.data(), sizeof header);
  size_t count = 0;
  for (int i = 0; i < header.e_shnum; ++i) {
    Elf64_Shdr section;
    std::memcpy(&section, bytes.data() + header.e_shoff + static_cast<size_t>(i) * sizeof section,
                sizeof section);
    if (section.sh_type != SHT_DYNSYM) continue;
    for (size_t k = 0; k < section.sh_size / sizeof(Elf64_Sym); ++k) {
      Elf64_Sym sym;
      std::memcpy(&sym, bytes.data() + section.sh_offset + k * sizeof sym, sizeof sym);
      if (ELF64_ST_TYPE(sym.st_info) == STT_FUNC && sym.st_shndx != SHN_UNDEF &&
          ELF64_ST_BIND(sym.st_info) == STB_GLOBAL) {
        ++count;
      }
    }
  }
  return count;
}

struct Group {
  const char* names;
  Variant firstVariant;  // the oldest variant that has the group
};

// The generation lists: a variant exports every group of its generation and the older ones,
// and nothing of a newer one.
TEST(Exports, EachVariantExportsItsGenerationsGroupsAndNothingElse) {
  const Group groups[] = {
      {kOci7, Variant::Oci7},       {kOci8, Variant::Oci8},   {kOci8Date, Variant::Oci8},
      {kOci8Number, Variant::Oci8}, {kOci81, Variant::Oci81}, {kOci81Thread, Variant::Oci81},
      {kNet9, Variant::Net9},       {kNet92, Variant::Full},  {kDiagnostics, Variant::Oci7}};
  EXPECT_EQ(Words(kOci8).size(), 116u);
  for (Variant v : {Variant::Oci7, Variant::Oci8, Variant::Oci81, Variant::Net9, Variant::Full}) {
    SCOPED_TRACE(testing::VariantName(v));
    void* lib = dlopen(testing::VariantLibrary(v).c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    size_t expected = 0;
    for (const auto& g : groups) {
      const bool present = static_cast<int>(v) >= static_cast<int>(g.firstVariant);
      for (const auto& name : Words(g.names)) {
        EXPECT_EQ(dlsym(lib, name.c_str()) != nullptr, present) << name;
        if (present) ++expected;
      }
    }
    // Nothing of ociemu's own C++ code is visible.
    EXPECT_EQ(dlsym(lib, "_ZN6ociemu8Registry8InstanceEv"), nullptr);
    // Nothing else either: the dynamic symbol table holds exactly the expected names.
    EXPECT_EQ(ExportedFunctionCount(testing::VariantLibrary(v)), expected);
    dlclose(lib);
    EXPECT_GT(expected, 0u);
  }
}

TEST(Exports, TheCoordinatorStandInExportsItsFiveEntryPoints) {
  void* lib = dlopen(testing::VariantOraMts(Variant::Full).c_str(), RTLD_LAZY | RTLD_LOCAL);
  ASSERT_NE(lib, nullptr) << dlerror();
  for (const char* name : {"OraMTSSvcGet", "OraMTSSvcRel", "OraMTSSvcEnlist", "OraMTSSvcEnlistEx",
                           "OraMTSTransTest"}) {
    EXPECT_NE(dlsym(lib, name), nullptr) << name;
  }
  dlclose(lib);
}

}  // namespace
}  // namespace ociemu::test
