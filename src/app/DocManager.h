#pragma once
// The application's document templates; the first makes the page windows.
#include <memory>
#include <vector>

namespace NsOvrin {

class PageDocTemplate;

class DocManager {
 public:
  void AddDocTemplate(std::unique_ptr<PageDocTemplate> docTemplate);
  // Null while there is none.
  PageDocTemplate* GetFirstTemplate() const;

 private:
  std::vector<std::unique_ptr<PageDocTemplate>> templates_;
};

}  // namespace NsOvrin
