#include "app/CChildFrame.h"

#include <QCloseEvent>

#include "app/CQuillaneDoc.h"
#include "app/CQuillaneView.h"

namespace NsOvrin {

CChildFrame::CChildFrame(std::unique_ptr<CQuillaneDoc> document, QWidget* parent)
    : QMdiSubWindow(parent), document_(std::move(document)) {
  setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setAttribute(Qt::WA_DeleteOnClose);
}

CChildFrame::~CChildFrame() = default;

CQuillaneView* CChildFrame::GetActiveView() const { return dynamic_cast<CQuillaneView*>(widget()); }

bool CChildFrame::ShowsPage(const std::string& name) const {
  const CQuillaneView* view = GetActiveView();
  const CQuillaneDoc* document = view != nullptr ? view->GetDocument() : nullptr;
  return document != nullptr && document->GetTitle() == name;
}

void CChildFrame::closeEvent(QCloseEvent* event) {
  CQuillaneView* view = GetActiveView();
  if (view != nullptr && !view->ConfirmClose()) {
    event->ignore();
    return;
  }
  QMdiSubWindow::closeEvent(event);
}

}  // namespace NsOvrin
