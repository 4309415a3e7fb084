#pragma once
// The persistent form of one page, exchanged between the page files and the
// editor.
#include <cstdint>
#include <string>
#include <vector>

#include "QlUiElem/QlElemData.h"
#include "dx2d/D2Types.h"

namespace NsOvrin::NsQlUiElem {

struct QlPageData {
  D2D_RECT_F rect;
  NsDx2d::COLORREF backgroundColour = 0xF0F0F0;
  // Also the name of the page's file.
  std::string name;
  // User level needed to open the page.
  int32_t accessPermission = 0;
  // In drawing order: the first is drawn first.
  std::vector<QlElemData> elements;
};

}  // namespace NsOvrin::NsQlUiElem
