// TdmMain: the program's data module. It owns the one session and the one logon component and
// gives them the values of its stored definition.
#pragma once

#include <functional>

#include "oracle/core/Component.h"

namespace oracle {
class TOracleSession;
class TOracleLogon;
}  // namespace oracle

namespace app {

class TdmMain : public oracle::TComponent {
 public:
  // Makes the session component; tests hand in a double of the session's logon.
  using SessionFactory = std::function<oracle::TOracleSession*(oracle::TComponent* owner)>;

  explicit TdmMain(oracle::TComponent* owner, const SessionFactory& makeSession = {});

  const char* ClassName() const override { return "TdmMain"; }
  const char* ParentClassName() const override { return "TDataModule"; }

  // Owned through the component framework: freed with the data module, session last.
  oracle::TOracleSession* const OracleSession;
  oracle::TOracleLogon* const OracleLogon;
};

}  // namespace app
