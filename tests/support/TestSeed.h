// The seed of a randomized test. DBL_TEST_SEED replays a run: set it to the seed a failed run
// printed. Without it every run draws a fresh seed, and prints it too.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <random>
#include <string>

namespace testsupport {

inline unsigned TestSeed() {
  unsigned seed = 0;
  const char* given = std::getenv("DBL_TEST_SEED");
  if (given != nullptr && *given != '\0') {
    seed = static_cast<unsigned>(std::strtoul(given, nullptr, 10));
  } else {
    seed = std::random_device{}();
  }
  std::cout << "[   SEED   ] DBL_TEST_SEED=" << seed << " replays this test\n";
  ::testing::Test::RecordProperty("seed", std::to_string(seed));
  return seed;
}

}  // namespace testsupport
