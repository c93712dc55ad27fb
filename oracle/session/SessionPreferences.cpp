// Preference setters: the UseOCI7 refusal and dataset reactivation.
#include "oracle/session/SessionPreferences.h"

#include "oracle/core/Exception.h"
#include "oracle/session/OracleSession.h"

namespace oracle {

TSessionPreferences::TSessionPreferences(TOracleSession* session, bool remoteDataModule)
    : session_(session), maxStringFieldSize_(remoteDataModule ? 255 : 0) {}

void TSessionPreferences::Assign(const TSessionPreferences& source) {
  if (&source == this) return;
  SetFloatPrecision(source.floatPrecision_);
  SetIntegerPrecision(source.integerPrecision_);
  SetSmallIntPrecision(source.smallIntPrecision_);
  SetUseOCI7(source.useOCI7_);
  SetConvertCRLF(source.convertCRLF_);
  SetTrimStringFields(source.trimStringFields_);
  SetMaxStringFieldSize(source.maxStringFieldSize_);
  SetZeroDateIsNull(source.zeroDateIsNull_);
  SetNullLOBIsEmpty(source.nullLOBIsEmpty_);
  SetNullObjectIsEmpty(source.nullObjectIsEmpty_);
  SetTemporaryLOB(source.temporaryLOB_);
  SetTimestampAsString(source.timestampAsString_);
}

void TSessionPreferences::reactivate() {
  if (session_ != nullptr) session_->ReactivateDatasets();
}

void TSessionPreferences::SetFloatPrecision(std::int32_t value) {
  if (value == floatPrecision_) return;
  floatPrecision_ = value;
  reactivate();
}

void TSessionPreferences::SetIntegerPrecision(std::int32_t value) {
  if (value == integerPrecision_) return;
  integerPrecision_ = value;
  reactivate();
}

void TSessionPreferences::SetSmallIntPrecision(std::int32_t value) {
  if (value == smallIntPrecision_) return;
  smallIntPrecision_ = value;
  reactivate();
}

void TSessionPreferences::SetUseOCI7(bool value) {
  if (value == useOCI7_) return;
  if (session_ != nullptr && session_->Connected())
    throw Exception("Cannot change UseOCI7 property when session is connected");
  useOCI7_ = value;
}

void TSessionPreferences::SetMaxStringFieldSize(std::int32_t value) {
  if (value == maxStringFieldSize_) return;
  maxStringFieldSize_ = value;
  reactivate();
}

void TSessionPreferences::SetTimestampAsString(bool value) {
  if (value == timestampAsString_) return;
  timestampAsString_ = value;
  reactivate();
}

}  // namespace oracle
