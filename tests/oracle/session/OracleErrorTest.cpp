#include "oracle/session/OracleError.h"

#include <gtest/gtest.h>

namespace oracle {
namespace {

TEST(EOracleMTSError, MessageFromTheStatusTable) {
  EXPECT_EQ(EOracleMTSError("OraMTSSvcGet", 3002).Message(),
            "MTS error 3002: failed attach to Oracle\r\nin function OraMTSSvcGet");
  EXPECT_EQ(EOracleMTSError("OraMTSSvcRel", 7000).Message(),
            "MTS error 7000: \r\nin function OraMTSSvcRel");
  EXPECT_EQ(EOracleMTSError("Initialization error: no library", 0).Message(),
            "Initialization error: no library");
  EXPECT_EQ(EOracleMTSError("x", 6014).ErrorCode(), 6014);
  EXPECT_EQ(MTSStatusText(1001), "no MTXDM.DLL available");
  EXPECT_NO_THROW(CheckMTSError(0, "OraMTSSvcGet"));
  EXPECT_THROW(CheckMTSError(5012, "OraMTSSvcGet"), EOracleMTSError);
}

TEST(EOracleError, LongMessagesAreCutAndFieldsKept) {
  const EOracleError e(1017, std::string(2000, 'x'), nullptr, nullptr);
  EXPECT_EQ(e.Message().size(), MaxErrorMessageLength);
  EXPECT_EQ(e.ErrorCode(), 1017);
  const EOracleWarning w(28002, "ORA-28002: the password will expire within 7 days\n", nullptr,
                         nullptr);
  const EOracleError& asError = w;
  EXPECT_EQ(asError.ErrorCode(), 28002);
}

}  // namespace
}  // namespace oracle
