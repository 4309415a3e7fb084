#include "app/CFileView.h"

#include <QContextMenuEvent>
#include <QPainter>
#include <QResizeEvent>

#include "app/CViewTree.h"
#include "wui/DlgItem.h"

namespace NsOvrin {

namespace {

// The pane's client area: the tree fills it less one pixel on every side,
// where the frame is drawn.
class FrameArea : public QWidget {
 public:
  explicit FrameArea(QWidget* parent) : QWidget(parent) {}

  void SetTree(QWidget* tree) {
    tree_ = tree;
    setFocusProxy(tree);
    Layout();
  }

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QWidget::resizeEvent(event);
    Layout();
  }
  void paintEvent(QPaintEvent* /*event*/) override {
    if (tree_ == nullptr) return;
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Dark));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(tree_->geometry().adjusted(-1, -1, 0, 0));
  }

 private:
  void Layout() {
    if (tree_ != nullptr) tree_->setGeometry(rect().adjusted(1, 1, -1, -1));
  }

  QWidget* tree_ = nullptr;
};

}  // namespace

CFileView::CFileView(QWidget* parent) : QDockWidget(QStringLiteral("工程视图"), parent) {
  NsWui::SetDlgItemId(this, IDD_FILE_VIEW);
  auto* area = new FrameArea(this);
  tree_ = new CViewTree(area);
  area->SetTree(tree_);
  setWidget(area);
  setFocusProxy(tree_);
  // The tree's context menus are the pane's to open.
  tree_->installEventFilter(this);
  tree_->viewport()->installEventFilter(this);
}

bool CFileView::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ContextMenu &&
      (watched == tree_ || watched == tree_->viewport())) {
    auto* menuEvent = static_cast<QContextMenuEvent*>(event);
    const QPoint point = menuEvent->reason() == QContextMenuEvent::Keyboard
                             ? QPoint(-1, -1)
                             : menuEvent->globalPos();
    OnContextMenu(tree_, point);
    return true;
  }
  return QDockWidget::eventFilter(watched, event);
}

void CFileView::OnContextMenu(QWidget* window, const QPoint& screenPoint) {
  if (window != tree_) return;
  if (screenPoint != QPoint(-1, -1)) {
    tree_->OnTreeContextMenu(tree_->viewport()->mapFromGlobal(screenPoint));
  }
  tree_->setFocus();
}

}  // namespace NsOvrin
