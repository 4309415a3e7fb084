#include "platform/Clock.h"

#include <time.h>

#include <gtest/gtest.h>

namespace {

uint32_t MonotonicMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<uint32_t>(static_cast<uint64_t>(ts.tv_sec) * 1000u +
                               static_cast<uint64_t>(ts.tv_nsec) / 1000000u);
}

TEST(Clock, CountsMonotonicMillisecondsIn32Bits) {
  // Bracketed by two independent reads (unsigned differences survive a wrap).
  const uint32_t before = MonotonicMs();
  const uint32_t now = NsOvrin::NsPlatform::TimeGetTime();
  const uint32_t after = MonotonicMs();
  EXPECT_LE(now - before, after - before);
}

}  // namespace
