// Every variant passes the generation probe: the generation it advertises through its exports
// is the one it is, and the calls of that generation all answer.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include "ociemu/ClientFixture.h"
#include "ociemu/GenerationProbe.h"

namespace ociemu::test {
namespace {

using testing::Variant;

class GenerationProbeTest : public ClientTest, public ::testing::WithParamInterface<Variant> {
 protected:
  GenerationProbeTest() : ClientTest(GetParam()) {}
};

TEST_P(GenerationProbeTest, DriverGuessesTheGenerationAndCallsTheRestUnchecked) {
  const int expected[] = {70, 80, 81, 90, 92};
  EXPECT_EQ(probe_generation(client->Library()), expected[static_cast<int>(GetParam())]);
  char problem[128];
  EXPECT_EQ(probe_run(client->Library(), "SCOTT", "TIGER", "ORCL", problem, sizeof problem), 0)
      << problem;
  EXPECT_EQ(testing::LiveConnections(client->Library()), 0);
}

INSTANTIATE_TEST_SUITE_P(Variants, GenerationProbeTest,
                         ::testing::Values(Variant::Oci7, Variant::Oci8, Variant::Oci81,
                                           Variant::Net9, Variant::Full),
                         [](const auto& param) { return testing::VariantName(param.param); });

}  // namespace
}  // namespace ociemu::test
