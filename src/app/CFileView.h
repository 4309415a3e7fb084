#pragma once
// The project pane "工程视图", docked on the left of the main frame: the
// project tree inside a one-pixel frame. A right click on the tree opens
// the tree's menu for the item under the mouse; the context-menu key only
// gives the tree the focus.
#include <QDockWidget>

class QContextMenuEvent;

namespace NsOvrin {

class CViewTree;

class CFileView : public QDockWidget {
 public:
  // The pane's id doubles as the command that shows or hides it.
  static constexpr int IDD_FILE_VIEW = 133;

  explicit CFileView(QWidget* parent = nullptr);

  CViewTree* GetTree() const { return tree_; }

  // A context-menu request for window at a screen point; (-1, -1) when it
  // came from the keyboard.
  void OnContextMenu(QWidget* window, const QPoint& screenPoint);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  CViewTree* tree_ = nullptr;
};

}  // namespace NsOvrin
