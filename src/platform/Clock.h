#pragma once
// Millisecond counter of the polling threads.
#include <cstdint>

namespace NsOvrin::NsPlatform {

// Milliseconds of CLOCK_MONOTONIC, cut to 32 bits: wraps after about 49.7
// days, so callers take differences with unsigned arithmetic.
uint32_t TimeGetTime();

}  // namespace NsOvrin::NsPlatform
