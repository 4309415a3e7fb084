#pragma once
// The "窗口" dialog of the Window menu: the open page windows, to activate
// one or to close some.
#include <QDialog>
#include <QPointer>
#include <vector>

class QListWidget;
class QMdiArea;
class QMdiSubWindow;

namespace NsOvrin {

class CWindowsManagerDialog : public QDialog {
 public:
  static constexpr int IDC_WINDOW_LIST = 1000;
  static constexpr int IDC_ACTIVATE = 1001;
  static constexpr int IDC_CLOSE_WINDOWS = 1002;

  explicit CWindowsManagerDialog(QMdiArea* area, QWidget* parent = nullptr);

  // The page windows' captions, in the area's order.
  void FillList();
  // The selected window becomes the active one; the dialog ends.
  void OnActivate();
  // Each selected window closes through its own close check.
  void OnCloseWindows();

 private:
  // The window of a list row; null once it is gone.
  QMdiSubWindow* WindowAt(int row) const;

  QPointer<QMdiArea> area_;
  QListWidget* list_ = nullptr;
  std::vector<QPointer<QMdiSubWindow>> windows_;
};

}  // namespace NsOvrin
