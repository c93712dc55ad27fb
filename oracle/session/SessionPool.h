// The session pool component that a session's Pool property refers to. Reserving and releasing
// connections are added with the pool itself; the session only needs the component and its
// statement-cache setting here.
#pragma once

#include "oracle/core/Component.h"

namespace oracle {

class TOracleSessionPool : public TComponent {
 public:
  explicit TOracleSessionPool(TComponent* owner) : TComponent(owner) {}
  const char* ClassName() const override { return "TOracleSessionPool"; }
};

}  // namespace oracle
