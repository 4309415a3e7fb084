#pragma once
// Locale-free printf-style formatting and number parsing. Qt sets the C
// library's locale from the environment, so nothing here may depend on it.
#include <cstdint>
#include <string>
#include <string_view>

namespace NsOvrin::NsPlatform {

// printf-style formatting in the "C" locale whatever the process locale is.
std::string StrFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Appends value as "%.*f" writes it with that many decimals (0 to 9), without
// going through the formatter: the check formats thousands of positions.
void AppendFixed(std::string& out, double value, int decimals);

// Reads the leading decimal digits of the text (no sign, no blanks); a value
// past the maximum saturates at UINT32_MAX / UINT64_MAX. No digit gives 0.
uint32_t ParseDecimalU32Saturating(std::string_view digits);
uint64_t ParseDecimalU64Saturating(std::string_view digits);

}  // namespace NsOvrin::NsPlatform
