#pragma once
// The document of a page window: the page's name as its title, and the
// background colour and rectangle the page property page last announced.
// It reads and writes no file; the project store keeps the page file.
#include <cstdint>
#include <string>
#include <vector>

#include "dx2d/D2Types.h"

namespace NsOvrin {

class CQuillaneView;
class PageDocTemplate;

class CQuillaneDoc {
 public:
  // Listed among the template's documents for its lifetime.
  explicit CQuillaneDoc(PageDocTemplate* docTemplate = nullptr);
  CQuillaneDoc(const CQuillaneDoc&) = delete;
  CQuillaneDoc& operator=(const CQuillaneDoc&) = delete;
  ~CQuillaneDoc();

  const std::string& GetTitle() const { return title_; }
  // Also the caption of every window that shows the document.
  void SetTitle(const std::string& title);

  void AddView(CQuillaneView* view);
  void RemoveView(CQuillaneView* view);
  const std::vector<CQuillaneView*>& GetViews() const { return views_; }
  // OnUpdate on every view but the sender.
  void UpdateAllViews(CQuillaneView* sender, intptr_t hint = 0, void* object = nullptr);

  PageDocTemplate* GetDocTemplate() const { return docTemplate_; }
  // The template went first.
  void ForgetDocTemplate() { docTemplate_ = nullptr; }

  int32_t backgroundColour = 0xF0F0F0;  // 0x00BBGGRR
  NsDx2d::D2D_RECT_F pageRect{0.0f, 0.0f, 640.0f, 480.0f};

 private:
  PageDocTemplate* docTemplate_;
  std::string title_;
  std::vector<CQuillaneView*> views_;
};

}  // namespace NsOvrin
