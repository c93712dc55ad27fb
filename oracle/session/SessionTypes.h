// The enumerations of the session and its events. Ordinals are what a stored form holds.
#pragma once

#include <cstdint>
#include <functional>

#include "oracle/core/EnumSet.h"

namespace oracle {

class TOracleSession;

enum TConnectAsOption : std::uint8_t { caNormal, caSYSDBA, caSYSOPER };
enum TSessionPoolingOption : std::uint8_t { spNone, spInternal, spMTS };
enum TMTSOption : std::uint8_t { moImplicit, moUniqueServer };
using TMTSOptions = EnumSet<TMTSOption, std::uint8_t>;
enum TNullValueOption : std::uint8_t { nvUnAssigned, nvNull };
enum TSQLTraceOption : std::uint8_t { stUnchanged, stTrue, stFalse };
enum TOptimizerGoalOption : std::uint8_t { ogUnchanged, ogChoose, ogFirstRows, ogAllRows, ogRule };
enum TIsolationLevelOption : std::uint8_t { ilUnchanged, ilReadCommitted, ilSerializable };
enum TBytesPerCharacterOption : std::uint8_t { bcAutoDetect, bc1Byte, bc2Bytes, bc3Bytes, bc4Bytes };
enum TTemporaryLOBOption : std::uint8_t { tlNone, tlCache, tlNoCache };

using TOracleSessionEvent = std::function<void(TOracleSession& sender)>;

// Client data type codes the session hands out for numeric columns.
constexpr int kClientTypeInteger = 3;
constexpr int kClientTypeFloat = 4;
constexpr int kClientTypeString = 5;

}  // namespace oracle
