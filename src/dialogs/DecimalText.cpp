#include "dialogs/DecimalText.h"

#include <charconv>
#include <limits>
#include <string_view>

namespace NsOvrin {

double ParseDecimalText(const std::string& text) {
  std::string_view digits = text;
  bool negative = false;
  // from_chars takes no plus sign.
  if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
    negative = digits.front() == '-';
    digits.remove_prefix(1);
  }
  double value = 0.0;
  const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), value,
                                      std::chars_format::fixed);
  if (result.ec == std::errc::result_out_of_range) {
    // Only a value of 1 or more can overflow; one below 1 underflows to 0.
    const bool atLeastOne = digits.find_first_not_of('0') < digits.find('.');
    value = atLeastOne ? std::numeric_limits<double>::infinity() : 0.0;
  } else if (result.ec != std::errc()) {
    value = 0.0;
  }
  return negative ? -value : value;
}

}  // namespace NsOvrin
