#include <gtest/gtest.h>

#include "platform/FakeProcess.h"
#include "platform/RegFileRegistry.h"
#include "platform/Services.h"
#ifdef _WIN32
#include "platform/WinLibraries.h"
#include "platform/WinLocale.h"
#include "platform/WinProcess.h"
#include "platform/WinRegistry.h"
#else
#include "platform/PosixProcess.h"
#endif

namespace platform {
namespace {

TEST(Services, DefaultsAreTheNativeImplementations) {
  const Services& set = services();
  EXPECT_NE(set.registry, nullptr);
  EXPECT_NE(set.profile, nullptr);
  EXPECT_NE(set.libraries, nullptr);
  EXPECT_NE(set.fileSystem, nullptr);
  EXPECT_NE(set.locale, nullptr);
  EXPECT_NE(set.clock, nullptr);
#ifdef _WIN32
  EXPECT_NE(dynamic_cast<WinProcess*>(&process()), nullptr);
  EXPECT_NE(dynamic_cast<WinRegistry*>(&registry()), nullptr);
  EXPECT_NE(dynamic_cast<WinLibraries*>(&libraries()), nullptr);
  EXPECT_NE(dynamic_cast<WinLocale*>(&locale()), nullptr);
#else
  EXPECT_NE(dynamic_cast<PosixProcess*>(&process()), nullptr);
  EXPECT_NE(dynamic_cast<RegFileRegistry*>(&registry()), nullptr);
#endif
}

TEST(Services, ScopedServicesReplaceOnlyTheGivenMembersAndNest) {
  Process* const nativeProcess = &process();
  Registry* const nativeRegistry = &registry();
  testing::FakeProcess outer;
  testing::FakeProcess inner;
  RegFileRegistry fakeRegistry(RegText{""});
  {
    ScopedServices first({.process = &outer});
    EXPECT_EQ(&process(), &outer);
    EXPECT_EQ(&registry(), nativeRegistry);
    {
      ScopedServices second({.registry = &fakeRegistry, .process = &inner});
      EXPECT_EQ(&process(), &inner);
      EXPECT_EQ(&registry(), &fakeRegistry);
    }
    EXPECT_EQ(&process(), &outer);
    EXPECT_EQ(&registry(), nativeRegistry);
  }
  EXPECT_EQ(&process(), nativeProcess);
}

}  // namespace
}  // namespace platform
