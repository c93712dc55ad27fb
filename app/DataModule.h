// TdmMain: the program's data module. It owns the one session and the one logon component and
// gives them the values of its stored definition.
#pragma once

#include "oracle/core/Component.h"

namespace oracle {
class TOracleSession;
class TOracleLogon;
}  // namespace oracle

namespace app {

class TdmMain : public oracle::TComponent {
 public:
  explicit TdmMain(oracle::TComponent* owner);

  const char* ClassName() const override { return "TdmMain"; }
  const char* ParentClassName() const override { return "TDataModule"; }

  // Owned through the component framework: freed with the data module, session last.
  oracle::TOracleSession* const OracleSession;
  oracle::TOracleLogon* const OracleLogon;
};

}  // namespace app
