#include "dialogs/ProtHeadingPage.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>

#include "dialogs/ProtDialog.h"

namespace NsOvrin {

ProtHeadingPage::ProtHeadingPage(QWidget* parent, const char* heading, int height)
    : QDialog(parent, Qt::Widget) {
  // The template: the heading at (10, 7), 77 x 8 units, the line at (10, 18),
  // 201 x 1 units.
  heading_ = new QLabel(QString::fromUtf8(heading), this);
  heading_->setGeometry(15, 11, 116, 13);
  line_ = new QFrame(this);
  line_->setFrameShape(QFrame::HLine);
  line_->setFrameShadow(QFrame::Sunken);
  line_->setGeometry(15, 29, 302, 2);
  // Laid out like the template; contentWidth and contentHeight stay 0.
  resize(ProtDialog::kPageWidth, height);
}

void ProtHeadingPage::Bind(const Selection&) {}

void ProtHeadingPage::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter: event->accept(); return;
    default: QDialog::keyPressEvent(event);
  }
}

}  // namespace NsOvrin
