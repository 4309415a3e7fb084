#pragma once
// The window side that the element and page property pages share: a
// captionless child dialog laid out like its template, with its own
// vertical scroll bar, the key filter that keeps Enter and Escape from
// ending it, the grey static texts, group captions and separator lines.
#include <vector>

#include <QDialog>

#include "wui/SeparatorLine.h"

class QLabel;
class QScrollBar;

namespace NsOvrin {

namespace NsWui {
class CColorfulStatic;
}

class ProtEditor;

class ProtDialog : public QDialog {
 public:
  // Width of every page's template.
  static constexpr int kPageWidth = 330;
  // Left edge and width of the controls inside a group.
  static constexpr int kMargin = 10;
  static constexpr int kInnerWidth = kPageWidth - 2 * kMargin;

  // Text colour of static texts where it reads on the page's fill (a
  // contrast of 4.5 : 1, with room for anti-aliasing); on other fills they
  // take the look's text colour.
  static constexpr uint32_t kStaticTextColour = 0x606870;
  // Group captions: text, size, fill.
  static constexpr uint32_t kCaptionTextColour = 0x555555;
  static constexpr int kCaptionFontSize = 90;
  static constexpr uint32_t kCaptionFill = 0xD7E4E4;
  // Separator lines above the groups.
  static constexpr uint32_t kSeparatorColour = 0xC0C0C0;

  // editor is the page's own editor part.
  ProtDialog(QWidget* parent, ProtEditor& editor);

  QScrollBar* VScrollBar() const { return vbar_; }
  const std::vector<NsWui::SeparatorLine>& Separators() const { return separators_; }

 // Builders of the layout.
  // A static text in the page's grey (see kStaticTextColour).
  QLabel* AddStatic(const char* text, const QRect& rect);
  static QLabel* NewStatic(QWidget* parent, const char* text, const QRect& rect);
  // At y: the separator placeholder (hidden, recorded as a line) and below
  // it the group caption. Returns the y below the caption.
  int AddGroup(int separatorId, int captionId, const char* caption, int y);
  // The 14 x 9 eye picture beside an opacity slider.
  QLabel* AddEyeBitmap(int x, int y);
  // The template's size: contentWidth and contentHeight from it.
  void MeasureContent(int height);

 protected:

  // Enter and Escape are eaten: they never end or hide a page. A confirm
  // edit takes Enter before it gets here.
  void keyPressEvent(QKeyEvent* event) override;
  // No control of the page acts on Enter or Escape either: push buttons
  // (colour buttons and radio buttons among them) lose both keys before
  // they see them; text edits keep them, confirm edits need Enter.
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void OnScrollAction(int action);

  ProtEditor& editor_;
  QScrollBar* vbar_;
  std::vector<NsWui::SeparatorLine> separators_;
};

}  // namespace NsOvrin
