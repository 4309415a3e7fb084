#pragma once
// The login element: a user-name field at the left and two buttons at the
// right end, "修改密码" and "登 出". The editor always shows it logged out,
// with the placeholder "-- 请登录 --" in the name field.
#include <memory>

#include "QlUiElem/QlUiElem.h"
#include "dx2d/ShapePainter.h"
#include "dx2d/TextPainter.h"

namespace NsOvrin::NsQlUiElem {

class QlUiBtnUser : public QlUiElem {
 public:
  // Size of a new login element.
  static constexpr float kNewWidth = 340.0f;
  static constexpr float kNewHeight = 31.0f;

  // The default look; every rectangle 0.
  QlUiBtnUser();
  // A new login element as the element factory places it: (p.x, p.y,
  // p.x + 340, p.y + 31), laid out.
  static std::shared_ptr<QlUiBtnUser> QlUiBtnUserAt(NsDx2d::D2D_POINT_2F p);

  // Painter styles and colours, the button texts, sizes and alignments,
  // then the logged-out look.
  void SetDefaultLook();
  // The placeholder name in grey and greyed button texts.
  void UpdateLoginLook();

  // Moves the element and lays out its frames and texts from the rectangle:
  // the buttons are 100 and 80 wide at the right end, not clamped for a
  // narrow element. The hosts and the page reader move it only through this.
  void SetRect(const D2D_RECT_F& r);

  // Name box, button strip, separator, then the three texts. Nothing
  // without a render target, a text-format cache and a brush cache.
  void Draw(const D2ResInfo& d2) override;
  D2D_RECT_F GetRect() const override { return rect; }

  // Every field, the base's included; the painters build their own geometry.
  std::shared_ptr<QlUiBtnUser> Clone() const;

  D2D_RECT_F rect;
  // White box behind the name field and the first button.
  NsDx2d::ShapePainter nameBox;
  // Raised strip behind the two buttons.
  NsDx2d::ShapePainter buttonStrip;
  NsDx2d::TextPainter nameLabel;
  NsDx2d::TextPainter passwordText;
  NsDx2d::TextPainter logoutText;
};

}  // namespace NsOvrin::NsQlUiElem
