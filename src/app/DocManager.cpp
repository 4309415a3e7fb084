#include "app/DocManager.h"

#include "app/PageDocTemplate.h"

namespace NsOvrin {

void DocManager::AddDocTemplate(std::unique_ptr<PageDocTemplate> docTemplate) {
  if (docTemplate) templates_.push_back(std::move(docTemplate));
}

PageDocTemplate* DocManager::GetFirstTemplate() const {
  return templates_.empty() ? nullptr : templates_.front().get();
}

}  // namespace NsOvrin
