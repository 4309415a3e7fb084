#pragma once
// Makes page windows: a document, its child frame and its view, in the main
// frame's MDI area, and keeps the list of its documents in the order they
// were made. It also tells the page views which of them the MDI area
// activated.
#include <QMdiArea>
#include <QMetaObject>
#include <QPointer>
#include <vector>

class QMdiSubWindow;

namespace NsOvrin {

class CQuillaneDoc;

class PageDocTemplate {
 public:
  explicit PageDocTemplate(QMdiArea* mdiArea = nullptr);
  PageDocTemplate(const PageDocTemplate&) = delete;
  PageDocTemplate& operator=(const PageDocTemplate&) = delete;
  ~PageDocTemplate();

  // Where the page windows go.
  void SetMdiArea(QMdiArea* mdiArea);
  QMdiArea* GetMdiArea() const { return mdiArea_; }

  // A new, untitled document in a new page window, its view given its
  // initial update; made visible, the window becomes the active one. Null
  // without an MDI area.
  CQuillaneDoc* OpenDocumentFile(bool makeVisible = true);

  const std::vector<CQuillaneDoc*>& GetDocuments() const { return documents_; }
  void AddDocument(CQuillaneDoc* document);
  void RemoveDocument(CQuillaneDoc* document);

 private:
  void OnSubWindowActivated(QMdiSubWindow* window);

  QPointer<QMdiArea> mdiArea_;
  QMetaObject::Connection activation_;
  std::vector<CQuillaneDoc*> documents_;
};

}  // namespace NsOvrin
