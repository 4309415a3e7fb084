#pragma once
// The background opacity slider of the property pages (0..100). Its value
// takes effect when the mouse button is released over it, whether the
// handle was dragged or the groove clicked; keys move it without effect.
#include <functional>

#include <QSlider>

namespace NsOvrin {

class OpacitySlider : public QSlider {
 public:
  explicit OpacitySlider(QWidget* parent = nullptr);

  // Called after every mouse release, with the position.
  std::function<void(int)> released;

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace NsOvrin
