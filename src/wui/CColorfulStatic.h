#pragma once
// An owner-drawn label: frame and background (FrameStyle), an optional
// picture over the background, and its text (TextLayout). Dialogs use it
// for group captions and status lines.
#include <cstdint>
#include <string>

#include <QLabel>

#include "wui/FrameStyle.h"
#include "wui/TextLayout.h"

namespace NsOvrin::NsWui {

class CColorfulStatic : public QLabel {
 public:
  // Alignment 0 left, 1 centred, 2 right; the face is "宋体".
  CColorfulStatic(uint32_t textColour, int32_t fontSize, int32_t alignment, QWidget* parent = nullptr);

  void DrawItem(QPainter& painter);
  // Changes the text; a shown label whose text changed also has the
  // parent repaint what shows through it, unless it fills its background.
  CColorfulStatic& SetText(const std::string& text);
  // Text colour and background colour; repaints when asked.
  void SetColours(uint32_t textColour, uint32_t backColour, bool repaint);

  FrameStyle frameStyle;
  TextLayout textLayout;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void InvalidateParentArea();
};

}  // namespace NsOvrin::NsWui
