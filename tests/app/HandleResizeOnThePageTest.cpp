// In the running editor, a handle of text A, (30, 30)-(130, 60) on the
// canvas, dragged with the mouse across the opposite corner and on into the
// margin, in one move and in many: A keeps the corner that was held and a
// size a rubber band catches, and the page file holds that rectangle.
#include <QMouseEvent>

#include "RunningEditorFixture.h"
#include "dx2d/RecordingRenderTarget.h"
#include "editor/EditorGlobals.h"
#include "editor/UiElemCanvas.h"

namespace NsOvrin::Testing {
namespace {

using NsDx2d::D2D_RECT_F;
using NsDx2d::operator<<;

class HandleResizeOnThePage : public RunningEditorFixture {
 protected:
  // The viewport point where the canvas shows a page point.
  QPointF At(QPointF page) const {
    const NsDx2d::D2D_POINT_2F scroll = view_->GetCanvas().GetScrollOffset();
    const float scale = DpiScale > 0.0f ? DpiScale : 1.0f;
    return {(page.x() - scroll.x) * scale, (page.y() - scroll.y) * scale};
  }
  void Send(QEvent::Type type, QPointF page, Qt::MouseButtons held) {
    QWidget* viewport = view_->viewport();
    const QPointF at = At(page);
    QMouseEvent event(type, at, viewport->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      held, Qt::NoModifier);
    QApplication::sendEvent(viewport, &event);
  }
  // Pressed at from, moved to to in that many even steps, released there.
  void DragWithTheMouse(QPointF from, QPointF to, int moves) {
    Send(QEvent::MouseButtonPress, from, Qt::LeftButton);
    for (int i = 1; i <= moves; ++i) Send(QEvent::MouseMove, from + (to - from) * i / moves, Qt::LeftButton);
    Send(QEvent::MouseButtonRelease, to, Qt::NoButton);
  }
  bool Selected(std::size_t i) const {
    for (const auto& member : view_->GetCanvas().GetSelection().GetMembers()) {
      if (member->host == Host(i)) return true;
    }
    return false;
  }
};

TEST_F(HandleResizeOnThePage, TheBottomRightHandleDraggedPastTheTopLeftCornerIntoTheMarginLeavesASizedElement) {
  ASSERT_EQ(Host(0)->GetRect(), (D2D_RECT_F{30, 30, 130, 60}));
  for (const int moves : {1, 5, 20}) {
    SCOPED_TRACE(testing::Message() << moves << " moves");
    Host(0)->SetRect({30, 30, 130, 60});
    Click(view_, At({700, 600}).toPoint());
    Click(view_, At({40, 40}).toPoint());
    ASSERT_TRUE(Selected(0));
    EditedPage()->modified = false;

    // The handle just outside the bottom-right corner, to (5, 5).
    DragWithTheMouse({134, 64}, {5, 5}, moves);
    EXPECT_EQ(Host(0)->GetRect(), (D2D_RECT_F{20, 20, 30, 30}));
    EXPECT_TRUE(EditedPage()->modified);
    EXPECT_EQ(view_->GetCanvas().GetDragState(), NsUiD2ElemEditor::UiElemCanvas::kDragNone);

    // A rubber band over it catches it.
    Click(view_, At({700, 600}).toPoint());
    DragWithTheMouse({200, 200}, {10, 10}, 4);
    EXPECT_TRUE(Selected(0));

    // Saved 20 further out, as every rectangle.
    EXPECT_NE(PageSnapshot().find(R"("rect":{"left":0.0,"top":0.0,"right":10.0,"bottom":10.0})"),
              std::string::npos);
  }
}

}  // namespace
}  // namespace NsOvrin::Testing
