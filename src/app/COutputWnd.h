#pragma once
// The output pane "输出", docked at the bottom of the main frame: one tab,
// "生成", holding the list the whole-project error check writes into.
#include <QDockWidget>

class QTabWidget;

namespace NsOvrin {

class COutputList;

class COutputWnd : public QDockWidget {
 public:
  // The pane's id doubles as the command that hides it.
  static constexpr int IDD_OUTPUT_PANE = 149;
  static constexpr int IDC_OUTPUT_TABS = 1;

  explicit COutputWnd(QWidget* parent = nullptr);

  // The main frame sets its font and passes it to the error check.
  COutputList* GetOutputList() const { return list_; }
  QTabWidget* GetTabCtrl() const { return tabs_; }

 private:
  QTabWidget* tabs_ = nullptr;
  COutputList* list_ = nullptr;
};

}  // namespace NsOvrin
