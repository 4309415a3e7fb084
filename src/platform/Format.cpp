#include "platform/Format.h"

#include <charconv>
#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <limits>
#include <locale.h>

namespace NsOvrin::NsPlatform {
namespace {

locale_t CLocale() {
  static locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  return loc;
}

// Switches the calling thread to the "C" locale for its lifetime.
struct ScopedCLocale {
  locale_t old = uselocale(CLocale());
  ~ScopedCLocale() { uselocale(old); }
};

}  // namespace

std::string StrFormat(const char* format, ...) {
  ScopedCLocale c;
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int n = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string out;
  if (n > 0) {
    out.resize(static_cast<std::size_t>(n) + 1);
    std::vsnprintf(out.data(), out.size(), format, args);
    out.resize(static_cast<std::size_t>(n));
  }
  va_end(args);
  return out;
}

uint64_t ParseDecimalU64Saturating(std::string_view digits) {
  constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();
  uint64_t v = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') break;
    const unsigned d = static_cast<unsigned>(c - '0');
    if (v > (kMax - d) / 10) return kMax;
    v = v * 10 + d;
  }
  return v;
}

uint32_t ParseDecimalU32Saturating(std::string_view digits) {
  const uint64_t v = ParseDecimalU64Saturating(digits);
  return v > std::numeric_limits<uint32_t>::max() ? std::numeric_limits<uint32_t>::max()
                                                   : static_cast<uint32_t>(v);
}

void AppendFixed(std::string& out, double value, int decimals) {
  // Both round the exact binary value to nearest, ties to even, and spell
  // infinities and NaN alike.
  char buffer[400];
  const auto written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  if (written.ec == std::errc()) {
    out.append(buffer, written.ptr);
  } else {
    out += StrFormat("%.*f", decimals, value);
  }
}

}  // namespace NsOvrin::NsPlatform
