#include "wui/CColorfulStatic.h"

#include <QPainter>

#include "wui/FontManager.h"

namespace NsOvrin::NsWui {

CColorfulStatic::CColorfulStatic(uint32_t textColour, int32_t fontSize, int32_t alignment, QWidget* parent)
    : QLabel(parent) {
  textLayout.textColour = textColour;
  textLayout.fontSize = fontSize;
  textLayout.alignment = alignment;
  textLayout.face = FontManager::kDefaultFace;
}

void CColorfulStatic::DrawItem(QPainter& painter) {
  const WRect client = WRect::FromQRect(rect());
  frameStyle.Draw(painter, client);
  frameStyle.image.rect = client;
  frameStyle.image.Draw(&painter);
  textLayout.Draw(painter, client, text().toStdString());
}

CColorfulStatic& CColorfulStatic::SetText(const std::string& text) {
  const QString qtext = QString::fromStdString(text);
  if (!isVisible()) {
    setText(qtext);
    return *this;
  }
  if (qtext == this->text()) return *this;
  setText(qtext);
  if (!frameStyle.background) InvalidateParentArea();
  return *this;
}

void CColorfulStatic::SetColours(uint32_t textColour, uint32_t backColour, bool repaint) {
  textLayout.textColour = textColour;
  frameStyle.backgroundColour = backColour;
  if (repaint) update();
}

void CColorfulStatic::InvalidateParentArea() {
  if (QWidget* parent = parentWidget()) parent->update(geometry());
}

void CColorfulStatic::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  DrawItem(painter);
}

}  // namespace NsOvrin::NsWui
