#include <gtest/gtest.h>

#include "platform/FakeProcess.h"
#include "platform/PosixProcess.h"
#include "platform/RegFileRegistry.h"
#include "platform/Services.h"

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
  EXPECT_NE(dynamic_cast<PosixProcess*>(&process()), nullptr);
  EXPECT_NE(dynamic_cast<RegFileRegistry*>(&registry()), nullptr);
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
