// Common set-up of the end-to-end tests: a scripted user, clean process-wide state (texts,
// history, command line) before and after each test.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/ScriptedPort.h"
#include "oracle/logon/LogonHistory.h"
#include "oracle/logon/LogonTexts.h"
#include "platform/Process.h"
#include "platform/Services.h"

namespace e2e {

class ProcessStateTest : public testing::Test {
 protected:
  void SetUp() override { reset({}); }
  void TearDown() override {
    reset({});
    EXPECT_TRUE(user.Problems().empty()) << testing::PrintToString(user.Problems());
  }

  static void reset(std::vector<std::string> arguments) {
    oracle::ResetLogonTexts();
    oracle::LogonHistory().Clear();
    oracle::LogonHistory().MaxItems = 0;
    oracle::LogonHistory().WithPassword = false;
    platform::process().setArguments(std::move(arguments));
  }
  static void commandLine(std::vector<std::string> arguments) {
    platform::process().setArguments(std::move(arguments));
  }

  testsupport::ScriptedPort user;
};

}  // namespace e2e
