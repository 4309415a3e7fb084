#include "wui/ColourContrast.h"

#include <algorithm>
#include <cmath>

namespace NsOvrin::NsWui {

double RelativeLuminance(const QColor& colour) {
  const auto channel = [](double c) {
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) +
         0.0722 * channel(colour.blueF());
}

double ContrastRatio(const QColor& a, const QColor& b) {
  const double la = RelativeLuminance(a);
  const double lb = RelativeLuminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor FadedToward(const QColor& text, const QColor& back, double ratio,
                   std::initializer_list<QColor> otherFills) {
  const auto reads = [&](const QColor& colour) {
    if (ContrastRatio(colour, back) < ratio) return false;
    return std::all_of(otherFills.begin(), otherFills.end(),
                       [&](const QColor& fill) { return ContrastRatio(colour, fill) >= ratio; });
  };
  constexpr int kSteps = 100;
  QColor best = text;
  for (int step = 1; step < kSteps; ++step) {
    const double t = static_cast<double>(step) / kSteps;
    const auto mix = [t](int from, int to) { return static_cast<int>(std::lround(from + (to - from) * t)); };
    const QColor colour(mix(text.red(), back.red()), mix(text.green(), back.green()),
                        mix(text.blue(), back.blue()));
    // The first step that no longer reads ends the way.
    if (!reads(colour)) break;
    best = colour;
  }
  return best;
}

}  // namespace NsOvrin::NsWui
