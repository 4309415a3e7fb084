#include "dialogs/ProtDialog.h"

#include <QAbstractSpinBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyle>
#include <QTextEdit>
#include <QWheelEvent>

#include "dialogs/ProtEditor.h"
#include "wui/CColorfulStatic.h"
#include "wui/ColourContrast.h"
#include "wui/DlgItem.h"

namespace NsOvrin {

namespace {

using NsWui::ContrastRatio;

QColor FromColorRef(uint32_t colour) {
  return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

constexpr int kCaptionHeight = 20;

// Contrast the static texts need on the page's fill. Their small glyphs are
// anti-aliased and the strokes seldom reach the full colour, so a colour
// must read with some room to spare.
constexpr double kReadableContrast = 4.5 * 1.05;

// The page's grey where it reads on the fill; else the look's own text
// colour; else black or white.
QColor StaticTextColourOn(const QColor& fill, const QColor& lookText) {
  const QColor grey = FromColorRef(ProtDialog::kStaticTextColour);
  if (ContrastRatio(grey, fill) >= kReadableContrast) return grey;
  if (ContrastRatio(lookText, fill) >= kReadableContrast) return lookText;
  return ContrastRatio(Qt::black, fill) >= ContrastRatio(Qt::white, fill) ? QColor(Qt::black)
                                                                          : QColor(Qt::white);
}

// A static text of a page, drawn on the page's fill, which follows the
// look: some looks fill pages too dark or too close to the grey for it.
class PageStatic : public QLabel {
 public:
  PageStatic(const QString& text, QWidget* parent) : QLabel(text, parent) { Recolour(); }

 protected:
  void changeEvent(QEvent* event) override {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ParentChange) Recolour();
  }

 private:
  void Recolour() {
    const QPalette& fillPalette = parentWidget() != nullptr ? parentWidget()->palette() : palette();
    const QColor colour = StaticTextColourOn(fillPalette.color(QPalette::Window),
                                             fillPalette.color(QPalette::WindowText));
    // Disabled, the text takes the look's disabled colour, made for this fill.
    const QColor disabled = fillPalette.color(QPalette::Disabled, QPalette::WindowText);
    // Setting the palette comes back here as a palette change.
    if (testAttribute(Qt::WA_SetPalette) && palette().color(QPalette::Active, QPalette::WindowText) == colour &&
        palette().color(QPalette::Disabled, QPalette::WindowText) == disabled) {
      return;
    }
    QPalette own = palette();
    own.setColor(QPalette::Active, QPalette::WindowText, colour);
    own.setColor(QPalette::Inactive, QPalette::WindowText, colour);
    own.setColor(QPalette::Disabled, QPalette::WindowText, disabled);
    setPalette(own);
  }
};

}  // namespace

ProtDialog::ProtDialog(QWidget* parent, ProtEditor& editor)
    : QDialog(parent, Qt::Widget), editor_(editor), vbar_(new QScrollBar(Qt::Vertical, this)) {
  setAutoFillBackground(true);
  vbar_->hide();
  connect(vbar_, &QScrollBar::actionTriggered, this, [this](int action) { OnScrollAction(action); });
}

QLabel* ProtDialog::AddStatic(const char* text, const QRect& rect) {
  return NewStatic(this, text, rect);
}

QLabel* ProtDialog::NewStatic(QWidget* parent, const char* text, const QRect& rect) {
  auto* label = new PageStatic(QString::fromUtf8(text), parent);
  label->setGeometry(rect);
  return label;
}

int ProtDialog::AddGroup(int separatorId, int captionId, const char* caption, int y) {
  // The placeholder only marks where the line runs.
  auto* placeholder = new QLabel(this);
  NsWui::SetDlgItemId(placeholder, separatorId);
  placeholder->setGeometry(0, y, kPageWidth, 2);
  placeholder->hide();
  NsWui::SeparatorLine line;
  line.anchor = placeholder;
  line.colour = kSeparatorColour;
  line.horizontal = true;
  line.shown = true;
  line.penStyle = NsWui::PS_SOLID;
  separators_.push_back(line);

  auto* label = new NsWui::CColorfulStatic(kCaptionTextColour, kCaptionFontSize, 1, this);
  NsWui::SetDlgItemId(label, captionId);
  label->SetText(caption);
  label->frameStyle.backgroundColour = kCaptionFill;
  label->frameStyle.gradient = false;
  label->frameStyle.background = true;
  label->setGeometry(0, y + 4, kPageWidth, kCaptionHeight);
  return y + 4 + kCaptionHeight + 6;
}

QLabel* ProtDialog::AddEyeBitmap(int x, int y) {
  QPixmap eye(14, 9);
  eye.fill(Qt::transparent);
  {
    QPainter painter(&eye);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x60, 0x68, 0x70), 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QRectF(0.5, 0.5, 13.0, 8.0));
    painter.setBrush(QColor(0x60, 0x68, 0x70));
    painter.drawEllipse(QRectF(4.5, 2.0, 5.0, 5.0));
  }
  auto* label = new QLabel(this);
  label->setPixmap(eye);
  label->setGeometry(x, y, 14, 9);
  return label;
}

void ProtDialog::MeasureContent(int height) {
  resize(kPageWidth, height);
  editor_.contentWidth = width();
  editor_.contentHeight = height;
}

void ProtDialog::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter: event->accept(); return;
    default: QDialog::keyPressEvent(event);
  }
}

bool ProtDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    auto* widget = qobject_cast<QWidget*>(watched);
    const bool pageKey = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
    // Drop-down lists and other pop-ups are windows of their own and keep
    // their keys.
    if (pageKey && widget != nullptr && widget->window() == window() &&
        qobject_cast<QLineEdit*>(widget) == nullptr &&
        qobject_cast<QAbstractSpinBox*>(widget) == nullptr &&
        qobject_cast<QTextEdit*>(widget) == nullptr &&
        qobject_cast<QPlainTextEdit*>(widget) == nullptr) {
      event->accept();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void ProtDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Every control the page has by now; installing twice keeps one filter.
  for (QWidget* child : findChildren<QWidget*>()) {
    if (child->isWindow()) continue;
    child->installEventFilter(this);
    // Nor does a button look like the page's default one.
    if (auto* button = qobject_cast<QPushButton*>(child)) {
      button->setAutoDefault(false);
      button->setDefault(false);
    }
  }
}

void ProtDialog::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  QPainter painter(this);
  for (const NsWui::SeparatorLine& line : separators_) line.Paint(painter);
}

void ProtDialog::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  const int barWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  vbar_->setGeometry(width() - barWidth, 0, barWidth, height());
  vbar_->raise();
  editor_.UpdateScrollRange(editor_.contentHeight, height());
}

void ProtDialog::wheelEvent(QWheelEvent* event) {
  // Only the vertical wheel scrolls the page.
  if (event->angleDelta().y() == 0 && event->angleDelta().x() != 0) {
    QDialog::wheelEvent(event);
    return;
  }
  if (editor_.OnMouseWheel(event->angleDelta().y())) event->accept();
}

void ProtDialog::OnScrollAction(int action) {
  int code = -1;
  switch (action) {
    case QAbstractSlider::SliderSingleStepSub: code = ProtEditor::SB_LINEUP; break;
    case QAbstractSlider::SliderSingleStepAdd: code = ProtEditor::SB_LINEDOWN; break;
    case QAbstractSlider::SliderPageStepSub: code = ProtEditor::SB_PAGEUP; break;
    case QAbstractSlider::SliderPageStepAdd: code = ProtEditor::SB_PAGEDOWN; break;
    case QAbstractSlider::SliderMove: code = ProtEditor::SB_THUMBTRACK; break;
    case QAbstractSlider::SliderToMinimum: code = ProtEditor::SB_TOP; break;
    case QAbstractSlider::SliderToMaximum: code = ProtEditor::SB_BOTTOM; break;
    default: return;
  }
  editor_.OnVScroll(code, vbar_->sliderPosition());
  // The bar shows what the page applied, not what the slider computed.
  vbar_->setSliderPosition(editor_.scrollPos);
}

}  // namespace NsOvrin
