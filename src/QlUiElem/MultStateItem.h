#pragma once
// The look of one state of a multi-state text.
#include <cstdint>
#include <string>

#include "dx2d/D2Types.h"

namespace NsOvrin::NsQlUiElem {

struct MultStateItem {
  std::string text;
  NsDx2d::COLORREF textColour = 0x000000;
  int32_t fontSize = 100;  // tenths of a point
  NsDx2d::COLORREF bkColour = 0xFFFFFF;
  // 0 draws no fill.
  float bkOpacity = 0.0f;
  // 0 leading, 1 centre, 2 trailing.
  uint16_t horizontalAlignment = 0;
  // 0 top, 1 centre, 2 bottom.
  uint16_t verticalAlignment = 0;
};

// The look of a state made without settings: empty black text of size 100,
// no fill, top-leading. One constant for the whole process.
const MultStateItem& DefaultMultStateItem();

}  // namespace NsOvrin::NsQlUiElem
