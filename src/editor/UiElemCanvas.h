#pragma once
// The editing surface of one page window: draws the attached page and its
// elements, turns mouse input into selection, moves and resizes, inserts
// elements through the armed tool, scrolls, and runs the canvas commands
// (keys, clipboard, align, size, distribute, drawing order). Every edit
// marks the page modified; selection changes go to the selection listeners.
#include <cstdint>
#include <memory>
#include <string>

#include "dx2d/BitmapCache.h"
#include "dx2d/BrushCache.h"
#include "dx2d/D2Factory.h"
#include "dx2d/D2ResInfo.h"
#include "dx2d/D2Types.h"
#include "dx2d/DWriteFactory.h"
#include "dx2d/RenderTarget.h"
#include "dx2d/TextFormatCache.h"
#include "editor/CanvasWindow.h"
#include "editor/TElemFact.h"
#include "editor/UiElem.h"
#include "editor/UiElemSelection.h"

namespace NsOvrin {
class QlEPage;
}

namespace NsOvrin::NsUiD2ElemEditor {

using NsDx2d::D2D_SIZE_F;

// Key flags of a mouse press, the platform's MK_ bits.
inline constexpr uint32_t kMouseKeyShift = 0x0004;
inline constexpr uint32_t kMouseKeyControl = 0x0008;

// Virtual key codes the canvas acts on.
inline constexpr uint32_t kVkLeft = 0x25;
inline constexpr uint32_t kVkUp = 0x26;
inline constexpr uint32_t kVkRight = 0x27;
inline constexpr uint32_t kVkDown = 0x28;
inline constexpr uint32_t kVkDelete = 0x2E;

class UiElemCanvas {
 public:
  static constexpr int kDragNone = 0;
  static constexpr int kDragResize = 1;
  static constexpr int kDragSelection = 2;
  static constexpr int kDragBand = 3;
  // Left of and above this the canvas is margin.
  static constexpr float kPageOrigin = 20.0f;

  // The canvas owns the factories; the DirectWrite one feeds its text
  // formats.
  UiElemCanvas(std::unique_ptr<NsDx2d::D2Factory> d2Factory,
               std::unique_ptr<NsDx2d::DWriteFactory> dwriteFactory);
  UiElemCanvas(const UiElemCanvas&) = delete;
  UiElemCanvas& operator=(const UiElemCanvas&) = delete;
  ~UiElemCanvas();

  // The page may be empty: the canvas then shows a grey 600 x 480 page.
  // The selection is left alone; detach the previous page first.
  void AttachPage(CanvasWindow* view, std::shared_ptr<QlEPage> page);
  // Tells the listeners the selection is going, clears it, lets the page go.
  void DetachPage();

  // Made on first use for the view window; null without one.
  NsDx2d::RenderTarget* GetRenderTarget();
  // The view's client area is now cx x cy pixels.
  void Resize(int cx, int cy);
  // Both bars range from 0 to their extent, a page being the client size.
  void UpdateScrollBars(CanvasWindow* window, int extentX, int extentY);
  void Paint();

  // The top-most element whose rectangle holds the page point (edges
  // included).
  std::shared_ptr<UiElem> HitTest(D2D_POINT_2F p) const;
  // Only with exactly one element selected: true over one of its handles,
  // which then becomes the handle in use.
  bool HitTestHandle(D2D_POINT_2F p);
  // Whether the top-most element at the point is selected.
  bool IsSelectedAt(D2D_POINT_2F p) const;

  // Mouse input in client pixels; keyFlags holds kMouseKey* bits.
  void OnLButtonDown(D2D_POINT_2F client, uint32_t keyFlags);
  void OnMouseMove(D2D_POINT_2F client);
  void OnMouseRelease(D2D_POINT_2F client);
  // The view lost the mouse or the focus before the button came up (a window
  // popped up, the window was deactivated): a running gesture ends as if the
  // button had been released where the pointer was last seen.
  void OnCaptureLost();
  // Ends a rubber band or a click at the page point.
  void OnLButtonUp(D2D_POINT_2F p);
  void ResizeByHandle(D2D_POINT_2F p, bool finishing);
  void DragSelection(D2D_POINT_2F p);
  // Through the armed tool; the caller repaints.
  void InsertElem(D2D_POINT_2F p);

  // Sizing cursors over the handles of a sole selected element; false when
  // the view should show its default cursor.
  bool UpdateCursor(CanvasWindow* view);
  // One timer tick: true when an element changed and needs a repaint.
  bool RefreshElems();
  std::string GetPageName() const;
  void ScrollBar(ScrollBarId bar, ScrollRequest request, int thumbPos);

  // Canvas commands (keys, clipboard, command ids).
  void OnKeyUp(uint32_t key);
  void DeleteSelection();
  void Copy();
  void Cut();
  void Paste();
  void ExecuteCommand(int id);
  bool IsCommandEnabled(int id) const;
  // The anchored element's width for every other member; marks the page.
  void MakeSameWidth();
  // True when the sole selected element was found and moved.
  bool MoveToBottom();
  bool MoveToTop();
  bool CanReorder() const;

  // Client pixels to page units, through the DPI scale and the scroll offset.
  D2D_POINT_2F ToPagePoint(D2D_POINT_2F client) const;
  void SetElemTool(TElemFact* tool) { elemTool_ = tool; }
  // The document's page size changed.
  void SetPageSize(float width, float height);

  int GetDragState() const { return dragState_; }
  const std::shared_ptr<QlEPage>& GetPage() const { return page_; }
  UiElemSelection& GetSelection() { return selection_; }
  const UiElemSelection& GetSelection() const { return selection_; }
  D2D_SIZE_F GetPageSize() const { return {pageWidth_, pageHeight_}; }
  D2D_POINT_2F GetScrollOffset() const { return {scrollX_, scrollY_}; }
  bool IsBandActive() const { return bandActive_; }
  NsDx2d::TextFormatCache& GetTextFormatCache() { return textFormatCache_; }

 private:
  void MarkModified();
  NsDx2d::D2ResInfo MakeResInfo();
  // The scroll extents of the page in pixels.
  void UpdateScrollExtents();
  bool AlignMembers(int id);

  int dragState_ = kDragNone;
  std::shared_ptr<QlEPage> page_;
  std::shared_ptr<UiElem> resizing_;
  D2D_POINT_2F lastDragPoint_;
  // Client point of the last press or move.
  D2D_POINT_2F lastClientPoint_;
  CanvasWindow* view_ = nullptr;
  bool bandActive_ = false;
  D2D_POINT_2F bandStart_;
  D2D_POINT_2F bandEnd_;
  TElemFact* elemTool_ = nullptr;
  std::unique_ptr<NsDx2d::D2Factory> d2Factory_;
  std::unique_ptr<NsDx2d::DWriteFactory> dwriteFactory_;
  // Before the caches: they hold resources of the target and go first.
  std::unique_ptr<NsDx2d::RenderTarget> renderTarget_;
  float pageWidth_ = 600.0f;
  float pageHeight_ = 480.0f;
  float scrollX_ = 0.0f;
  float scrollY_ = 0.0f;
  UiElemSelection selection_;
  NsDx2d::BrushCache brushCache_;
  NsDx2d::TextFormatCache textFormatCache_;
  NsDx2d::BitmapCache bitmapCache_;
};

}  // namespace NsOvrin::NsUiD2ElemEditor
