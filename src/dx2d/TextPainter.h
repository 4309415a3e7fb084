#pragma once
// A text drawn into a rectangle with a font size, a colour and two
// alignments, through the shared text format of that size.
#include <cstdint>
#include <string>

#include "dx2d/D2ResInfo.h"
#include "dx2d/D2Types.h"
#include "dx2d/TextFormat.h"

namespace NsOvrin::NsDx2d {

// 0 leading, 1 centre, 2 trailing; another value leaves the format as it is.
void ApplyTextAlignment(TextFormat& format, uint16_t alignment);
// 0 top (near), 1 centre, 2 bottom (far); another value leaves the format as it is.
void ApplyParagraphAlignment(TextFormat& format, uint16_t alignment);

struct TextPainter {
  D2D_RECT_F rect;
  std::string text;
  COLORREF colour = 0x222222;
  int32_t fontSize = 120;  // tenths of a point
  uint16_t horizontalAlignment = 0;
  uint16_t verticalAlignment = 0;

  // Nothing for an empty text, or unless the context has a render target, a
  // text-format cache and a brush cache. Leaves the alignments set on the
  // shared format.
  void Draw(const D2ResInfo& d2) const;
};

}  // namespace NsOvrin::NsDx2d
