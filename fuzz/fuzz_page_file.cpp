// A page file "<name>.ovpg" against the fixed node database: every element
// kind is read and bound as the editor does on open, then the page goes
// through the error check of the page files.
#include "FuzzSupport.h"
#include "ListBoxSink.h"
#include "project/QlEProject.h"
#include "project_persistence/PageFile.h"
#include "project_persistence/UiErrList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace NsOvrin;
  static const bool loaded = [] {
    NsFuzz::LoadFixedNodeDb(true);
    QlEProject& project = QlEProject::Instance();
    project.Reset(NsFuzz::PrivateFolder());
    project.pageNames = {"page", "页面2"};
    project.open = true;
    return true;
  }();
  (void)loaded;
  NsFuzz::WriteFile("page.ovpg", data, size);
  std::shared_ptr<NsQlUiElem::QlPageData> page;
  LoadPageFile(NsFuzz::PrivateFolder(), "page", {}, page);
  NsFuzz::ListBoxSink listBox;
  UiErrList::Instance().CheckPageFiles(listBox);
  UiErrList::Instance().results.clear();
  return 0;
}
