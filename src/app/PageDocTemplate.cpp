#include "app/PageDocTemplate.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <algorithm>
#include <memory>

#include "app/CChildFrame.h"
#include "app/CQuillaneDoc.h"
#include "app/CQuillaneView.h"

namespace NsOvrin {

PageDocTemplate::PageDocTemplate(QMdiArea* mdiArea) { SetMdiArea(mdiArea); }

PageDocTemplate::~PageDocTemplate() {
  QObject::disconnect(activation_);
  for (CQuillaneDoc* document : documents_) document->ForgetDocTemplate();
}

void PageDocTemplate::SetMdiArea(QMdiArea* mdiArea) {
  QObject::disconnect(activation_);
  mdiArea_ = mdiArea;
  if (mdiArea == nullptr) return;
  activation_ = QObject::connect(mdiArea, &QMdiArea::subWindowActivated, mdiArea,
                                 [this](QMdiSubWindow* window) { OnSubWindowActivated(window); });
}

CQuillaneDoc* PageDocTemplate::OpenDocumentFile(bool makeVisible) {
  if (!mdiArea_) return nullptr;
  auto frame = new CChildFrame(std::make_unique<CQuillaneDoc>(this));
  CQuillaneDoc* document = frame->GetDocument();
  auto view = new CQuillaneView(document);
  frame->setWidget(view);
  mdiArea_->addSubWindow(frame);
  view->OnInitialUpdate();
  if (makeVisible) {
    frame->show();
    mdiArea_->setActiveSubWindow(frame);
  }
  return document;
}

void PageDocTemplate::AddDocument(CQuillaneDoc* document) {
  if (document == nullptr) return;
  if (std::find(documents_.begin(), documents_.end(), document) == documents_.end()) {
    documents_.push_back(document);
  }
}

void PageDocTemplate::RemoveDocument(CQuillaneDoc* document) {
  const auto it = std::find(documents_.begin(), documents_.end(), document);
  if (it != documents_.end()) documents_.erase(it);
}

void PageDocTemplate::OnSubWindowActivated(QMdiSubWindow* window) {
  auto* frame = dynamic_cast<CChildFrame*>(window);
  CQuillaneView* view = frame != nullptr ? frame->GetActiveView() : nullptr;
  CQuillaneView* previous = CQuillaneView::GetActivePageView();
  if (view != nullptr) {
    view->OnActivateView(true, view, previous);
  } else if (previous != nullptr) {
    previous->OnActivateView(false, nullptr, previous);
  }
}

}  // namespace NsOvrin
