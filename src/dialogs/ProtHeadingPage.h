#pragma once
// The pages of the element kinds that have nothing to edit in the pane (the
// alarm list, the alarm history, the login button): a heading and an etched
// line, so that the pane still names the selection. They keep no selection,
// write nothing, do not scroll and leave their statics in the system look.
#include <QDialog>

#include "dialogs/UiElemProtEditor.h"

class QFrame;
class QLabel;

namespace NsOvrin {

class ProtHeadingPage : public QDialog, public UiElemProtEditor {
 public:
  // heading is the static's text; height is the template's in pixels.
  ProtHeadingPage(QWidget* parent, const char* heading, int height);

  QWidget* GetWindow() override { return this; }
  // Nothing to load: the selection is not kept.
  void Bind(const Selection& elems) override;

  QLabel* Heading() const { return heading_; }
  QFrame* Line() const { return line_; }

 protected:
  // Enter and Escape never end or hide the page.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QLabel* heading_;
  QFrame* line_;
};

}  // namespace NsOvrin
