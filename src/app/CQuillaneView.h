#pragma once
// The view of a page window. It shows one page on its canvas and hands the
// canvas the mouse, the keys, the scroll bars, size changes, paints, the
// refresh timer and the edit commands. It asks before a modified page
// closes, and follows changes of the node database and the online mode.
#include <QAbstractScrollArea>
#include <QImage>
#include <QPointF>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/QlEElemFact.h"
#include "editor/CanvasWindow.h"
#include "editor/UiElemCanvas.h"
#include "project/NodeDbListener.h"

class QMenu;

namespace NsOvrin {

class CChildFrame;
class CQuillaneDoc;

class CQuillaneView : public QAbstractScrollArea,
                      public NodeDbListener,
                      public NsUiD2ElemEditor::CanvasWindow {
 public:
  // The refresh of live values while the view is the active page view.
  static constexpr int kRefreshPeriodMs = 100;
  // The context menu's "属性" item; nothing handles it.
  static constexpr int ID_PROPERTIES = 158;

  // Registers as a node-database listener. The canvas starts without a page.
  explicit CQuillaneView(CQuillaneDoc* document = nullptr, QWidget* parent = nullptr);
  CQuillaneView(const CQuillaneView&) = delete;
  CQuillaneView& operator=(const CQuillaneView&) = delete;
  ~CQuillaneView() override;

  // Shows the page stored under that name; a page that cannot be read (the
  // store says why) leaves an empty grey canvas. Nothing for an empty name.
  void OpenPage(const std::string& name);
  // Shows a new, empty page of that name, in the project's size.
  void NewPage(const std::string& name);
  // Whether the window may close. A modified page is saved, dropped or kept
  // as the user answers; on the way out the view lets its page go.
  bool ConfirmClose();
  // The document's title; empty without a document.
  std::string GetPageTitle() const;
  CQuillaneDoc* GetDocument() const { return document_; }
  // The document went first.
  void ForgetDocument() { document_ = nullptr; }
  CChildFrame* GetParentFrame() const;

  // Only the activated view decides: a page view other than the active one
  // takes over the property pane and the refresh timer; none, and the
  // active one lets them go.
  void OnActivateView(bool activate, CQuillaneView* activated, CQuillaneView* deactivated);
  // The pane is emptied, the timer stopped, the pane's change callback
  // emptied.
  void Deactivate();
  // Null while no page view is active.
  static CQuillaneView* GetActivePageView();

  // The framework's first update, with the document's defaults.
  void OnInitialUpdate();
  // Hint 0 with a document: the document's colour and size go to the page
  // and the canvas.
  void OnUpdate(CQuillaneView* sender, intptr_t hint, void* object);
  void OnDraw();
  // One tick of the refresh timer.
  void OnTimer();
  bool IsTimerRunning() const { return timerId_ != 0; }
  // The whole client area is drawn again on the next paint.
  void InvalidateView();

  // The commands the view handles: the canvas commands and the clipboard.
  static bool HandlesCommand(int id);
  // Their update state; false for other ids.
  bool IsCommandEnabled(int id) const;
  // Runs a command as the platform does: only when its update enables it.
  // False for a command the view does not handle.
  bool OnCommand(int id);
  // The edit menu the view shows on a right click.
  std::unique_ptr<QMenu> CreateContextMenu();

  // NodeDbListener
  void OnBlocksChanged(const OneWayWrapper<NsTermination::Node>& node) override;
  void OnNodeDbChanged() override;
  void OnRunModeChanged(bool online) override;

  // CanvasWindow: client pixels of the viewport.
  NsDx2d::D2D_SIZE_U GetClientSize() const override;
  std::unique_ptr<NsDx2d::RenderTarget> CreateRenderTarget(NsDx2d::D2D_SIZE_U pixelSize) override;
  void ResizeRenderTarget(NsDx2d::RenderTarget& target, NsDx2d::D2D_SIZE_U pixelSize) override;
  NsUiD2ElemEditor::ScrollBarState GetScrollBar(NsUiD2ElemEditor::ScrollBarId bar) const override;
  void SetScrollRange(NsUiD2ElemEditor::ScrollBarId bar, int minPos, int maxPos, int page) override;
  void SetScrollPage(NsUiD2ElemEditor::ScrollBarId bar, int page) override;
  void SetScrollPos(NsUiD2ElemEditor::ScrollBarId bar, int pos) override;
  void ReleaseMouseCapture() override;
  void SetFocus() override;
  NsDx2d::D2D_POINT_2F GetCursorClientPos() const override;
  void SetCursor(NsUiD2ElemEditor::CanvasCursor cursor) override;

  NsUiD2ElemEditor::UiElemCanvas& GetCanvas() { return canvas_; }
  const NsUiD2ElemEditor::UiElemCanvas& GetCanvas() const { return canvas_; }
  // The client area as last drawn, and how many frames were drawn.
  const QImage& GetFrameImage() const { return frame_; }
  int GetFramesDrawn() const { return framesDrawn_; }
  // The mouse stays with the view until the button is released.
  bool HasMouseCapture() const { return captured_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void changeEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void timerEvent(QTimerEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  NsUiD2ElemEditor::ScrollBarState& Bar(NsUiD2ElemEditor::ScrollBarId bar);
  // The stored bar kept within its range, then shown by the Qt bar.
  void ApplyBar(NsUiD2ElemEditor::ScrollBarId bar);
  void OnScrollAction(NsUiD2ElemEditor::ScrollBarId bar, int action);
  void OnFrameDrawn();
  // The cursor the canvas wants over the client area, or the default one.
  void UpdateCursorShape();
  // A press whose release this view will not see: the canvas ends the
  // gesture where the pointer was last seen.
  void EndGesture();
  void StopTimer();
  void Unregister();
  // The page leaves the project's open pages and the canvas.
  void ReleasePage();
  void RevalidatePage();
  std::function<void()> MakeChangeCallback();

  CQuillaneDoc* document_;
  // The canvas draws here; it goes after the canvas, whose target uses it.
  QImage frame_;
  QlEElemFact elemTool_;
  NsUiD2ElemEditor::UiElemCanvas canvas_;
  int timerId_ = 0;
  std::array<NsUiD2ElemEditor::ScrollBarState, 2> bars_{};
  NsDx2d::D2D_POINT_2F cursorPos_{};
  QSize canvasSize_{-1, -1};
  bool captured_ = false;
  bool endingGesture_ = false;
  // Inside the paint event, a finished frame needs no further paint.
  bool painting_ = false;
  // The image holds the latest frame; the next paint only shows it.
  bool frameReady_ = false;
  bool confirming_ = false;
  int framesDrawn_ = 0;
};

}  // namespace NsOvrin
