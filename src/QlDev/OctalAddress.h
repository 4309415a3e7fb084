#pragma once
// Arithmetic of addresses written in octal digits (the X and Y areas): an
// address keeps its number as written, X17 has the start number 17 and is the
// 16th point. Results that do not fit 32 bits saturate at UINT32_MAX.
#include <cstdint>

namespace NsOvrin::NsTermination {

// Reads the decimal digits of the number as octal digits (377 gives 255).
// Digits 8 and 9 are not refused here; the memory maps check them.
uint32_t OctalToLinear(uint32_t number);

// The written number of the last of count points from start; start itself for
// a count of 0 (X20 with 8 points gives 27).
uint32_t OctalLastAddress(uint32_t start, uint16_t count);

// The written number of the next point (77 gives 100).
uint32_t OctalIncrement(uint32_t number);

// Writes a linear position in octal digits (255 gives 377).
uint32_t LinearToOctal(uint64_t linear);

}  // namespace NsOvrin::NsTermination
