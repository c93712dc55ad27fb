// The logon component's behaviour switches, held in one byte (ordinal = bit number).
#pragma once

#include <cstdint>

#include "oracle/core/EnumSet.h"

namespace oracle {

enum TLogonOption : std::uint8_t {
  ldAuto,
  ldDatabase,
  ldDatabaseList,
  ldLogonHistory,
  ldConnectAs,
  ldPasswordOnly
};
using TLogonOptions = EnumSet<TLogonOption, std::uint8_t>;

}  // namespace oracle
