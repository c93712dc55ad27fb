// Per-session switches read by the query engine and the dataset.
#pragma once

#include <cstdint>

#include "oracle/session/SessionTypes.h"

namespace oracle {

class TSessionPreferences {
 public:
  // `session` owns the preferences. `remoteDataModule`: the owner of the session is a remote data
  // module, which starts MaxStringFieldSize at 255.
  TSessionPreferences(TOracleSession* session, bool remoteDataModule);

  // Copies all twelve values through the setters, so the UseOCI7 rule and reactivation apply.
  void Assign(const TSessionPreferences& source);

  std::int32_t FloatPrecision() const { return floatPrecision_; }
  void SetFloatPrecision(std::int32_t value);
  std::int32_t IntegerPrecision() const { return integerPrecision_; }
  void SetIntegerPrecision(std::int32_t value);
  std::int32_t SmallIntPrecision() const { return smallIntPrecision_; }
  void SetSmallIntPrecision(std::int32_t value);
  bool UseOCI7() const { return useOCI7_; }
  void SetUseOCI7(bool value);
  bool ConvertCRLF() const { return convertCRLF_; }
  void SetConvertCRLF(bool value) { convertCRLF_ = value; }
  bool TrimStringFields() const { return trimStringFields_; }
  void SetTrimStringFields(bool value) { trimStringFields_ = value; }
  std::int32_t MaxStringFieldSize() const { return maxStringFieldSize_; }
  void SetMaxStringFieldSize(std::int32_t value);
  bool ZeroDateIsNull() const { return zeroDateIsNull_; }
  void SetZeroDateIsNull(bool value) { zeroDateIsNull_ = value; }
  bool NullLOBIsEmpty() const { return nullLOBIsEmpty_; }
  void SetNullLOBIsEmpty(bool value) { nullLOBIsEmpty_ = value; }
  bool NullObjectIsEmpty() const { return nullObjectIsEmpty_; }
  void SetNullObjectIsEmpty(bool value) { nullObjectIsEmpty_ = value; }
  TTemporaryLOBOption TemporaryLOB() const { return temporaryLOB_; }
  void SetTemporaryLOB(TTemporaryLOBOption value) { temporaryLOB_ = value; }
  bool TimestampAsString() const { return timestampAsString_; }
  void SetTimestampAsString(bool value);

 private:
  void reactivate();

  TOracleSession* session_;
  std::int32_t floatPrecision_ = 0;
  std::int32_t integerPrecision_ = 0;
  std::int32_t smallIntPrecision_ = -1;
  bool useOCI7_ = false;
  bool convertCRLF_ = true;
  bool trimStringFields_ = true;
  std::int32_t maxStringFieldSize_ = 0;
  bool zeroDateIsNull_ = true;
  bool nullLOBIsEmpty_ = false;
  bool nullObjectIsEmpty_ = false;
  TTemporaryLOBOption temporaryLOB_ = tlCache;
  bool timestampAsString_ = false;
};

}  // namespace oracle
