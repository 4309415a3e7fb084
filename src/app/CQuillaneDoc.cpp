#include "app/CQuillaneDoc.h"

#include <QString>
#include <algorithm>

#include "app/CChildFrame.h"
#include "app/CQuillaneView.h"
#include "app/PageDocTemplate.h"

namespace NsOvrin {

CQuillaneDoc::CQuillaneDoc(PageDocTemplate* docTemplate) : docTemplate_(docTemplate) {
  if (docTemplate_ != nullptr) docTemplate_->AddDocument(this);
}

CQuillaneDoc::~CQuillaneDoc() {
  if (docTemplate_ != nullptr) docTemplate_->RemoveDocument(this);
  for (CQuillaneView* view : views_) view->ForgetDocument();
}

void CQuillaneDoc::SetTitle(const std::string& title) {
  title_ = title;
  for (CQuillaneView* view : views_) {
    if (CChildFrame* frame = view->GetParentFrame()) {
      frame->setWindowTitle(QString::fromStdString(title_));
    }
  }
}

void CQuillaneDoc::AddView(CQuillaneView* view) {
  if (view == nullptr || std::find(views_.begin(), views_.end(), view) != views_.end()) return;
  views_.push_back(view);
}

void CQuillaneDoc::RemoveView(CQuillaneView* view) {
  const auto it = std::find(views_.begin(), views_.end(), view);
  if (it != views_.end()) views_.erase(it);
}

void CQuillaneDoc::UpdateAllViews(CQuillaneView* sender, intptr_t hint, void* object) {
  // A view may go while it updates; walk a copy and skip the departed.
  const std::vector<CQuillaneView*> views = views_;
  for (CQuillaneView* view : views) {
    if (view == sender || std::find(views_.begin(), views_.end(), view) == views_.end()) continue;
    view->OnUpdate(sender, hint, object);
  }
}

}  // namespace NsOvrin
