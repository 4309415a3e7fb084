#pragma once
// Text formats drawn and measured with Qt. Sizes are DIPs, which on a Qt
// paint device are logical pixels; the Qt font's point size is derived from
// the device's logical DPI. "微软雅黑" and "宋体" are not installed here: every
// face falls back to WenQuanYi Micro Hei, which has the CJK glyphs.
#include <QFont>
#include <QTextOption>

#include "dx2d/TextFormat.h"

namespace NsOvrin::NsDx2d {

// The Qt font of any text format for a device of that logical DPI.
QFont MakeQFont(const TextFormat& format, int logicalDpi);

class QtTextFormat : public TextFormat {
 public:
  using TextFormat::TextFormat;

  // Kept for the last DPI asked.
  const QFont& FontFor(int logicalDpi) const;

 private:
  mutable QFont font_;
  mutable int fontDpi_ = 0;
};

// QtTextFormat's font when the format is one, MakeQFont otherwise.
QFont FontOf(const TextFormat& format, int logicalDpi);

// How a text of the format is broken into lines: at word boundaries, and a
// word wider than the line inside the word, as a Direct2D text layout does;
// or not at all.
QTextOption::WrapMode WrapModeOf(const TextFormat& format);

}  // namespace NsOvrin::NsDx2d
