#include "dx2d/qt/QtTextFormat.h"

#include <QStringList>
#include <algorithm>

namespace NsOvrin::NsDx2d {

namespace {

constexpr char kCjkFallbackFamily[] = "WenQuanYi Micro Hei";

int QtStretch(FontStretch stretch) {
  // Percentages of the nine standard widths, ultra-condensed to ultra-expanded.
  static constexpr int kPercent[] = {50, 62, 75, 87, 100, 112, 125, 150, 200};
  const int index = static_cast<int>(stretch);
  if (index < 1 || index > 9) return 100;
  return kPercent[index - 1];
}

QFont::Style QtStyle(FontStyle style) {
  switch (style) {
    case FontStyle::Oblique: return QFont::StyleOblique;
    case FontStyle::Italic: return QFont::StyleItalic;
    case FontStyle::Normal: break;
  }
  return QFont::StyleNormal;
}

}  // namespace

QFont MakeQFont(const TextFormat& format, int logicalDpi) {
  QFont font;
  font.setFamilies(QStringList{QString::fromStdString(format.GetFontFamilyName()),
                               QString::fromLatin1(kCjkFallbackFamily)});
  const int dpi = logicalDpi > 0 ? logicalDpi : 96;
  const double points = static_cast<double>(format.GetFontSize()) * 72.0 / dpi;
  // Qt refuses sizes that are not positive.
  font.setPointSizeF(points > 0.0 ? points : 0.01);
  font.setWeight(static_cast<QFont::Weight>(std::clamp(static_cast<int>(format.GetFontWeight()), 1, 1000)));
  font.setStyle(QtStyle(format.GetFontStyle()));
  font.setStretch(QtStretch(format.GetFontStretch()));
  return font;
}

const QFont& QtTextFormat::FontFor(int logicalDpi) const {
  if (fontDpi_ != logicalDpi) {
    font_ = MakeQFont(*this, logicalDpi);
    fontDpi_ = logicalDpi;
  }
  return font_;
}

QFont FontOf(const TextFormat& format, int logicalDpi) {
  if (const auto* qtFormat = dynamic_cast<const QtTextFormat*>(&format)) return qtFormat->FontFor(logicalDpi);
  return MakeQFont(format, logicalDpi);
}

QTextOption::WrapMode WrapModeOf(const TextFormat& format) {
  return format.GetWordWrapping() == WordWrapping::Wrap ? QTextOption::WrapAtWordBoundaryOrAnywhere
                                                        : QTextOption::NoWrap;
}

}  // namespace NsOvrin::NsDx2d
