// The error model over a real client: warning codes from the registry, the warning class, the
// client's message texts and the feature guards.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/ClientHome.h"
#include "oracle/core/Exception.h"
#include "oracle/session/OracleError.h"
#include "oracle/session/OracleSession.h"
#include "oracle/session/SessionUnit.h"
#include "platform/RegFileRegistry.h"
#include "platform/Services.h"

namespace sessiontest {
namespace {

platform::RegFileRegistry warningsRegistry(const std::string& values) {
  return platform::RegFileRegistry(platform::RegText{
      "Windows Registry Editor Version 5.00\r\n\r\n"
      "[HKEY_CURRENT_USER\\SOFTWARE\\Kervalon\\KVL\\Warnings]\r\n" +
      values});
}

class WarningCodesTest : public testing::Test {
 protected:
  void TearDown() override {
    platform::RegFileRegistry empty(platform::RegText{""});
    platform::ScopedServices none({.registry = &empty});
    oracle::LoadWarningCodes();
  }
};

TEST_F(WarningCodesTest, LoadStopsAtTheFirstMissingValueAndSkipsSwitchedOffOnes) {
  auto registry = warningsRegistry(
      "\"1\"=\"1403\"\r\n\"2\"=\"*942\"\r\n\"3\"=\"28002\"\r\n\"5\"=\"1\"\r\n");
  platform::ScopedServices services({.registry = &registry});
  oracle::LoadWarningCodes();
  EXPECT_THAT(oracle::WarningCodes(), testing::ElementsAre(1403, 28002));

  auto junk = warningsRegistry("\"1\"=\"abc\"\r\n\"2\"=\"54\"\r\n\"3\"=\"\"\r\n\"4\"=\"99\"\r\n");
  platform::ScopedServices other({.registry = &junk});
  oracle::LoadWarningCodes();
  EXPECT_THAT(oracle::WarningCodes(), testing::ElementsAre(54));
}

TEST_F(WarningCodesTest, AListedCodeIsRaisedAsAWarning) {
  ClientHome client;
  auto registry = warningsRegistry("\"1\"=\"1017\"\r\n");
  platform::ScopedServices services({.registry = &registry});
  oracle::LoadWarningCodes();
  oracle::TOracleSession s(nullptr);
  s.SetLogonUsername("scott/wrong@DB");
  EXPECT_THROW(s.LogOn(), oracle::EOracleWarning);
  s.SetLogonUsername("nobody");
  s.SetLogonDatabase("NOWHERE");
  try {
    s.LogOn();
  } catch (const oracle::EOracleWarning&) {
    ADD_FAILURE() << "12154 is not a warning";
  } catch (const oracle::EOracleError& e) {
    EXPECT_EQ(e.ErrorCode(), 12154);
  }
}

TEST(ErrorModel, ClientErrorMessageAndFeatureGuards) {
  ClientHome client;
  oracle::TOracleSession s(nullptr);
  struct Guard {
    std::function<void()> check;
    const char* message;
  };
  const auto expectMessage = [](const std::function<void()>& check, const std::string& message) {
    try {
      check();
      ADD_FAILURE() << "no exception for " << message;
    } catch (const oracle::Exception& e) {
      EXPECT_EQ(e.Message(), message);
    }
  };
  expectMessage([] { oracle::RequireSessionFeature(nullptr, "A LOB Locator variable"); },
                "A LOB Locator variable requires a session");
  expectMessage([&] { oracle::RequireSessionFeature(&s, "A query with LOB's"); },
                "A query with LOB's requires a connected session");

  s.Preferences().SetUseOCI7(true);
  s.SetLogonUsername("scott/tiger@DB");
  s.LogOn();
  expectMessage([&] { oracle::RequireSessionFeature(&s, "A query with LOB's"); },
                "A query with LOB's requires OCI8 mode, but OCI7 mode is used.");
  expectMessage([&] { oracle::RequireSessionFeature9(&s, "A query with timestamps"); },
                "A query with timestamps requires OCI8 mode, but OCI7 mode is used.");
  EXPECT_THAT(oracle::ClientErrorMessage(&s, 1017), testing::StartsWith("ORA-01017"));
  s.LogOff();
  s.Preferences().SetUseOCI7(false);
  s.LogOn();
  EXPECT_NO_THROW(oracle::RequireSessionFeature(&s, "A query with LOB's"));
  EXPECT_THAT(oracle::ClientErrorMessage(&s, 942), testing::StartsWith("ORA-00942"));
}

TEST(ErrorModel, OCI7SessionWithoutNet8NamesTheMissingClient) {
  ClientHome client(Variant::Oci7);
  oracle::TOracleSession s(nullptr);
  s.SetLogonUsername("scott/tiger@DB");
  s.LogOn();
  try {
    oracle::RequireSessionFeature(&s, "A TLOBLocator instance");
    FAIL();
  } catch (const oracle::Exception& e) {
    EXPECT_EQ(e.Message(), "A TLOBLocator instance requires Net8, which is not detected on this PC");
  }
  try {
    oracle::RequireSessionFeature9(&s, "A query with timestamps");
    FAIL();
  } catch (const oracle::Exception& e) {
    EXPECT_EQ(e.Message(),
              "A query with timestamps requires Oracle Net 9, which is not detected on this PC");
  }
}

}  // namespace
}  // namespace sessiontest
