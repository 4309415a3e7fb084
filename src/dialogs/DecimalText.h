#pragma once
// Reading a number the page's rules have accepted as decimal text.
#include <string>

namespace NsOvrin {

// An optional sign, digits and an optional fraction, read without regard to
// the locale. Digits beyond the double range give an infinite value; text
// that is not such a number gives 0.
double ParseDecimalText(const std::string& text);

}  // namespace NsOvrin
