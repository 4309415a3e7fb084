#include "app/CQuillaneView.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimerEvent>
#include <QWheelEvent>
#include <algorithm>
#include <climits>
#include <cmath>

#include "app/AppGlobals.h"
#include "app/CChildFrame.h"
#include "app/CQuillaneDoc.h"
#include "app/QtMessageBoxService.h"
#include "app/ViewRenderTarget.h"
#include "common/Log.h"
#include "dx2d/D2Factory.h"
#include "dx2d/qt/QtDWriteFactory.h"
#include "editor/EditorGlobals.h"
#include "editor/QlEHostElem.h"
#include "editor/QlEPage.h"
#include "editor/UiElemCanvasCommands.h"
#include "editor/UiElemSelListener.h"
#include "platform/AtomicFile.h"
#include "project/QlEProject.h"
#include "project_persistence/PageCommands.h"
#include "project_persistence/ProjectCommands.h"
#include "wui/UiServices.h"

namespace NsOvrin {

using NsDx2d::D2D_POINT_2F;
using NsDx2d::D2D_SIZE_U;
using NsUiD2ElemEditor::CanvasCursor;
using NsUiD2ElemEditor::ScrollBarId;
using NsUiD2ElemEditor::ScrollBarState;
using NsUiD2ElemEditor::ScrollRequest;
using NsUiD2ElemEditor::UiElemCanvas;
using NsUiD2ElemEditor::UiElemSelListener;

namespace {

constexpr const char* kModifiedQuestion = "页面被修改, 是否需要保存?";
constexpr int kScrollLine = 20;
// Room left of and above the page, and right of and below it.
constexpr float kPageMargin = 20.0f;
constexpr float kScrollRoom = 60.0f;

CQuillaneView* activePageView = nullptr;

float Scale() { return std::isfinite(DpiScale) && DpiScale > 0.0f ? DpiScale : 1.0f; }

// truncate((size + 20 + 60) * scale + 0.5), kept within what a bar holds.
int ScrollExtent(float size) {
  const float extent = (size + kPageMargin + kScrollRoom) * Scale() + 0.5f;
  if (!(extent > 0.0f)) return 0;
  if (extent >= static_cast<float>(INT_MAX)) return INT_MAX;
  return static_cast<int>(extent);
}

int Index(ScrollBarId bar) { return bar == ScrollBarId::Horizontal ? 0 : 1; }

// A box without a caption of its own carries the program's name.
std::string ProgramCaption() { return QGuiApplication::applicationDisplayName().toStdString(); }

D2D_POINT_2F ClientPoint(const QPointF& position) {
  // Client coordinates are whole pixels.
  return {static_cast<float>(std::floor(position.x())),
          static_cast<float>(std::floor(position.y()))};
}

uint32_t KeyFlags(Qt::KeyboardModifiers modifiers) {
  uint32_t flags = 0;
  if (modifiers & Qt::ShiftModifier) flags |= NsUiD2ElemEditor::kMouseKeyShift;
  if (modifiers & Qt::ControlModifier) flags |= NsUiD2ElemEditor::kMouseKeyControl;
  return flags;
}

// The virtual key of the keys the canvas acts on; 0 for the others.
uint32_t VirtualKey(int key) {
  switch (key) {
    case Qt::Key_Left: return NsUiD2ElemEditor::kVkLeft;
    case Qt::Key_Up: return NsUiD2ElemEditor::kVkUp;
    case Qt::Key_Right: return NsUiD2ElemEditor::kVkRight;
    case Qt::Key_Down: return NsUiD2ElemEditor::kVkDown;
    case Qt::Key_Delete: return NsUiD2ElemEditor::kVkDelete;
    default: return 0;
  }
}

bool IsCanvasCommand(int id) {
  return id >= NsUiD2ElemEditor::kCmdAlignLeft && id <= NsUiD2ElemEditor::kCmdMoveToTop;
}

bool IsClipboardCommand(int id) {
  return id == NsUiD2ElemEditor::ID_EDIT_COPY || id == NsUiD2ElemEditor::ID_EDIT_CUT ||
         id == NsUiD2ElemEditor::ID_EDIT_PASTE;
}

}  // namespace

CQuillaneView::CQuillaneView(CQuillaneDoc* document, QWidget* parent)
    : QAbstractScrollArea(parent),
      document_(document),
      canvas_(std::make_unique<NsDx2d::D2Factory>(), std::make_unique<NsDx2d::QtDWriteFactory>()) {
  if (document_ != nullptr) document_->AddView(this);
  setFocusPolicy(Qt::StrongFocus);
  // The cursor follows the handles also while no button is held.
  viewport()->setMouseTracking(true);
  // The canvas paints every pixel.
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  for (ScrollBarId id : {ScrollBarId::Horizontal, ScrollBarId::Vertical}) {
    QScrollBar* bar = id == ScrollBarId::Horizontal ? horizontalScrollBar() : verticalScrollBar();
    bar->setSingleStep(kScrollLine);
    connect(bar, &QAbstractSlider::actionTriggered, this,
            [this, id](int action) { OnScrollAction(id, action); });
    connect(bar, &QAbstractSlider::sliderReleased, this, [this, id, bar] {
      canvas_.ScrollBar(id, ScrollRequest::ThumbPosition, bar->sliderPosition());
    });
    ApplyBar(id);
  }
  NodeDbListener::Register(this);
}

CQuillaneView::~CQuillaneView() {
  if (activePageView == this) {
    Deactivate();
    activePageView = nullptr;
  }
  StopTimer();
  Unregister();
  if (const std::shared_ptr<QlEPage> page = canvas_.GetPage()) {
    if (page->modified) {
      OV_LOG(4)
          .AppendText("Page window gone without its close question; unsaved page: ")
          .AppendText(page->name);
    }
    ReleasePage();
  }
  canvas_.SetElemTool(nullptr);
  if (document_ != nullptr) document_->RemoveView(this);
}

CQuillaneView* CQuillaneView::GetActivePageView() { return activePageView; }

CChildFrame* CQuillaneView::GetParentFrame() const {
  for (QWidget* w = parentWidget(); w != nullptr; w = w->parentWidget()) {
    if (auto* frame = dynamic_cast<CChildFrame*>(w)) return frame;
  }
  return nullptr;
}

std::string CQuillaneView::GetPageTitle() const {
  return document_ != nullptr ? document_->GetTitle() : std::string();
}

// ---- the page ----

void CQuillaneView::ReleasePage() {
  const std::shared_ptr<QlEPage> page = canvas_.GetPage();
  if (!page) return;
  QlEProject::Instance().CloseOpenPage(page);
  canvas_.DetachPage();
}

void CQuillaneView::OpenPage(const std::string& name) {
  if (name.empty()) return;
  // One page per view: a page shown before must not stay listed or selected.
  ReleasePage();
  std::shared_ptr<QlEPage> page;
  if (!LoadPageForEdit(QtMessageBoxService::ToParentWindow(this), name, page)) page.reset();
  if (page) QlEProject::Instance().openPages.push_back(page);
  canvas_.AttachPage(this, page);
  canvas_.SetElemTool(&elemTool_);
  const D2D_SIZE_U client = GetClientSize();
  canvas_.Resize(static_cast<int>(client.width), static_cast<int>(client.height));
}

void CQuillaneView::NewPage(const std::string& name) {
  ReleasePage();
  auto page = std::make_shared<QlEPage>(name);
  QlEProject::Instance().openPages.push_back(page);
  canvas_.AttachPage(this, page);
  canvas_.SetElemTool(&elemTool_);
  InvalidateView();
}

bool CQuillaneView::ConfirmClose() {
  // The question is modal: a second close arriving meanwhile waits for it.
  if (confirming_) return false;
  const std::shared_ptr<QlEPage> page = canvas_.GetPage();
  if (page && page->modified) {
    confirming_ = true;
    const int answer = NsWui::GetUiServices().MessageBox(this, kModifiedQuestion, ProgramCaption(),
                                                         NsWui::MB_YESNOCANCEL);
    confirming_ = false;
    if (answer == NsWui::IDYES) {
      if (!SaveOpenPage(QtMessageBoxService::ToParentWindow(window()), page)) return false;
    } else if (answer != NsWui::IDNO) {
      // Cancel, or a box closed without an answer: the page stays.
      return false;
    }
  }
  StopTimer();
  Unregister();
  if (page) QlEProject::Instance().CloseOpenPage(page);
  canvas_.DetachPage();
  return true;
}

void CQuillaneView::StopTimer() {
  if (timerId_ == 0) return;
  killTimer(timerId_);
  timerId_ = 0;
}

void CQuillaneView::Unregister() {
  std::vector<NodeDbListener*>& registry = NodeDbListener::GetRegistry();
  registry.erase(std::remove(registry.begin(), registry.end(), this), registry.end());
}

// ---- activation ----

std::function<void()> CQuillaneView::MakeChangeCallback() {
  return [view = QPointer<CQuillaneView>(this)] {
    if (!view) return;
    if (const std::shared_ptr<QlEPage>& page = view->canvas_.GetPage()) page->modified = true;
    view->InvalidateView();
  };
}

void CQuillaneView::OnActivateView(bool /*activate*/, CQuillaneView* activated,
                                   CQuillaneView* /*deactivated*/) {
  if (activated != nullptr) {
    if (activated == activePageView) return;
    if (activePageView != nullptr) activePageView->Deactivate();
    UiElemSelListener::NotifySelectionChanged(activated->canvas_.GetSelection());
    if (activated->timerId_ == 0) activated->timerId_ = activated->startTimer(kRefreshPeriodMs);
    if (PaneChangeCallback != nullptr) *PaneChangeCallback = activated->MakeChangeCallback();
    activePageView = activated;
  } else if (activePageView != nullptr) {
    CQuillaneView* previous = activePageView;
    activePageView = nullptr;
    previous->Deactivate();
  }
}

void CQuillaneView::Deactivate() {
  UiElemSelListener::NotifySelectionCleared();
  StopTimer();
  if (PaneChangeCallback != nullptr) *PaneChangeCallback = nullptr;
}

// ---- updates and drawing ----

void CQuillaneView::OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }

void CQuillaneView::OnUpdate(CQuillaneView* /*sender*/, intptr_t hint, void* /*object*/) {
  if (hint != 0 || document_ == nullptr) return;
  if (const std::shared_ptr<QlEPage>& page = canvas_.GetPage()) {
    page->backgroundColour = document_->backgroundColour;
  }
  const NsDx2d::D2D_RECT_F& rect = document_->pageRect;
  const float width = rect.right - rect.left;
  const float height = rect.bottom - rect.top;
  canvas_.SetPageSize(width, height);
  canvas_.UpdateScrollBars(this, ScrollExtent(width), ScrollExtent(height));
  canvas_.Paint();
}

void CQuillaneView::OnDraw() {
  if (document_ != nullptr) canvas_.Paint();
}

void CQuillaneView::OnTimer() {
  if (canvas_.RefreshElems()) canvas_.Paint();
}

void CQuillaneView::InvalidateView() {
  frameReady_ = false;
  viewport()->update();
}

void CQuillaneView::OnFrameDrawn() {
  ++framesDrawn_;
  frameReady_ = true;
  if (!painting_) viewport()->update();
}

void CQuillaneView::paintEvent(QPaintEvent* /*event*/) {
  if (!frameReady_) {
    painting_ = true;
    OnDraw();
    painting_ = false;
  }
  frameReady_ = false;
  QPainter painter(viewport());
  if (!frame_.isNull()) painter.drawImage(QPointF(0.0, 0.0), frame_);
}

void CQuillaneView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  const QSize size = viewport()->size();
  if (size == canvasSize_) return;
  canvasSize_ = size;
  canvas_.Resize(size.width(), size.height());
}

// ---- the node database ----

void CQuillaneView::RevalidatePage() {
  const std::shared_ptr<QlEPage> page = canvas_.GetPage();
  if (!page) return;
  QlEPage::RevalidateElements(page);
  canvas_.Paint();
}

void CQuillaneView::OnBlocksChanged(const OneWayWrapper<NsTermination::Node>& /*node*/) {
  RevalidatePage();
}

void CQuillaneView::OnNodeDbChanged() { RevalidatePage(); }

void CQuillaneView::OnRunModeChanged(bool online) {
  const std::shared_ptr<QlEPage> page = canvas_.GetPage();
  if (!page) return;
  HostOnlineFlag = online;
  if (page->elements) {
    // A host may change the container while it switches.
    const auto elems = page->elements->elems;
    for (const auto& elem : elems) {
      if (!elem) continue;
      if (auto host = std::dynamic_pointer_cast<NsQlElemEditor::QlEHostElem>(elem->host)) {
        host->OnModeChanged();
      }
    }
  }
  canvas_.Paint();
}

// ---- commands ----

bool CQuillaneView::HandlesCommand(int id) { return IsCanvasCommand(id) || IsClipboardCommand(id); }

bool CQuillaneView::IsCommandEnabled(int id) const {
  return HandlesCommand(id) && canvas_.IsCommandEnabled(id);
}

bool CQuillaneView::OnCommand(int id) {
  if (!HandlesCommand(id)) return false;
  if (!IsCommandEnabled(id)) return true;
  switch (id) {
    case NsUiD2ElemEditor::ID_EDIT_COPY: canvas_.Copy(); break;
    case NsUiD2ElemEditor::ID_EDIT_CUT: canvas_.Cut(); break;
    case NsUiD2ElemEditor::ID_EDIT_PASTE: canvas_.Paste(); break;
    default: canvas_.ExecuteCommand(id); break;
  }
  return true;
}

std::unique_ptr<QMenu> CQuillaneView::CreateContextMenu() {
  auto menu = std::make_unique<QMenu>(this);
  const auto add = [this, &menu](int id, const char* text) {
    QAction* action = menu->addAction(QString::fromUtf8(text));
    action->setData(id);
    action->setEnabled(IsCommandEnabled(id));
    connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
  };
  add(NsUiD2ElemEditor::ID_EDIT_CUT, "剪切(&T)\tCtrl+X");
  add(NsUiD2ElemEditor::ID_EDIT_COPY, "复制(&C)\tCtrl+C");
  add(NsUiD2ElemEditor::ID_EDIT_PASTE, "粘贴(&P)\tCtrl+V");
  menu->addSeparator();
  add(ID_PROPERTIES, "属性");
  return menu;
}

// ---- input ----

void CQuillaneView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QAbstractScrollArea::mousePressEvent(event);
    return;
  }
  cursorPos_ = ClientPoint(event->position());
  canvas_.OnLButtonDown(cursorPos_, KeyFlags(event->modifiers()));
  // While the button is held, the view keeps the mouse.
  if (canvas_.GetDragState() != UiElemCanvas::kDragNone) captured_ = true;
}

void CQuillaneView::mouseMoveEvent(QMouseEvent* event) {
  // The button came up where this view did not see it.
  if (captured_ && !(event->buttons() & Qt::LeftButton)) EndGesture();
  cursorPos_ = ClientPoint(event->position());
  // The platform sets no cursor while the mouse is captured.
  if (!captured_) UpdateCursorShape();
  canvas_.OnMouseMove(cursorPos_);
}

void CQuillaneView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QAbstractScrollArea::mouseReleaseEvent(event);
    return;
  }
  cursorPos_ = ClientPoint(event->position());
  canvas_.OnMouseRelease(cursorPos_);
}

void CQuillaneView::mouseDoubleClickEvent(QMouseEvent* event) {
  // The second press of a double click is a double click, not a press: the
  // canvas has nothing for it.
  event->accept();
}

void CQuillaneView::focusOutEvent(QFocusEvent* event) {
  // A window popped up or the window was left with the button held.
  EndGesture();
  QAbstractScrollArea::focusOutEvent(event);
}

void CQuillaneView::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && !isActiveWindow()) EndGesture();
  QAbstractScrollArea::changeEvent(event);
}

void CQuillaneView::EndGesture() {
  if (!captured_ || endingGesture_) return;
  endingGesture_ = true;
  canvas_.OnCaptureLost();
  endingGesture_ = false;
  captured_ = false;
}

void CQuillaneView::keyPressEvent(QKeyEvent* event) {
  // Keys do not scroll the view: the arrows move the selection when they
  // are released.
  QWidget::keyPressEvent(event);
}

void CQuillaneView::keyReleaseEvent(QKeyEvent* event) {
  // A held key acts once, when it is let go.
  if (!event->isAutoRepeat()) {
    if (const uint32_t key = VirtualKey(event->key())) canvas_.OnKeyUp(key);
  }
  QAbstractScrollArea::keyReleaseEvent(event);
}

void CQuillaneView::wheelEvent(QWheelEvent* event) {
  const QPoint delta = event->angleDelta();
  // Only the vertical wheel scrolls; events without a turn carry none.
  if (delta.y() == 0) {
    event->ignore();
    return;
  }
  // One line per notch, whatever its size.
  canvas_.ScrollBar(ScrollBarId::Vertical,
                    delta.y() > 0 ? ScrollRequest::LineUp : ScrollRequest::LineDown, 0);
  event->accept();
}

void CQuillaneView::contextMenuEvent(QContextMenuEvent* event) {
  const std::unique_ptr<QMenu> menu = CreateContextMenu();
  menu->exec(event->globalPos());
}

void CQuillaneView::timerEvent(QTimerEvent* event) {
  if (timerId_ != 0 && event->timerId() == timerId_) {
    OnTimer();
    return;
  }
  QAbstractScrollArea::timerEvent(event);
}

void CQuillaneView::scrollContentsBy(int /*dx*/, int /*dy*/) {
  // The canvas draws the scrolled page itself.
}

void CQuillaneView::UpdateCursorShape() {
  if (!canvas_.UpdateCursor(this)) viewport()->unsetCursor();
}

// ---- the canvas's window ----

D2D_SIZE_U CQuillaneView::GetClientSize() const {
  const QSize size = viewport()->size();
  return {static_cast<uint32_t>(std::max(size.width(), 0)),
          static_cast<uint32_t>(std::max(size.height(), 0))};
}

namespace {

// The client area at the screen's pixel density; empty for an empty area.
QImage MakeFrameImage(D2D_SIZE_U size, qreal ratio) {
  if (size.width == 0 || size.height == 0 || size.width > 32767 || size.height > 32767) {
    return {};
  }
  QImage image(static_cast<int>(std::ceil(size.width * ratio)),
               static_cast<int>(std::ceil(size.height * ratio)),
               QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(ratio);
  return image;
}

}  // namespace

std::unique_ptr<NsDx2d::RenderTarget> CQuillaneView::CreateRenderTarget(D2D_SIZE_U pixelSize) {
  frame_ = MakeFrameImage(pixelSize, devicePixelRatioF());
  return std::make_unique<ViewRenderTarget>(&frame_, [this] { OnFrameDrawn(); });
}

void CQuillaneView::ResizeRenderTarget(NsDx2d::RenderTarget& /*target*/, D2D_SIZE_U pixelSize) {
  // The target draws into frame_ itself, whatever image it holds.
  frame_ = MakeFrameImage(pixelSize, devicePixelRatioF());
}

ScrollBarState& CQuillaneView::Bar(ScrollBarId bar) { return bars_[Index(bar)]; }

ScrollBarState CQuillaneView::GetScrollBar(ScrollBarId bar) const { return bars_[Index(bar)]; }

void CQuillaneView::ApplyBar(ScrollBarId id) {
  ScrollBarState& s = Bar(id);
  // As the platform keeps a bar: the maximum not below the minimum, the page
  // at most the range, the position between the minimum and the last one
  // that shows a full page.
  s.maxPos = std::max(s.maxPos, s.minPos);
  const long long span = static_cast<long long>(s.maxPos) - s.minPos + 1;
  s.page = static_cast<int>(std::clamp<long long>(s.page, 0, std::min<long long>(span, INT_MAX)));
  const int last = static_cast<int>(
      std::max<long long>(s.minPos, static_cast<long long>(s.maxPos) - std::max(s.page - 1, 0)));
  s.pos = std::clamp(s.pos, s.minPos, last);

  QScrollBar* bar = id == ScrollBarId::Horizontal ? horizontalScrollBar() : verticalScrollBar();
  bar->setRange(s.minPos, last);
  bar->setPageStep(s.page);
  bar->setValue(s.pos);
}

void CQuillaneView::SetScrollRange(ScrollBarId bar, int minPos, int maxPos, int page) {
  ScrollBarState& s = Bar(bar);
  s.minPos = minPos;
  s.maxPos = maxPos;
  s.page = page;
  ApplyBar(bar);
}

void CQuillaneView::SetScrollPage(ScrollBarId bar, int page) {
  Bar(bar).page = page;
  ApplyBar(bar);
}

void CQuillaneView::SetScrollPos(ScrollBarId bar, int pos) {
  Bar(bar).pos = pos;
  ApplyBar(bar);
}

void CQuillaneView::OnScrollAction(ScrollBarId id, int action) {
  QScrollBar* bar = id == ScrollBarId::Horizontal ? horizontalScrollBar() : verticalScrollBar();
  ScrollRequest request;
  switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: request = ScrollRequest::LineDown; break;
    case QAbstractSlider::SliderSingleStepSub: request = ScrollRequest::LineUp; break;
    case QAbstractSlider::SliderPageStepAdd: request = ScrollRequest::PageDown; break;
    case QAbstractSlider::SliderPageStepSub: request = ScrollRequest::PageUp; break;
    case QAbstractSlider::SliderToMinimum: request = ScrollRequest::Top; break;
    case QAbstractSlider::SliderToMaximum: request = ScrollRequest::Bottom; break;
    case QAbstractSlider::SliderMove: request = ScrollRequest::ThumbTrack; break;
    default: return;
  }
  const int thumb = bar->sliderPosition();
  canvas_.ScrollBar(id, request, thumb);
  // The canvas decides where the bar goes; the slider follows.
  bar->setSliderPosition(Bar(id).pos);
}

void CQuillaneView::ReleaseMouseCapture() { captured_ = false; }

void CQuillaneView::SetFocus() {
  // A gesture ended by a focus loss leaves the focus where it went.
  if (!endingGesture_) setFocus(Qt::MouseFocusReason);
}

D2D_POINT_2F CQuillaneView::GetCursorClientPos() const { return cursorPos_; }

void CQuillaneView::SetCursor(CanvasCursor cursor) {
  switch (cursor) {
    case CanvasCursor::SizeNwse: viewport()->setCursor(Qt::SizeFDiagCursor); break;
    case CanvasCursor::SizeNesw: viewport()->setCursor(Qt::SizeBDiagCursor); break;
    case CanvasCursor::Arrow: viewport()->setCursor(Qt::ArrowCursor); break;
  }
}

}  // namespace NsOvrin
