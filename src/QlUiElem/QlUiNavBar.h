#pragma once
// A navigation bar: a row (or column) of labelled tabs, one of them drawn as
// selected. The binding holds the page of each tab by position. The bar is
// framed by an embedded shape painter whose rectangle and colours follow the
// bar's.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "QlUiElem/QlUiElem.h"
#include "dx2d/ShapePainter.h"

namespace NsOvrin::NsQlUiElem {

using NsDx2d::COLORREF;

class QlUiNavBar : public QlUiElem {
 public:
  // Size of a new bar.
  static constexpr float kNewWidth = 510.0f;
  static constexpr float kNewHeight = 30.0f;

  // No labels; the frame painter flat, square, in the bar's colours.
  QlUiNavBar();

  // A new bar as the element factory places it at p: 510 x 30 with the tabs
  // "首页", "页面1", "页面2" and "...", the first selected.
  static std::shared_ptr<QlUiNavBar> QlUiNavBarAt(NsDx2d::D2D_POINT_2F p);

  // Tab i: a fixed size (at least 1) when asked for, else an equal share of
  // the bar, 10 without labels. Fixed tabs may run past the bar's end.
  D2D_RECT_F GetTabRect(int32_t index) const;

  // Background, tabs, frame. Nothing without a render target, a text-format
  // cache and a brush cache.
  void Draw(const D2ResInfo& d2) override;
  D2D_RECT_F GetRect() const override { return rect; }

  // These keep the frame painter in step: its rectangle, square corners and
  // released geometry, respectively its border and fill colour.
  void SetRect(const D2D_RECT_F& r);
  void SetBorderColour(COLORREF colour);
  void SetBkColour(COLORREF colour);

  // Every field, labels and painter settings included; the copy's painter
  // builds its own geometry.
  std::shared_ptr<QlUiNavBar> Clone() const;

  D2D_RECT_F rect;
  COLORREF textColour = 0x333333;
  // Label of the selected tab.
  COLORREF textColour2 = 0x555555;
  int32_t fontSize = 105;  // tenths of a point
  COLORREF borderColour = 0xD1D1D1;
  COLORREF bkColour = 0xEDEDED;
  // Fill of the selected tab.
  COLORREF bkColour2 = 0xF6F6F6;
  bool fixedTabWidth = false;
  // Width of a horizontal tab, height of a vertical one, when fixed.
  float tabWidth = 120.0f;
  // False: tabs stacked top to bottom.
  bool horizontal = true;
  // One per tab.
  std::vector<std::string> labels;
  // Outside the labels no tab is highlighted.
  int32_t selectedIndex = 0;
  NsDx2d::ShapePainter painter;

 protected:
  QlUiNavBar(const QlUiNavBar&) = default;
  QlUiNavBar& operator=(const QlUiNavBar&) = default;

 private:
  void DrawTabs(const D2ResInfo& d2);
};

}  // namespace NsOvrin::NsQlUiElem
