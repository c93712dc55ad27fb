// The stored definition of the data module, applied as the framework reads a stored form.
#include "app/DataModule.h"

#include "oracle/logon/OracleLogon.h"
#include "oracle/session/OracleSession.h"

namespace app {

using namespace oracle;

TdmMain::TdmMain(TComponent* owner, const SessionFactory& makeSession)
    : TComponent(owner),
      OracleSession(makeSession ? makeSession(this) : new TOracleSession(this)),
      OracleLogon(new TOracleLogon(this)) {
  OracleSession->SetName("OracleSession");
  OracleLogon->SetName("OracleLogon");

  OracleSession->BeginLoading();
  OracleSession->SetCursor(-11);  // crHourGlass
  OracleSession->SetDesignConnection(false);
  OracleSession->SetThreadSafe(false);
  TSessionPreferences& p = OracleSession->Preferences();
  p.SetFloatPrecision(0);
  p.SetIntegerPrecision(0);
  p.SetSmallIntPrecision(-1);
  p.SetUseOCI7(false);
  p.SetConvertCRLF(true);
  p.SetTrimStringFields(true);
  p.SetMaxStringFieldSize(0);
  p.SetZeroDateIsNull(true);
  OracleSession->SetConnected(false);
  OracleSession->SetRollbackOnDisconnect(false);
  OracleSession->SetNullValue(nvUnAssigned);
  OracleSession->SetSQLTrace(stUnchanged);
  OracleSession->SetOptimizerGoal(ogUnchanged);
  OracleSession->SetIsolationLevel(ilUnchanged);
  OracleSession->SetBytesPerCharacter(bc1Byte);
  OracleSession->EndLoading();

  OracleLogon->BeginLoading();
  OracleLogon->SetSession(OracleSession);
  OracleLogon->SetRetries(2);
  OracleLogon->SetOptions({ldAuto, ldDatabase, ldDatabaseList, ldLogonHistory});
  OracleLogon->SetAliasDropDownCount(8);
  OracleLogon->SetHistorySize(6);
  OracleLogon->SetHistoryWithPassword(true);
  OracleLogon->EndLoading();
}

}  // namespace app
