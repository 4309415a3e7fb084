#pragma once
// How well one colour reads on another, by the relative luminance of the
// two: 1 : 1 for equal colours up to 21 : 1 for black on white.
#include <QColor>

namespace NsOvrin::NsWui {

// 0 for black to 1 for white.
double RelativeLuminance(const QColor& colour);
double ContrastRatio(const QColor& a, const QColor& b);

// The colour on the way from text to back that lies nearest back and still
// reads at ratio on back and on each of the other fills given; text itself
// when no step of the way does.
QColor FadedToward(const QColor& text, const QColor& back, double ratio,
                   std::initializer_list<QColor> otherFills = {});

}  // namespace NsOvrin::NsWui
