#include "app/COutputWnd.h"

#include <QTabWidget>

#include "app/COutputList.h"
#include "wui/DlgItem.h"

namespace NsOvrin {

COutputWnd::COutputWnd(QWidget* parent) : QDockWidget(QStringLiteral("输出"), parent) {
  NsWui::SetDlgItemId(this, IDD_OUTPUT_PANE);

  tabs_ = new QTabWidget(this);
  NsWui::SetDlgItemId(tabs_, IDC_OUTPUT_TABS);
  tabs_->setTabPosition(QTabWidget::South);
  tabs_->setTabsClosable(false);
  tabs_->setDocumentMode(true);

  list_ = new COutputList(tabs_);
  tabs_->addTab(list_, QStringLiteral("生成"));
  setWidget(tabs_);
}

}  // namespace NsOvrin
