#pragma once
// A panel: a coloured box that groups other elements visually, with an
// optional title bar whose top corners are rounded. The title bar exists
// only while the title is not empty.
#include <cstdint>
#include <memory>
#include <string>

#include "QlUiElem/QlUiElem.h"
#include "dx2d/PathGeometry.h"

namespace NsOvrin::NsDx2d {
class D2Factory;
}

namespace NsOvrin::NsQlUiElem {

using NsDx2d::COLORREF;

class QlUiPanel : public QlUiElem {
 public:
  static constexpr float kTitleBarHeight = 30.0f;
  static constexpr float kCornerRadius = 6.0f;

  QlUiPanel() = default;
  QlUiPanel& operator=(const QlUiPanel&) = delete;

  // Body, title bar and title, border; all brushes opaque. Nothing without
  // a render target, a text-format cache and a brush cache.
  void Draw(const D2ResInfo& d2) override;
  D2D_RECT_F GetRect() const override { return rect; }

  // Moves the panel and releases both geometries, which follow the rectangle.
  void SetRect(const D2D_RECT_F& r);
  // Whoever changes the rectangle without SetRect calls this; the
  // geometries are built again at the next draw with a title.
  void ReleaseGeometry();

  // Built once from the rectangle, then the cached one; null when the
  // factory is null or cannot make it.
  NsDx2d::PathGeometry* GetTitleBarGeometry(NsDx2d::D2Factory* factory);
  NsDx2d::PathGeometry* GetOutlineGeometry(NsDx2d::D2Factory* factory);
  // Up the left edge, round the top-left corner, along the top and round
  // the top-right corner, ending 6 below the top at the right edge.
  static void AddTopCorners(NsDx2d::GeometrySink& sink, const D2D_RECT_F& r);

  // Every field but the cached geometries, the base's included.
  std::shared_ptr<QlUiPanel> Clone() const;

  D2D_RECT_F rect;
  std::string title;
  int32_t fontSize = 140;  // tenths of a point
  COLORREF textColour = 0x929292;
  COLORREF titleBkColour = 0xEBEBEB;
  COLORREF borderColour = 0xD7D2D2;
  COLORREF bkColour = 0xF7F5F5;

 protected:
  // The settings only: a copy builds its own geometries.
  QlUiPanel(const QlUiPanel& other);

 private:
  void DrawTitle(const D2ResInfo& d2);

  std::unique_ptr<NsDx2d::PathGeometry> titleBarGeometry_;
  std::unique_ptr<NsDx2d::PathGeometry> outlineGeometry_;
};

}  // namespace NsOvrin::NsQlUiElem
