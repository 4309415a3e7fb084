#include "wui/TextLayout.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include "wui/FontManager.h"
#include "wui/GdiPaint.h"

namespace NsOvrin::NsWui {

namespace {

constexpr int kIconGap = 6;

}  // namespace

const std::string& TextLayout::GetFace() {
  if (face.empty()) face = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family().toStdString();
  return face;
}

void TextLayout::Draw(QPainter& painter, const WRect& rect, const std::string& text) {
  const QFont* font = FontManager::Instance().GetFont(fontSize, GetFace());
  const QString qtext = QString::fromStdString(text);
  const QFontMetrics metrics(*font);
  const int textWidth = metrics.horizontalAdvance(qtext);
  const int textHeight = metrics.height();
  const int y = rect.top + (rect.Height() - textHeight) / 2;

  int x = 0;
  if (icon != nullptr && !icon->isNull()) {
    const int iw = icon->width();
    const int ih = icon->height();
    const int iconY = rect.top + (rect.Height() - ih) / 2;
    int iconX = 0;
    bool drawIcon = true;
    switch (alignment) {
      case kAlignLeft:
        iconX = rect.left + 4;
        x = rect.left + iw + 10;
        break;
      case kAlignCentre:
        iconX = rect.left + (rect.Width() - iw - textWidth - kIconGap) / 2;
        x = iconX + iw + kIconGap;
        break;
      case kAlignRight:
        iconX = rect.left + 4;
        x = rect.right - textWidth - 6;
        break;
      default:
        drawIcon = false;
        x = 6;
        break;
    }
    if (drawIcon) painter.drawImage(QPoint(iconX, iconY), *icon);
  } else {
    switch (alignment) {
      case kAlignLeft: x = rect.left + 4; break;
      case kAlignCentre: x = rect.left + (rect.Width() - textWidth) / 2; break;
      case kAlignRight: x = rect.right - textWidth - 4; break;
      default: x = 6; break;
    }
  }

  painter.save();
  painter.setFont(*font);
  painter.setPen(GdiColour(textColour));
  painter.drawText(QPoint(x, y + metrics.ascent()), qtext);
  painter.restore();
}

}  // namespace NsOvrin::NsWui
