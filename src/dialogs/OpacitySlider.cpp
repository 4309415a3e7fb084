#include "dialogs/OpacitySlider.h"

#include <QMouseEvent>

namespace NsOvrin {

OpacitySlider::OpacitySlider(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
  setRange(0, 100);
}

void OpacitySlider::mouseReleaseEvent(QMouseEvent* event) {
  QSlider::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && released) released(value());
}

}  // namespace NsOvrin
